// quotra-cli show and export with --layout: a column layout file replaces the list's own.
#include "tests/support/RowBuilders.h"
#include "tests/support/SampleSite.h"

#include "app/core/AppSettings.h"
#include "document/ColumnLayoutFile.h"
#include "document/ListFile.h"
#include "document/ListLoader.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class LayoutOption : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile::remove(AppSettings::OpenStore()->fileName());
        // The list carries code, name and price; the layout file shows price and code.
        RecordMap rows = MakeRows(
            { { u"7203"_s, u"2,788.5"_s, u"トヨタ自動車"_s, 1 }, { u"6758"_s, u"3,397"_s, u"ソニー"_s, 1 } });
        m_list = write(u"prices.kabu"_s,
            WriteListFile(rows, MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true)));
        m_colm = write(u"price-first.colm"_s,
            WriteColumnLayoutFile(MakeLayout({ { 4, 1, 90 }, { 1, 1, 50 } }, 1, false)));
    }
    QString write(const QString &name, const QByteArray &data)
    {
        const QString p = m_dir.filePath(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return p;
    }
    int run(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr)
    {
        QByteArray o;
        QByteArray e;
        const int status = RunProgram(u"quotra-cli"_s, arguments, o, &e);
        if (out)
            *out = QString::fromUtf8(o);
        if (err)
            *err = QString::fromUtf8(e);
        return status;
    }

    QTemporaryDir m_dir;
    QString m_list;
    QString m_colm;
};

} // namespace

TEST_F(LayoutOption, ShowUsesTheLayoutFileInsteadOfTheLists)
{
    QString out;
    QString err;
    ASSERT_EQ(run({ u"show"_s, u"--layout"_s, m_colm, m_list }, &out, &err), 0) << err.toStdString();
    const QStringList lines = out.split(u'\n');
    ASSERT_GE(lines.size(), 4);
    // Price first, then the code; sorted by price (the layout's sorted list column 1), highest first.
    EXPECT_TRUE(lines[0].trimmed().startsWith(u"現在値"_s)) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains(u"銘柄名"_s));
    EXPECT_TRUE(lines[2].contains(u"6758"_s)) << out.toStdString();
    EXPECT_TRUE(lines[3].contains(u"7203"_s)) << out.toStdString();
}

TEST_F(LayoutOption, ExportStoresTheLayoutFilesLayout)
{
    const QString out = m_dir.filePath(u"out.kabu"_s);
    QString err;
    ASSERT_EQ(run({ u"export"_s, m_list, out, u"--layout"_s, m_colm }, nullptr, &err), 0)
        << err.toStdString();
    auto loaded = LoadList(out);
    ASSERT_TRUE(loaded.ok());
    ASSERT_TRUE(loaded->layout.has_value());
    EXPECT_EQ(loaded->layout->indexList, u"0,4,1,"_s);
    EXPECT_EQ(loaded->rows.size(), size_t(2));
}

TEST_F(LayoutOption, AFileThatIsNoLayoutIsRefusedWithItsName)
{
    const QString bad = write(u"bad.colm"_s, QByteArray("not a layout file at all"));
    QString out;
    QString err;
    EXPECT_NE(run({ u"show"_s, u"--layout"_s, bad, m_list }, &out, &err), 0);
    EXPECT_TRUE(err.contains(bad)) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    EXPECT_NE(run({ u"show"_s, u"--layout"_s, m_dir.filePath(u"missing.colm"_s), m_list }, &out, &err), 0);
    EXPECT_TRUE(err.contains(u"missing.colm"_s)) << err.toStdString();
}
