// Minute settings turned into second countdowns.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

// Seconds in a countdown of `minutes`. Countdowns are 16 bits wide: a product
// above 65535 saturates there instead of wrapping round to a short wait.
uint16_t CountdownSeconds(uint32_t minutes);

// A countdown that started from `*start` seconds and stands at `left`, moved
// to a start of `newStart` seconds (the other power source's minutes): the
// seconds it has counted stay counted, and it stops at 0. Returns the moved
// countdown and sets `*start` to the start it now counts from, so that a
// later move counts the same seconds again.
uint16_t MoveCountdown(uint16_t* start, uint16_t left, uint16_t newStart);
