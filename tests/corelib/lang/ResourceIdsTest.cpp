#include "corelib/LanguageModule.h"
#include "corelib/StringIds.h"
#include "tests/support/TestPaths.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

// Every numbered text the program asks for must be in the language module: every id of
// corelib/StringIds.h (with the number of values each inserts) and every literal id left in
// the source.

namespace {

using tessera::LanguageModule;

const LanguageModule &module()
{
    static LanguageModule m;
    static const bool loaded = m.load();
    EXPECT_TRUE(loaded) << "quotra_ja.rcc beside the tests";
    return m;
}

int highestPlaceholder(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(\\d+)"));
    int highest = 0;
    for (auto it = re.globalMatch(text); it.hasNext();)
        highest = std::max(highest, it.next().captured(1).toInt());
    return highest;
}

TEST(ResourceIds, EveryNamedIdIsPresentWithItsValues)
{
    EXPECT_GT(std::size(Ids::kAll), 100u);
    for (const Ids::StringIdEntry &e : Ids::kAll) {
        ASSERT_TRUE(module().contains(e.id)) << e.name << " " << e.id;
        const QString text = module().text(e.id);
        EXPECT_FALSE(text.isEmpty()) << e.name << " " << e.id;
        EXPECT_EQ(highestPlaceholder(text), e.values) << e.name << " " << e.id << ": " << text.toStdString();
        for (int i = 1; i <= e.values; ++i)
            EXPECT_TRUE(text.contains(QLatin1Char('%') + QString::number(i)))
                << e.name << " " << e.id << " lacks %" << i;
    }
}

// The header is the one list of texts: a text in the module that no name refers to is either
// dead or used by a bare number somewhere.
TEST(ResourceIds, EveryModuleTextHasAName)
{
    QFile f(quotra::test::sourcePath(u"lang/ja/strings.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QSet<int> named;
    for (const Ids::StringIdEntry &e : Ids::kAll)
        named.insert(e.id);
    const auto table = LanguageModule::parseTable(f.readAll(), nullptr);
    ASSERT_FALSE(table.isEmpty());
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        EXPECT_TRUE(named.contains(it.key())) << "text " << it.key() << " has no name in StringIds.h";
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
    QFile f(quotra::test::sourcePath(u"lang/ja/strings.txt"));
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
        QDirIterator it(quotra::test::sourcePath(QString::fromLatin1(layer)),
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
