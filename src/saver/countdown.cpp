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

uint16_t MoveCountdown(uint16_t* start, uint16_t left, uint16_t newStart)
{
    // A countdown above its start has counted nothing.
    uint16_t counted = *start > left ? static_cast<uint16_t>(*start - left) : 0;
    uint16_t moved = newStart > counted ? static_cast<uint16_t>(newStart - counted) : 0;
    // Both fit 16 bits: counted when moved is 0, newStart otherwise.
    *start = static_cast<uint16_t>(moved + counted);
    return moved;
}
