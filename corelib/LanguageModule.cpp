#include "corelib/LanguageModule.h"

#include "corelib/DataFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QResource>

namespace tessera {

namespace {
constexpr auto kModuleName = "quotra_ja.rcc";
constexpr auto kTableResource = ":/quotra/lang/strings.txt";
constexpr auto kModuleVariable = "QUOTRA_LANG_MODULE";
// Far above any real table; a larger one is not a module of ours.
constexpr qint64 kMaxTableBytes = 16 * 1024 * 1024;

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

// Reads the table out of a registered module; empty when the module lacks it.
QByteArray readTable()
{
    QFile table { QLatin1String(kTableResource) };
    if (!table.open(QIODevice::ReadOnly) || table.size() > kMaxTableBytes)
        return {};
    return table.readAll();
}
} // namespace

LanguageModule &LanguageModule::instance()
{
    static LanguageModule module;
    return module;
}

QStringList LanguageModule::candidateFiles()
{
    const QString forced = qEnvironmentVariable(kModuleVariable);
    if (!forced.isEmpty())
        return { forced };
    const QStringList dirs = DataFolders();
    QStringList files;
    for (const QString &d : dirs) {
        const QString f = d + QLatin1Char('/') + QLatin1String(kModuleName);
        if (!files.contains(f))
            files << f;
    }
    return files;
}

QHash<int, QString> LanguageModule::parseTable(const QByteArray &table, QStringList *problems)
{
    QHash<int, QString> texts;
    const QString all = QString::fromUtf8(table);
    int lineNo = 0;
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok || id <= 0) {
            if (problems)
                *problems << QStringLiteral("line %1: not an \"id<TAB>text\" entry").arg(lineNo);
            continue;
        }
        if (texts.contains(id)) {
            if (problems)
                *problems << QStringLiteral("line %1: id %2 appears again").arg(lineNo).arg(id);
            continue;
        }
        texts.insert(id, unescape(line.mid(tab + 1)));
    }
    return texts;
}

bool LanguageModule::load(const QString &explicitPath)
{
    if (m_loaded)
        return true;
    const QStringList candidates = explicitPath.isEmpty() ? candidateFiles() : QStringList { explicitPath };
    for (const QString &file : candidates) {
        // registerResource checks the module's header and offsets against the file size, so
        // a file of garbage or a truncated module is refused here.
        if (!QFileInfo(file).isFile() || !QResource::registerResource(file))
            continue;
        const QByteArray table = readTable();
        // The texts are copied out; the module need not stay mapped.
        QResource::unregisterResource(file);
        QHash<int, QString> texts = parseTable(table);
        if (texts.isEmpty())
            continue;
        m_texts = std::move(texts);
        m_path = file;
        m_loaded = true;
        return true;
    }
    return false;
}

} // namespace tessera
