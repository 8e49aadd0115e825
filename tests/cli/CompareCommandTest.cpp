// quotra-cli compare, run as the user runs it.
#include "document/workbook/WorkbookGrid.h"
#include "tests/support/SampleSite.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

int compare(const QStringList &arguments, QString *err = nullptr)
{
    QByteArray out;
    QByteArray error;
    const int status = RunProgram(u"quotra-cli"_s, QStringList { u"compare"_s } + arguments, out, &error);
    if (err)
        *err = QString::fromUtf8(error);
    return status;
}

QString writeText(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

} // namespace

TEST(CompareCommand, WritesOneSheetPerChosenCode)
{
    QTemporaryDir dir;
    const QString a = writeText(dir, u"a.txt"_s, "7203\n6758\n");
    const QString b = writeText(dir, u"b.txt"_s, "7203\n");
    const QString out = dir.filePath(u"out.xlsx"_s);
    ASSERT_EQ(compare({ u"--columns"_s, u"1,2,4,14"_s, u"--codes"_s, u"7203"_s, u"--arrangement"_s, u"1"_s,
                  out, a, b }),
        0);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto grid = ReadXlsxGrid(f.readAll());
    ASSERT_TRUE(grid);
    // A2 the code's name cell, A3 the time title with one column per list, A4 the price title.
    EXPECT_EQ(grid->rows, 3);
    EXPECT_EQ(grid->columns, 3);
    EXPECT_EQ(grid->at(1, 1).kind, WorkbookValue::Number);
    EXPECT_EQ(grid->at(1, 2).kind, WorkbookValue::Number);
}

TEST(CompareCommand, RefusesBadArgumentsAndUnreadableLists)
{
    QTemporaryDir dir;
    const QString a = writeText(dir, u"a.txt"_s, "7203\n");
    const QString out = dir.filePath(u"out.xlsx"_s);
    QString err;
    EXPECT_EQ(compare({ u"--arrangement"_s, u"2"_s, out, a }, &err), 2);
    EXPECT_TRUE(err.contains(u"--arrangement"_s));
    EXPECT_EQ(compare({ out }), 2);
    EXPECT_EQ(compare({ dir.filePath(u"out.csv"_s), a }), 2);
    EXPECT_EQ(compare({ out, dir.filePath(u"missing.kabu"_s) }), 1);
    EXPECT_EQ(compare({ u"--columns"_s, u"1"_s, out, a }, &err), 1); // one column: too few
    EXPECT_EQ(compare({ u"--codes"_s, u"9999"_s, out, a }), 1);
    EXPECT_FALSE(QFile::exists(out));
}
