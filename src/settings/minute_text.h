// Minute counts as the setup dialog's edit fields hold them. Needs no Win32.
#pragma once
#include <cstdint>

// Leading blanks skipped, then the decimal digits up to the first other
// character; 0 when there are none. Counts past 65535 stay at 65535.
uint16_t ParseMinuteCount(const char* text);
