#include "corelib/LanguageModule.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <QStringList>

namespace tessera {

namespace {
constexpr auto kModuleName = "quotra_ja.rcc";
constexpr auto kTableResource = ":/quotra/lang/strings.txt";

// Directories searched for the module: beside the program, then the install location.
QStringList moduleCandidates()
{
    QStringList dirs;
    if (QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath();
    QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        dirs << QFileInfo(self.canonicalFilePath()).absolutePath();
    dirs << QStringLiteral(QUOTRA_INSTALL_DATADIR);
    QStringList files;
    for (const QString &d : dirs)
        files << d + QLatin1Char('/') + QLatin1String(kModuleName);
    return files;
}

// One "id<TAB>text" line per entry; "\n", "\t" and "\\" are escapes inside the text.
QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s[++i];
            if (n == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (n == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else if (n == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else
                out += n;
        } else {
            out += s[i];
        }
    }
    return out;
}
} // namespace

LanguageModule &LanguageModule::instance()
{
    static LanguageModule module;
    return module;
}

bool LanguageModule::load(const QString &explicitPath)
{
    if (m_loaded)
        return true;
    const QStringList candidates = explicitPath.isEmpty() ? moduleCandidates() : QStringList{explicitPath};
    for (const QString &file : candidates) {
        if (!QFileInfo::exists(file) || !QResource::registerResource(file))
            continue;
        QFile table{QLatin1String(kTableResource)};
        if (!table.open(QIODevice::ReadOnly)) {
            QResource::unregisterResource(file);
            continue;
        }
        const QString all = QString::fromUtf8(table.readAll());
        QHash<int, QString> texts;
        for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const qsizetype tab = line.indexOf(QLatin1Char('\t'));
            if (tab <= 0)
                continue;
            bool ok = false;
            const int id = line.left(tab).toInt(&ok);
            if (ok)
                texts.insert(id, unescape(line.mid(tab + 1)));
        }
        if (texts.isEmpty())
            continue;
        m_texts = std::move(texts);
        m_loaded = true;
        return true;
    }
    return false;
}

} // namespace tessera
