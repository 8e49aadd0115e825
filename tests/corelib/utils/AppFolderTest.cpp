#include "corelib/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Points the data home at a temporary folder for one test.
class AppFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_old = qgetenv("XDG_DATA_HOME");
        m_hadOld = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    }
    void TearDown() override
    {
        if (m_hadOld)
            qputenv("XDG_DATA_HOME", m_old);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString home() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld = false;
};

TEST_F(AppFolderTest, CreatesTheMakersFolderWithParents)
{
    const QString path = tessera::GetAppFolder(QStringLiteral("Quotra"));
    EXPECT_EQ(path, QDir(home()).absoluteFilePath(QStringLiteral("Kestrel/Quotra")));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(tessera::GetAppFolder(QStringLiteral("Quotra")), path) << "an existing folder is fine";
}

TEST_F(AppFolderTest, NestedSubfolderAndEmptySubfolder)
{
    EXPECT_TRUE(QFileInfo(tessera::GetAppFolder(QStringLiteral("a/b/c"))).isDir());
    EXPECT_EQ(tessera::GetAppFolder(QString()), QDir(home()).absoluteFilePath(QStringLiteral("Kestrel")));
}

TEST_F(AppFolderTest, FailureGivesAnEmptyString)
{
    // A file where the maker's folder should be.
    QFile blocker(home() + QStringLiteral("/Kestrel"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(tessera::GetAppFolder(QStringLiteral("Quotra")), QString());
}

TEST_F(AppFolderTest, SubfolderCannotClimbOut)
{
    EXPECT_EQ(tessera::GetAppFolder(QStringLiteral("../../escape")), QString());
    EXPECT_FALSE(QFileInfo::exists(home() + QStringLiteral("/../escape")));
    EXPECT_EQ(tessera::GetAppFolder(QStringLiteral("ok/../fine")),
        QDir(home()).absoluteFilePath(QStringLiteral("Kestrel/fine")));
}

} // namespace
