#include "corelib/Messages.h"

#include "corelib/LanguageModule.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace tessera {

namespace {
QMutex &handlerMutex()
{
    static QMutex m;
    return m;
}
MessageHandler &handlerSlot()
{
    static MessageHandler h;
    return h;
}
} // namespace

void SetMessageHandler(MessageHandler handler)
{
    QMutexLocker lock(&handlerMutex());
    handlerSlot() = std::move(handler);
}

int DefaultMessageResult(unsigned style)
{
    const unsigned buttons = style & 0xF;
    const bool second = (style & MbDefButton2) != 0;
    switch (buttons) {
    case MbYesNo:
    case MbYesNoCancel:
        return second ? IdNo : IdYes;
    case MbOkCancel:
        return second ? IdCancel : IdOk;
    default:
        return IdOk;
    }
}

int ShowMessage(const QString &text, unsigned style)
{
    MessageHandler h;
    {
        QMutexLocker lock(&handlerMutex());
        h = handlerSlot();
    }
    if (h)
        return h(text, style);
    const QByteArray utf8 = text.toUtf8();
    std::fprintf(stderr, "Quotra: %s\n", utf8.constData());
    std::fflush(stderr);
    return DefaultMessageResult(style);
}

QString ResourceString(int id)
{
    return LanguageModule::instance().text(id);
}

QString FormatResourceString(int id, const QStringList &args)
{
    QString text = ResourceString(id);
    // Replace from the highest number down so that %1 never eats the start of %10.
    for (qsizetype i = args.size(); i >= 1; --i)
        text.replace(QLatin1Char('%') + QString::number(i), args.at(i - 1));
    return text;
}

int ShowResourceMessage(int id, const QStringList &args, unsigned style)
{
    return ShowMessage(FormatResourceString(id, args), style);
}

} // namespace tessera
