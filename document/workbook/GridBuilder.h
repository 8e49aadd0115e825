#pragma once

#include "corelib/Result.h"
#include "document/workbook/WorkbookGrid.h"

#include <QString>

#include <vector>

// Collects the non-empty cells of a sheet in any order and builds the used range from them.
// Every limit is checked as a cell arrives, so a hostile sheet costs at most the limits.
class GridBuilder {
public:
    explicit GridBuilder(const WorkbookLimits &limits)
        : m_limits(limits)
    { }

    // 0-based row and column. False once a limit is passed (error() then says which).
    // `style` is the cell's style index (WorkbookValue::style).
    bool addNumber(int row, int column, double value, quint32 style = 0);
    bool addText(int row, int column, QString text);

    tessera::Status error() const { return m_error; }
    tessera::Result<WorkbookGrid> build(bool date1904);

private:
    struct Cell {
        int row;
        int column;
        double number;
        int text; // index into m_texts, -1 for a number
        quint32 style;
    };
    bool add(const Cell &cell);

    WorkbookLimits m_limits;
    std::vector<Cell> m_cells;
    std::vector<QString> m_texts;
    qint64 m_textUnits = 0;
    tessera::Status m_error = tessera::Ok {};
};
