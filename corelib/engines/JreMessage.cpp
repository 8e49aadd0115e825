#include "corelib/engines/JreMessage.h"

#include <algorithm>
#include <utility>

namespace jre {
namespace {
std::u16string &store()
{
    static std::u16string message;
    return message;
}
} // namespace

void SetMessage(std::u16string message)
{
    store() = std::move(message);
}

void ClearMessage()
{
    store().clear();
}

const std::u16string &Message()
{
    return store();
}

int32_t CopyMessage(JreChar *buffer, int32_t capacity)
{
    const std::u16string &m = store();
    const auto length = static_cast<int32_t>(m.size());
    if (buffer && capacity > 0)
        std::copy_n(m.data(), std::min(length, capacity), buffer);
    return length;
}

} // namespace jre
