// Minute settings turned into second countdowns.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

// Seconds in a countdown of `minutes`. Countdowns are 16 bits wide: a product
// above 65535 saturates there instead of wrapping round to a short wait.
uint16_t CountdownSeconds(uint32_t minutes);
