#pragma once

#include "document/ColumnLayout.h"
#include "document/RecordMap.h"

#include <QString>

#include <initializer_list>

// One row of a test list: the code and the few slots tests look at.
struct RowSpec {
    QString code;
    QString price;
    QString name = {};
    qint64 datetime = 0; // 0 keeps the record's creation time
};

// The rows of `entries`, keyed by code; a later row of the same code replaces an earlier one.
RecordMap MakeRows(std::initializer_list<RowSpec> entries);

// One shown column of a test layout.
struct ColumnSpec {
    int field;
    int align; // 0 left, 1 right, 2 centre
    int width;
};

// A layout showing the anchor column (list column 0, width `anchorWidth`) and then `columns`
// in order, sorted by list column `sortColumn`.
ColumnLayout MakeLayout(
    std::initializer_list<ColumnSpec> columns, int sortColumn, bool ascending, int anchorWidth = 0);
