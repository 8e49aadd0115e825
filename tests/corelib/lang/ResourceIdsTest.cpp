#include "corelib/LanguageModule.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

// Every numbered text the program asks for must be in the language module: the ids the
// design names (with the number of values each inserts) and every literal id in the source.

namespace {

using tessera::LanguageModule;

const LanguageModule &module()
{
    static LanguageModule m;
    static const bool loaded = m.load();
    EXPECT_TRUE(loaded) << "quotra_ja.rcc beside the tests";
    return m;
}

// Ids with the number of values inserted into them (%1 .. %n).
const std::map<int, int> &designIds()
{
    static const std::map<int, int> ids = [] {
        std::map<int, int> m;
        for (int id = 1000; id <= 1039; ++id)
            m[id] = 0; // title of a new list, column captions
        for (int id : { 2000, 2001, 2002, 2003, 2004, 2014, 2016, 2018, 2019, 2020, 2023, 2024, 2025, 2027,
                 2029, 2031, 2032, 2033, 2034, 2037, 2038, 2039, 2040, 2041, 2042, 2140, 2141, 2150, 2151,
                 2152, 2153, 2154, 2155, 2156, 2202, 2203, 2204, 2205, 2206, 2207, 2209, 2212, 2214, 2215,
                 2216, 2217, 2218, 2219, 2220, 2221, 2222, 2223, 2224, 2225, 2226, 2227, 2228, 4005, 4007,
                 4009, 4011, 4014, 9162, 9169, 9174, 57345 })
            m[id] = 0;
        // minutes; published version; reader's text; elapsed seconds; task path; path
        for (int id : { 2017, 2021, 2022, 2028, 2035, 2200, 5007, 5008 })
            m[id] = 1;
        m[2036] = 2; // rows, sum
        m[2030] = 5; // task path, list file, days, hour, minute
        return m;
    }();
    return ids;
}

int highestPlaceholder(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(\\d+)"));
    int highest = 0;
    for (auto it = re.globalMatch(text); it.hasNext();)
        highest = std::max(highest, it.next().captured(1).toInt());
    return highest;
}

TEST(ResourceIds, EveryDesignIdIsPresentWithItsValues)
{
    for (const auto &[id, values] : designIds()) {
        ASSERT_TRUE(module().contains(id)) << "id " << id;
        EXPECT_FALSE(module().text(id).isEmpty()) << "id " << id;
        const QString text = module().text(id);
        EXPECT_EQ(highestPlaceholder(text), values) << "id " << id << ": " << text.toStdString();
        for (int i = 1; i <= values; ++i)
            EXPECT_TRUE(text.contains(QLatin1Char('%') + QString::number(i)))
                << "id " << id << " lacks %" << i;
    }
}

TEST(ResourceIds, ColumnCaptionsAreDistinct)
{
    QSet<QString> seen;
    for (int id = 1001; id <= 1039; ++id)
        seen.insert(module().text(id));
    EXPECT_EQ(seen.size(), 39);
}

TEST(ResourceIds, ModuleSourceHasNoDuplicateOrMalformedLines)
{
    QFile f(QStringLiteral(QUOTRA_SOURCE_DIR "/lang/ja/strings.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList problems;
    LanguageModule::parseTable(f.readAll(), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// Literal ids in calls, and ids given to named constants of messages, captions and titles
// (how static tables of ids are written).
TEST(ResourceIds, EveryIdTheSourceUsesIsPresent)
{
    static const QRegularExpression call(
        QStringLiteral("\\b(?:ResourceString|FormatResourceString|ShowResourceMessage)\\s*\\(\\s*(\\d+)"));
    static const QRegularExpression constant(QStringLiteral(
        "\\bk\\w*(?:Msg|Message|String|Caption|Title|Text)Id\\w*\\s*(?:=|\\{)\\s*(\\d{3,5})\\b"));
    int files = 0;
    QStringList missing;
    for (const char *layer : { "corelib", "quotes", "document", "view", "app", "cli" }) {
        QDirIterator it(QStringLiteral(QUOTRA_SOURCE_DIR "/") + QLatin1String(layer),
            { QStringLiteral("*.cpp"), QStringLiteral("*.h") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            ++files;
            const QString source = QString::fromUtf8(f.readAll());
            for (const QRegularExpression *re : { &call, &constant }) {
                for (auto m = re->globalMatch(source); m.hasNext();) {
                    const int id = m.next().captured(1).toInt();
                    if (!module().contains(id))
                        missing << QStringLiteral("%1: %2").arg(path).arg(id);
                }
            }
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char('\n')).toStdString();
}

} // namespace
