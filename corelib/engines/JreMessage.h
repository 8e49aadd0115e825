#pragma once

#include "corelib/engines/JreInterface.h"

#include <string>
#include <string_view>

// The module's one message of the last failure, read by GetJreMessage.
namespace jre {

void SetMessage(std::u16string message);
void ClearMessage();
const std::u16string &Message();
// Copies the message as GetJreMessage hands it out; returns its full length.
int32_t CopyMessage(JreChar *buffer, int32_t capacity);

} // namespace jre
