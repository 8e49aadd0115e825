#pragma once

#include <QString>

#include <vector>

// How the list shows its columns; settings, list files and ".colm" files carry it.
// Each list is decimal integers each followed by a comma ("0,1,2,"); an empty list
// means "not given".
struct ColumnLayout {
    QString orderList; // entry p: the list column shown at display position p
    QString alignList; // entry i: alignment of list column i (0 left, 1 right, 2 centre)
    QString widthList; // entry i: width in pixels of list column i
    QString indexList; // entry i: field number shown in list column i (entry 0 is always 0)
    quint32 packedSort = 1; // sorted list column << 16 | ascending flag in the low 8 bits

    bool operator==(const ColumnLayout &) const = default;
};

// Parses a list text into integers; an empty item reads as `emptyValue`.
std::vector<int> ParseListText(QStringView text, int emptyValue = 0);
// Formats integers as a list text, every item followed by a comma.
QString FormatListText(const std::vector<int> &values);

inline quint32 PackSort(int column, bool ascending)
{
    return (static_cast<quint32>(column) << 16) | (ascending ? 1u : 0u);
}
inline int SortColumnOf(quint32 packed)
{
    return static_cast<int>(packed >> 16);
}
inline bool SortAscendingOf(quint32 packed)
{
    return (packed & 0xFFu) != 0;
}
