// Saved lists go into the history under each row's update time; importing again adds nothing.
#include "history/HistoryImport.h"
#include "document/ListFile.h"
#include "history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/RowBuilders.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(HistoryImport, ImportingTheSameSavedListsAgainAddsNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString saves = dir.filePath(u"out"_s);
    ASSERT_TRUE(QDir().mkdir(saves));
    const auto save = [&](const QString &name, const RecordMap &rows) {
        QFile f(QDir(saves).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WriteListFile(rows, MakeLayout({ { 4, 1, 80 } }, 0, true)));
    };
    // Two unattended saves five minutes apart; a row never updated has no price.
    save(u"mine12091400.kabu"_s,
        MakeRows({ { u"7203"_s, u"2,345.5"_s, {}, 1'765'000'000 },
            { u"6758"_s, u"13,000"_s, {}, 1'765'000'000 }, { u"9984"_s, {}, {}, 1'765'000'000 } }));
    save(u"mine12091405.kabu"_s,
        MakeRows(
            { { u"7203"_s, u"2,350"_s, {}, 1'765'000'300 }, { u"6758"_s, u"13,010"_s, {}, 1'765'000'300 } }));
    ASSERT_TRUE(QFile(QDir(saves).filePath(u"notes.md"_s)).open(QIODevice::WriteOnly))
        << "not a list: left out";

    const QStringList files = HistoryImportFiles({ saves });
    ASSERT_EQ(files.size(), 2) << files.join(u' ').toStdString();
    auto store = HistoryStore::Open(dir.filePath(u"history.sqlite"_s), HistoryStore::OpenMode::Create);
    ASSERT_TRUE(store.ok());
    qint64 added = 0;
    for (const QString &f : files) {
        const tessera::Result<ImportedList> imported = ImportListIntoHistory(**store, f, {});
        ASSERT_TRUE(imported.ok()) << imported.error().message.toStdString();
        added += imported->added;
    }
    EXPECT_EQ(added, 4);
    for (const QString &f : files) {
        const tessera::Result<ImportedList> again = ImportListIntoHistory(**store, f, {});
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again->points, 2);
        EXPECT_EQ(again->added, 0) << f.toStdString();
    }
    const std::vector<HistoryPoint> points
        = *(*store)->points(u"7203"_s, 0, std::numeric_limits<qint64>::max());
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].time, 1'765'000'000);
    EXPECT_EQ(points[0].values[HistoryPrice], 2345.5);
    EXPECT_EQ(points[1].values[HistoryPrice], 2350.0);

    const tessera::Result<ImportedList> broken
        = ImportListIntoHistory(**store, dir.filePath(u"absent.kabu"_s), {});
    EXPECT_FALSE(broken.ok());
}

} // namespace
