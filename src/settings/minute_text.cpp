// Reading a minute count typed into an edit field.
#include "settings/minute_text.h"

namespace {

constexpr uint32_t LargestMinuteCount = 0xFFFF;

} // namespace

uint16_t ParseMinuteCount(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    uint32_t count = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        count = count * 10 + static_cast<uint32_t>(*text - '0');
        if (count > LargestMinuteCount)
            count = LargestMinuteCount;
    }
    return static_cast<uint16_t>(count);
}
