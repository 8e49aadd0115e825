#include "document/workbook/GridBuilder.h"

#include "document/ErrorCodes.h"

#include <algorithm>
#include <climits>
#include <cmath>

bool GridBuilder::add(const Cell &cell)
{
    if (!m_error)
        return false;
    if (static_cast<qint64>(m_cells.size()) >= m_limits.maxCells) {
        m_error = tessera::Error { WorkbookErrorTooLarge,
            QStringLiteral("the sheet has more than %1 cells").arg(m_limits.maxCells) };
        return false;
    }
    m_cells.push_back(cell);
    return true;
}

bool GridBuilder::addNumber(int row, int column, double value, quint32 style)
{
    // A spreadsheet holds no infinite or undefined numbers; a file that stores one ("nan",
    // an exponent past the range) gets an empty cell rather than a value no rule can format.
    if (!std::isfinite(value))
        return true;
    return add({ row, column, value, -1, style });
}

bool GridBuilder::addText(int row, int column, QString text)
{
    if (text.isEmpty())
        return true; // an empty text is an empty cell
    m_textUnits += text.size();
    if (m_textUnits > m_limits.maxTextUnits) {
        m_error = tessera::Error { WorkbookErrorTooLarge, QStringLiteral("the sheet holds too much text") };
        return false;
    }
    m_texts.push_back(std::move(text));
    return add({ row, column, 0, static_cast<int>(m_texts.size() - 1), 0 });
}

tessera::Result<WorkbookGrid> GridBuilder::build(bool date1904)
{
    if (!m_error)
        return m_error.error();
    WorkbookGrid grid;
    grid.date1904 = date1904;
    if (m_cells.empty())
        return grid;
    int top = INT_MAX, left = INT_MAX, bottom = 0, right = 0;
    for (const Cell &c : m_cells) {
        top = std::min(top, c.row);
        left = std::min(left, c.column);
        bottom = std::max(bottom, c.row);
        right = std::max(right, c.column);
    }
    const qint64 columns = qint64(right) - left + 1;
    const qint64 rows = qint64(bottom) - top + 1;
    if (columns > m_limits.maxColumns) {
        return tessera::Error { WorkbookErrorNoValues,
            QStringLiteral("the sheet uses %1 columns, more than %2").arg(columns).arg(m_limits.maxColumns) };
    }
    if (rows * columns > m_limits.maxCells) {
        return tessera::Error { WorkbookErrorTooLarge,
            QStringLiteral("the sheet's used range has more than %1 cells").arg(m_limits.maxCells) };
    }
    grid.rows = static_cast<int>(rows);
    grid.columns = static_cast<int>(columns);
    grid.cells.resize(static_cast<size_t>(rows * columns));
    // A cell written twice keeps its last value, as a spreadsheet would.
    for (const Cell &c : m_cells) {
        WorkbookValue &v = grid.cells[static_cast<size_t>(qint64(c.row - top) * columns + (c.column - left))];
        if (c.text < 0) {
            v.kind = WorkbookValue::Number;
            v.number = c.number;
            v.style = c.style;
            v.text.clear();
        } else {
            v.kind = WorkbookValue::Text;
            v.style = 0;
            v.text = std::move(m_texts[static_cast<size_t>(c.text)]);
        }
    }
    m_cells.clear();
    m_texts.clear();
    return grid;
}
