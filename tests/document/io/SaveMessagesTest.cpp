#include "document/DocumentIo.h"
#include "document/SafeSave.h"
#include "tests/support/FakeTable.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/RowBuilders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// Every failed save says which file and why, in the words the user sees.

std::string text(const tessera::Status &status)
{
    return status.error().message.toStdString();
}

struct SaveCase {
    const char *file;
    FileKind kind;
};

void PrintTo(const SaveCase &c, std::ostream *os)
{
    *os << c.file;
}

class SaveMessages : public ::testing::TestWithParam<SaveCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (int i = 0; i < 3000; ++i)
            m_table.addRow({ QString::number(100000 + i), u"1,234.5"_s });
    }
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    tessera::Status save(const QString &target)
    {
        return SaveDocumentFile(
            target, GetParam().kind, m_rows, MakeLayout({ { 4, 1, 80 } }, 1, false), &m_table);
    }

    QTemporaryDir m_dir;
    RecordMap m_rows = [] {
        RecordMap rows;
        for (int i = 0; i < 3000; ++i)
            rows.merge(MakeRows({ { QString::number(100000 + i), u"1,234.5"_s, u"銘柄名"_s } }));
        return rows;
    }();
    FakeTable m_table { { { FieldCode, u"コード"_s }, { 4, u"現在値"_s } } };
};

TEST_P(SaveMessages, AFullDiskNamesTheFileAndTheReason)
{
    const QString target = path(QLatin1String(GetParam().file));
    tessera::Status saved = tessera::Ok {};
    {
        FileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.ok());
        saved = save(target);
    }
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(text(saved), "cannot write " + target.toStdString() + ": file too large");
    EXPECT_FALSE(QFile::exists(target));
}

TEST_P(SaveMessages, AMissingFolderNamesTheFileAndTheReason)
{
    const QString target = path(u"none/"_s + QLatin1String(GetParam().file));
    const tessera::Status saved = save(target);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, SaveErrorOpen);
    EXPECT_EQ(text(saved), "cannot create " + target.toStdString() + ": no such file or directory");
}

TEST_P(SaveMessages, AFolderInTheWayNamesTheFile)
{
    const QString target = path(QLatin1String(GetParam().file));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QLatin1String(GetParam().file)));
    const tessera::Status saved = save(target);
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().message.startsWith(u"cannot create "_s + target + u": "_s))
        << saved.error().message.toStdString();
    EXPECT_FALSE(saved.error().message.contains(u"Unknown error"_s)) << saved.error().message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveMessages,
    ::testing::Values(SaveCase { "list.kabu", FileKind::ListFile }, SaveCase { "list.csv", FileKind::Csv },
        SaveCase { "list.json", FileKind::Json }),
    [](const ::testing::TestParamInfo<SaveCase> &info) {
        return std::string(info.param.file).replace(std::string(info.param.file).find('.'), 1, "_");
    });

// A writer that fails without a reason of its own still names the file.
TEST(SafeSave, AWriterFailureNamesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = QDir(dir.path()).filePath(u"a.kabu"_s);
    const tessera::Status saved = SaveFileSafely(target, [](QIODevice &) -> tessera::Status {
        return tessera::Error { 7, u"the table changed during the save"_s };
    });
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, 7);
    EXPECT_EQ(text(saved), "cannot write " + target.toStdString() + ": the table changed during the save");
    EXPECT_FALSE(QFile::exists(target));
}

} // namespace
