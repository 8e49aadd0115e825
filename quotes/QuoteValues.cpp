#include "quotes/QuoteValues.h"

#include <algorithm>
#include <limits>

namespace {

// Offsets are 32-bit; no site text comes near this, but a damaged list file could ask for more.
constexpr qsizetype kMaxTotal = std::numeric_limits<quint32>::max();

} // namespace

void QuoteValues::set(qsizetype slot, QStringView text)
{
    Q_ASSERT_X(slot >= 0 && slot < kSlotCount, "QuoteValues::set", "slot out of range");
    const auto index = static_cast<size_t>(slot);
    const qsizetype from = slot > 0 ? m_ends[index - 1] : 0;
    const qsizetype oldLength = m_ends[index] - from;
    const QStringView old(m_text.constData() + from, oldLength);
    if (old == text)
        return; // unchanged: no detach, no reallocation
    const qsizetype room = kMaxTotal - (m_text.size() - oldLength);
    if (text.size() > room)
        text = text.first(room);
    const QChar *begin = m_text.constData();
    if (!text.isEmpty() && text.data() >= begin && text.data() < begin + m_text.size()) {
        // A view into this buffer would move under the replacement; copy it first.
        const QString copy = text.toString();
        set(slot, copy);
        return;
    }
    m_text.replace(from, oldLength, text.data(), text.size());
    if (m_text.isEmpty())
        m_text = QString(); // every slot empty: give the block back
    const auto delta = static_cast<quint32>(text.size() - oldLength); // wraps when shrinking
    for (size_t i = index; i < m_ends.size(); ++i)
        m_ends[i] += delta;
}

void QuoteValues::clear()
{
    m_text = QString();
    m_ends.fill(0);
}

void QuoteValues::assign(QStringView joined, const Ends &ends)
{
    Q_ASSERT_X(std::is_sorted(ends.begin(), ends.end()) && ends.back() == joined.size(),
        "QuoteValues::assign", "ends must be non-decreasing and end at the joined size");
    m_text = joined.isEmpty() ? QString() : joined.toString();
    m_ends = ends;
}
