#include "corelib/RegTree.h"
#include "corelib/Messages.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using tessera::DeleteRegKey;
using tessera::RegDataCopy;
using tessera::RegKeyExists;

class RegTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("t.conf")), QSettings::IniFormat);
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            m_messages << text;
            return int(tessera::IdOk);
        });
    }
    void TearDown() override { tessera::SetMessageHandler({}); }
    QSettings &store() { return *m_store; }

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_store;
    QStringList m_messages;
};

TEST_F(RegTreeTest, CopiesValuesWithTheirTypesAndSubkeysRecursively)
{
    store().setValue(QStringLiteral("base/1.00/Settings/Number"), 42);
    store().setValue(QStringLiteral("base/1.00/Settings/Text"), QStringLiteral("テキスト"));
    store().setValue(QStringLiteral("base/1.00/Settings/Binary"), QByteArray("\0\1\2", 3));
    store().setValue(QStringLiteral("base/1.00/Settings/Deep/Deeper/Leaf"), QStringLiteral("x"));
    store().setValue(QStringLiteral("base/1.00/TopValue"), 7);
    store().setValue(QStringLiteral("base/other/Keep"), 1);

    ASSERT_EQ(
        RegDataCopy(store(), QStringLiteral("base"), QStringLiteral("1.00"), QStringLiteral("2.00")), 1);
    store().sync();
    QSettings reread(store().fileName(), QSettings::IniFormat);
    EXPECT_EQ(reread.value(QStringLiteral("base/2.00/Settings/Number")).toInt(), 42);
    EXPECT_EQ(reread.value(QStringLiteral("base/2.00/Settings/Text")).toString(), QStringLiteral("テキスト"));
    const QVariant binary = reread.value(QStringLiteral("base/2.00/Settings/Binary"));
    EXPECT_EQ(binary.typeId(), QMetaType::QByteArray);
    EXPECT_EQ(binary.toByteArray(), QByteArray("\0\1\2", 3));
    EXPECT_EQ(
        reread.value(QStringLiteral("base/2.00/Settings/Deep/Deeper/Leaf")).toString(), QStringLiteral("x"));
    EXPECT_EQ(reread.value(QStringLiteral("base/2.00/TopValue")).toInt(), 7);
    EXPECT_TRUE(RegKeyExists(reread, QStringLiteral("base/1.00"))) << "the source stays";
    EXPECT_FALSE(reread.contains(QStringLiteral("base/2.00/Keep")));
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(RegTreeTest, CopyOverwritesAndKeepsOtherDestinationValues)
{
    store().setValue(QStringLiteral("a/v"), 1);
    store().setValue(QStringLiteral("b/v"), 2);
    store().setValue(QStringLiteral("b/w"), 3);
    ASSERT_EQ(RegDataCopy(store(), QString(), QStringLiteral("a"), QStringLiteral("b")), 1);
    EXPECT_EQ(store().value(QStringLiteral("b/v")).toInt(), 1);
    EXPECT_EQ(store().value(QStringLiteral("b/w")).toInt(), 3);
}

TEST_F(RegTreeTest, CopyIntoItsOwnSubtreeEnds)
{
    store().setValue(QStringLiteral("a/v"), 1);
    store().setValue(QStringLiteral("a/s/v"), 2);
    ASSERT_EQ(RegDataCopy(store(), QString(), QStringLiteral("a"), QStringLiteral("a/copy")), 1);
    EXPECT_EQ(store().value(QStringLiteral("a/copy/s/v")).toInt(), 2);
    EXPECT_FALSE(store().contains(QStringLiteral("a/copy/copy/v")));
}

TEST_F(RegTreeTest, MissingSourceOrEmptyNamesFail)
{
    EXPECT_EQ(RegDataCopy(store(), QString(), QStringLiteral("none"), QStringLiteral("x")), 0);
    store().setValue(QStringLiteral("a/v"), 1);
    EXPECT_EQ(RegDataCopy(store(), QString(), QString(), QStringLiteral("x")), 0);
    EXPECT_EQ(RegDataCopy(store(), QString(), QStringLiteral("a"), QString()), 0);
    EXPECT_EQ(RegDataCopy(store(), QStringLiteral("nowhere"), QStringLiteral("a"), QStringLiteral("x")), 0);
    EXPECT_FALSE(RegKeyExists(store(), QStringLiteral("x")));
}

TEST_F(RegTreeTest, BackslashPathsAreAccepted)
{
    store().setValue(QStringLiteral("Software/Kestrel/1.00/v"), 5);
    EXPECT_EQ(RegDataCopy(store(), QStringLiteral("Software\\Kestrel"), QStringLiteral("1.00"),
                  QStringLiteral("2.00")),
        1);
    EXPECT_EQ(store().value(QStringLiteral("Software/Kestrel/2.00/v")).toInt(), 5);
}

TEST_F(RegTreeTest, DeleteRemovesTheWholeTreeOnly)
{
    store().setValue(QStringLiteral("r/k/v"), 1);
    store().setValue(QStringLiteral("r/k/s/t/v"), 2);
    store().setValue(QStringLiteral("r/kk/v"), 3);
    store().setValue(QStringLiteral("r/k2"), 4);
    EXPECT_EQ(DeleteRegKey(store(), QStringLiteral("r"), QStringLiteral("k")), 1);
    EXPECT_FALSE(RegKeyExists(store(), QStringLiteral("r/k")));
    EXPECT_EQ(store().value(QStringLiteral("r/kk/v")).toInt(), 3);
    EXPECT_EQ(store().value(QStringLiteral("r/k2")).toInt(), 4);
    EXPECT_EQ(DeleteRegKey(store(), QStringLiteral("r"), QStringLiteral("k")), 0) << "already gone";
}

TEST_F(RegTreeTest, DeleteRefusesAnEmptySubkey)
{
    store().setValue(QStringLiteral("r/v"), 1);
    EXPECT_EQ(DeleteRegKey(store(), QStringLiteral("r"), QString()), 0);
    EXPECT_EQ(DeleteRegKey(store(), QString(), QStringLiteral("/")), 0);
    EXPECT_TRUE(store().contains(QStringLiteral("r/v")));
}

TEST_F(RegTreeTest, UnwritableStoreReportsAndFails)
{
    // A store whose folder has been replaced by a plain file: it still holds what it read,
    // but nothing can be written, whatever the privileges of the test.
    const QString folder = m_dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QSettings store(folder + QStringLiteral("/t.conf"), QSettings::IniFormat);
    store.setValue(QStringLiteral("a/v"), 1);
    store.sync();
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral("-moved")));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_EQ(RegDataCopy(store, QString(), QStringLiteral("a"), QStringLiteral("b")), 0);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages.front().contains(QStringLiteral("t.conf")));
    EXPECT_EQ(DeleteRegKey(store, QString(), QStringLiteral("a")), 0);
    EXPECT_TRUE(RegKeyExists(store, QStringLiteral("a")));
}

} // namespace
