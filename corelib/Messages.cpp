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

QString SubstituteArguments(QStringView text, const QStringList &args)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        // The longest run of digits after '%' that still names an argument: with twelve
        // arguments "%12" is the twelfth, with two it is the first followed by "2".
        qsizetype end = i + 1;
        qsizetype bestEnd = -1;
        qsizetype bestIndex = 0;
        qsizetype number = 0;
        while (end < text.size() && text[end].isDigit() && text[end].unicode() < 0x80) {
            number = number * 10 + (text[end].unicode() - u'0');
            ++end;
            if (number > args.size())
                break;
            if (number >= 1) {
                bestEnd = end;
                bestIndex = number;
            }
        }
        if (bestEnd < 0) {
            out += c;
            ++i;
            continue;
        }
        out += args.at(bestIndex - 1);
        i = bestEnd;
    }
    return out;
}

QString FormatResourceString(int id, const QStringList &args)
{
    return SubstituteArguments(ResourceString(id), args);
}

int ShowResourceMessage(int id, const QStringList &args, unsigned style)
{
    return ShowMessage(FormatResourceString(id, args), style);
}

int ShowResourceMessage(const NumberedMessage &message, unsigned style)
{
    if (message.isEmpty())
        return DefaultMessageResult(style);
    return ShowResourceMessage(message.id, message.args, style);
}

} // namespace tessera
