// A module named like the fuzzy engine that lacks one of the required entry points
// (GetJreMessage): CJre must not use it.
#include <cstdint>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT uint16_t JreGetVersion(void)
{
    return 0x0900;
}
EXPORT int Jre2Open(void *)
{
    return 1;
}
EXPORT int Jre2Compile(void *, const char16_t *, int32_t)
{
    return 1;
}
EXPORT int Jre2GetMatchInfo(void *, const char16_t *, int32_t, int32_t)
{
    return 1;
}
EXPORT int Jre2Close(void *)
{
    return 1;
}
