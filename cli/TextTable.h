#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Columns of a plain-text table, padded to the width each cell takes on a terminal (East
// Asian wide characters take two columns).
class TextTable {
public:
    explicit TextTable(QStringList header) { m_rows.push_back(std::move(header)); }
    void addRow(QStringList cells) { m_rows.push_back(std::move(cells)); }
    // Header, a rule of dashes, then the rows; lines end with "\n".
    QString render() const;

    static int displayWidth(QStringView text);

private:
    std::vector<QStringList> m_rows;
};
