#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <iterator>

inline constexpr int kSlotCount = 32;

// The 32 quote slot texts of a record, kept end to end in one string with the end offset of
// each slot beside it, so a record costs one heap block for all its slots instead of one per
// slot. A view returned by operator[] stays valid until the next change to these values.
class QuoteValues {
public:
    using Ends = std::array<quint32, kSlotCount>;

    static constexpr qsizetype size() { return kSlotCount; }

    // The text of a slot (0..31); a null view when the slot is empty.
    const QStringView operator[](qsizetype slot) const // const: a slot is written with set()
    {
        Q_ASSERT_X(slot >= 0 && slot < kSlotCount, "QuoteValues", "slot out of range");
        const quint32 from = slot > 0 ? m_ends[static_cast<size_t>(slot - 1)] : 0;
        const quint32 to = m_ends[static_cast<size_t>(slot)];
        if (from == to)
            return {};
        return QStringView(m_text.constData() + from, static_cast<qsizetype>(to - from));
    }
    bool isEmpty(qsizetype slot) const { return operator[](slot).isEmpty(); }

    // Replaces one slot's text. The text may be a view into these same values.
    void set(qsizetype slot, QStringView text);
    template<typename A, typename B> void set(qsizetype slot, const QStringBuilder<A, B> &text)
    {
        set(slot, QString(text));
    }
    // Empties every slot and frees the buffer.
    void clear();
    // Takes all slots at once: `joined` holds the texts end to end and `ends` the end offset
    // of each slot within it (non-decreasing, the last one joined.size()). One allocation of
    // exactly the needed size, for readers that build a whole record.
    void assign(QStringView joined, const Ends &ends);

    // Gives back capacity left over from growing slot by slot (kept records should not carry it).
    void squeeze()
    {
        if (m_text.capacity() > m_text.size())
            m_text.squeeze();
    }
    // Starts fetching what reading a slot touches: the buffer pointer and the slot's offsets.
    void prefetch(qsizetype slot) const
    {
        __builtin_prefetch(&m_text);
        __builtin_prefetch(&m_ends[static_cast<size_t>(slot)]);
    }

    // The characters of all slots together.
    qsizetype totalLength() const { return m_text.size(); }

    friend bool operator==(const QuoteValues &a, const QuoteValues &b)
    {
        return a.m_ends == b.m_ends && QStringView(a.m_text) == QStringView(b.m_text);
    }
    friend bool operator!=(const QuoteValues &a, const QuoteValues &b) { return !(a == b); }

    // Visits the slots in order as views.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QStringView;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = QStringView;

        const_iterator() = default;
        const_iterator(const QuoteValues *values, qsizetype slot)
            : m_values(values)
            , m_slot(slot)
        { }
        QStringView operator*() const { return (*m_values)[m_slot]; }
        const_iterator &operator++()
        {
            ++m_slot;
            return *this;
        }
        const_iterator operator++(int)
        {
            const const_iterator old = *this;
            ++m_slot;
            return old;
        }
        friend bool operator==(const const_iterator &a, const const_iterator &b)
        {
            return a.m_slot == b.m_slot && a.m_values == b.m_values;
        }

    private:
        const QuoteValues *m_values = nullptr;
        qsizetype m_slot = 0;
    };
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, kSlotCount }; }

private:
    QString m_text;
    Ends m_ends {};
};
