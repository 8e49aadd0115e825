#include "quotes/ShownTexts.h"

#include <cstdlib>
#include <cstring>
#include <new>

qsizetype ShownTexts::blockSize() const
{
    if (!m_block)
        return 0;
    const qsizetype n = header()->count;
    const qsizetype length = n > 0 ? ends()[n - 1] : 0;
    constexpr auto kHead = static_cast<qsizetype>(sizeof(Header));
    constexpr auto kEnd = static_cast<qsizetype>(sizeof(quint32));
    constexpr auto kChar = static_cast<qsizetype>(sizeof(char16_t));
    return kHead + kEnd * n + kChar * length;
}

void ShownTexts::clear() noexcept
{
    std::free(m_block);
    m_block = nullptr;
}

void ShownTexts::assign(quint32 stamp, QStringView joined, const quint32 *ends, int count)
{
    Q_ASSERT_X(count >= 0 && (count == 0 ? joined.isEmpty() : ends[count - 1] == joined.size()),
        "ShownTexts::assign", "the last end must be the joined size");
    const auto n = static_cast<size_t>(count);
    const size_t endBytes = sizeof(quint32) * n;
    const size_t textBytes = sizeof(char16_t) * static_cast<size_t>(joined.size());
    void *block = std::malloc(sizeof(Header) + endBytes + textBytes);
    if (!block)
        throw std::bad_alloc();
    const Header head { stamp, static_cast<quint32>(count) };
    auto *bytes = static_cast<char *>(block);
    std::memcpy(bytes, &head, sizeof(Header));
    if (endBytes > 0)
        std::memcpy(bytes + sizeof(Header), ends, endBytes);
    if (textBytes > 0)
        std::memcpy(bytes + sizeof(Header) + endBytes, joined.utf16(), textBytes);
    clear();
    m_block = block;
}
