// Byte layouts of the display driver's power escapes and the translation of
// VBE/PM states into state-record codes. Needs no Win32.
#pragma once
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
// VBE status of a supported function; also DisplayPowerStatus when the driver
// supports display power control.
constexpr int32_t DisplayPowerSupported = 79;
// VBE/PM function number, the EAX image of every register request.
constexpr uint32_t VbePmFunction = 0x4F10;

// Register images of a VBE/PM call, little-endian as the driver reads them.
struct VbePmRegisters {
    uint32_t eax;
    uint32_t ebx;
    uint32_t unused[5];
};
static_assert(sizeof(VbePmRegisters) == 28, "the driver reads 28 bytes");

// Record of the state-record interface.
struct PowerStateRecord {
    uint32_t size;
    uint32_t reserved;
    uint32_t state;
};
static_assert(sizeof(PowerStateRecord) == 12, "the driver reads 12 bytes");

// Input block of a VBE/PM call: EAX the function number, BH the state, BL the sub-function.
VbePmRegisters VbePmCall(uint32_t state, uint32_t function);
// AL of a reply: the VBE status.
uint32_t VbePmStatusOf(const VbePmRegisters& reply);
// BH of a reply: the request's result (the capability bits for a query).
uint32_t VbePmResultOf(const VbePmRegisters& reply);

// Standby 2, Suspend 3, Off 4; every other state, On included, 1.
uint32_t PowerStateCodeOf(uint32_t state);
PowerStateRecord PowerStateQueryRecord();
PowerStateRecord PowerStateSetRecord(uint32_t state);

// The platform's monitor-power request (the lParam of SC_MONITORPOWER): low
// power for Standby and Suspend, off for Off, on for every other state.
constexpr int32_t MonitorPowerOn = -1;
constexpr int32_t MonitorPowerLow = 1;
constexpr int32_t MonitorPowerOff = 2;
int32_t MonitorPowerOf(uint32_t state);
