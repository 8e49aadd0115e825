#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

struct CodeMap;
struct QuoteRecord;

// The rows of the code list dialog: one per code of a code map, the code in column 0 (with
// its check box) and the name of the code's oldest record in column 1. Sorting reorders the
// rows only; the check boxes travel with their codes.
class CodeListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CodeListModel(const CodeMap &map, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    const QString &code(int row) const { return m_rows[static_cast<size_t>(row)].code; }
    const QuoteRecord &record(int row) const { return *m_rows[static_cast<size_t>(row)].first; }
    bool isChecked(int row) const { return m_rows[static_cast<size_t>(row)].checked; }
    // Sets the check box without telling anyone but the views.
    void setChecked(int row, bool checked);
    // The checked codes in row order.
    QStringList checkedCodes() const;
    int rowOfCode(const QString &code) const; // -1 when the map has no such code

    // Column 0 by the code rule, column 1 by the text rule (code units), stable.
    void sortRows(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

Q_SIGNALS:
    // The user changed the check box of `row` (not emitted by setChecked).
    void checkToggled(int row, bool checked);

private:
    struct Row {
        QString code;
        QString name;
        const QuoteRecord *first = nullptr;
        bool checked = false;
    };
    std::vector<Row> m_rows;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
