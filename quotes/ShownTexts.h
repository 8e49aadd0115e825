#pragma once

#include <QStringView>
#include <QtGlobal>

#include <utility>

// The display texts of the fields a list shows for one record, kept with the record so that
// finding, copying and painting read them instead of making them again. They are made by the
// list's rules (view/table) on first use after a change, end to end in one heap block
// together with the end offset of each text and the stamp of the column set they were made
// for; a list with other columns makes them again. Whoever changes a listed record in place
// clears them (the record's own copy and profit functions do).
//
// A copy of a record starts without texts; they are made again when needed.
class ShownTexts {
public:
    ShownTexts() noexcept = default;
    ~ShownTexts() { clear(); }
    ShownTexts(const ShownTexts &) noexcept { }
    ShownTexts &operator=(const ShownTexts &other) noexcept
    {
        if (this != &other)
            clear();
        return *this;
    }
    ShownTexts(ShownTexts &&other) noexcept
        : m_block(std::exchange(other.m_block, nullptr))
    { }
    ShownTexts &operator=(ShownTexts &&other) noexcept
    {
        if (this != &other) {
            clear();
            m_block = std::exchange(other.m_block, nullptr);
        }
        return *this;
    }

    // True when texts are kept and were made for the column set `stamp`.
    bool holds(quint32 stamp) const { return m_block && header()->stamp == stamp; }
    int count() const { return m_block ? static_cast<int>(header()->count) : 0; }
    // Text `i` (0 .. count() - 1); a null view when it is empty or out of range.
    QStringView text(int i) const
    {
        if (i < 0 || i >= count())
            return {};
        const quint32 *end = ends();
        const quint32 from = i > 0 ? end[i - 1] : 0;
        if (from == end[i])
            return {};
        return QStringView(chars() + from, static_cast<qsizetype>(end[i] - from));
    }
    // The heap block's size in bytes, 0 without texts.
    qsizetype blockSize() const;

    void clear() noexcept;
    // Keeps `count` texts for the column set `stamp`: `joined` holds them end to end and
    // `ends` the end offset of each in it (non-decreasing, the last one joined.size()).
    void assign(quint32 stamp, QStringView joined, const quint32 *ends, int count);

private:
    struct Header {
        quint32 stamp;
        quint32 count;
    };
    const Header *header() const { return static_cast<const Header *>(m_block); }
    const quint32 *ends() const
    {
        return reinterpret_cast<const quint32 *>(static_cast<const char *>(m_block) + sizeof(Header));
    }
    const char16_t *chars() const { return reinterpret_cast<const char16_t *>(ends() + count()); }

    void *m_block = nullptr;
};
