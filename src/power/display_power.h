// Display power states through the display driver's private escapes.
#pragma once
#include <windows.h>

#include <cstdint>

// VBE/PM terms in which callers speak.
enum DisplayPowerState : uint32_t {
    DisplayPowerOn = 0,
    DisplayPowerStandby = 1,
    DisplayPowerSuspend = 2,
    DisplayPowerOff = 4,
};
enum DisplayPowerFunction : uint32_t {
    ReportCapabilities = 0,
    SetState = 1,
};
enum DisplayPowerCaps : uint32_t {
    DisplayPowerCapsStandby = 1,
    DisplayPowerCapsSuspend = 2,
    DisplayPowerCapsOff = 4,
};
// DisplayPowerStatus when the driver supports display power control.
constexpr int32_t DisplayPowerSupported = 79;

// Which driver interface answered the probe.
enum DisplayPowerInterfaceKind : int32_t {
    NoPowerEscape = 0,
    RegisterEscape = 1,
    StateEscape = 2,
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
