// Minute settings turned into second countdowns.
#include "saver/countdown.h"

namespace {

constexpr uint64_t SecondsPerMinute = 60;
constexpr uint64_t LongestCountdown = 65535;

} // namespace

uint16_t CountdownSeconds(uint32_t minutes)
{
    uint64_t seconds = minutes * SecondsPerMinute;
    return static_cast<uint16_t>(seconds > LongestCountdown ? LongestCountdown : seconds);
}
