#pragma once

#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/TableSource.h"

#include <QBuffer>
#include <QByteArray>

#include <gtest/gtest.h>

// The bytes the CSV and JSON writers produce for a table, for byte-for-byte comparisons.
inline QByteArray CsvBytes(const TableSource &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteCsv(buffer, table).ok());
    return buffer.data();
}

inline QByteArray JsonBytes(const TableSource &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteJson(buffer, table).ok());
    return buffer.data();
}
