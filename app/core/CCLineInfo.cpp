#include "app/core/CCLineInfo.h"

namespace {
bool hasPrefix(QStringView word, QLatin1String prefix)
{
    return word.startsWith(prefix, Qt::CaseInsensitive);
}
bool isFlagStart(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('-');
}
} // namespace

bool CCLineInfo::IsFlagArgument(QStringView arg)
{
    if (arg.isEmpty() || !isFlagStart(arg.front()))
        return false;
    if (arg.front() == QLatin1Char('-'))
        return true;
    const QStringView word = arg.mid(1);
    return !word.contains(QLatin1Char('/')) || hasPrefix(word, QLatin1String("Folder"));
}

CCLineInfo CCLineInfo::Parse(const QStringList &arguments)
{
    CCLineInfo info;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        const bool flag = IsFlagArgument(arg);
        info.ParseParam(flag ? arg.mid(1) : arg, flag, i + 1 == arguments.size());
    }
    info.ApplyProtocolForm();
    return info;
}

bool CCLineInfo::ParseProgramFlag(QStringView word)
{
    if (hasPrefix(word, QLatin1String("Auto2"))) {
        autoRun = true;
        excelOutput = true;
    } else if (hasPrefix(word, QLatin1String("Auto"))) {
        autoRun = true;
    } else if (hasPrefix(word, QLatin1String("Dark"))) {
        themeRequest = ThemeDark;
    } else if (hasPrefix(word, QLatin1String("Light"))) {
        themeRequest = ThemeLight;
    } else if (hasPrefix(word, QLatin1String("Folder"))) {
        outputFolder = word.mid(6).toString();
    } else {
        return false;
    }
    return true;
}

void CCLineInfo::ParseParam(const QString &param, bool flag, bool last)
{
    if (flag) {
        if (!ParseProgramFlag(param))
            parseStandardFlag(param);
    } else {
        parseNotFlag(param);
    }
    // The closing step runs after the last argument whatever it was, so "list.kabu /Auto"
    // opens the list just as "/Auto list.kabu" does.
    if (last)
        parseLast();
}

void CCLineInfo::parseStandardFlag(const QString &param)
{
    if (param == QLatin1String("pt")) {
        shellCommand = FilePrintTo;
    } else if (param == QLatin1String("p")) {
        shellCommand = FilePrint;
    } else if (param.compare(QLatin1String("Unregister"), Qt::CaseInsensitive) == 0
        || param.compare(QLatin1String("Unregserver"), Qt::CaseInsensitive) == 0) {
        shellCommand = AppUnregister;
    } else if (param.compare(QLatin1String("Register"), Qt::CaseInsensitive) == 0
        || param.compare(QLatin1String("Regserver"), Qt::CaseInsensitive) == 0) {
        shellCommand = AppRegister;
    } else if (param == QLatin1String("dde")) {
        shellCommand = FileDDE;
    } else if (param.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0) {
        runEmbedded = true;
        showSplash = false;
    } else if (param.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0) {
        runAutomated = true;
        showSplash = false;
    }
}

void CCLineInfo::parseNotFlag(const QString &param)
{
    if (fileName.isEmpty())
        fileName = param;
    else if (shellCommand == FilePrintTo && printerName.isEmpty())
        printerName = param;
    else if (shellCommand == FilePrintTo && driverName.isEmpty())
        driverName = param;
    else if (shellCommand == FilePrintTo && portName.isEmpty())
        portName = param;
}

void CCLineInfo::parseLast()
{
    if (shellCommand == FileNew && !fileName.isEmpty())
        shellCommand = FileOpen;
    showSplash = !runEmbedded && !runAutomated;
}

bool CCLineInfo::ApplyProtocolForm()
{
    const QLatin1String prefix(kProtocolPrefix);
    if (shellCommand != FileOpen || !fileName.startsWith(prefix, Qt::CaseSensitive))
        return false;
    protocolAddress = fileName;
    const QString payload = fileName.mid(prefix.size());
    fileName.clear();
    // Every "*" ends a piece; what follows the last one, possibly nothing, is the last piece.
    for (QStringView piece : QStringView(payload).split(QLatin1Char('*'))) {
        if (IsFlagArgument(piece))
            ParseProgramFlag(piece.mid(1));
        else
            fileName = piece.toString();
    }
    if (fileName.isEmpty())
        shellCommand = FileNew;
    return true;
}
