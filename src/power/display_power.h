// Display power states through the display driver's private escapes, or the
// platform's monitor-power request where the driver answers neither.
#pragma once
#include <windows.h>

#include <cstdint>

#include "power/power_packets.h"

// Which driver interface answered the probe; the platform's monitor-power
// request when neither did.
enum DisplayPowerInterfaceKind : int32_t {
    NoPowerEscape = 0,
    RegisterEscape = 1,
    StateEscape = 2,
    PlatformRequest = 3,
};

constexpr int ESCAPE_VBEPM_CALL = 20480;
constexpr int ESCAPE_POWER_STATE_SET = 24576;
constexpr int ESCAPE_POWER_STATE_QUERY = 24577;

extern HDC DisplayContext;              // null until the first capability query
extern int32_t DisplayPowerInterface;
extern int32_t DisplayPowerStatus;

int32_t OpenDisplayPower();
uint32_t DisplayPowerRequest(uint32_t state, uint32_t function);
void CloseDisplayPower();
