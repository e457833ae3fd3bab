// What Windows reports of the power source and the system battery.
#include "power/power_source.h"

#include "host/outside.h"

namespace {

constexpr BYTE NoSystemBattery = 128;
constexpr BYTE BatteryStatusUnknown = 255;
constexpr BYTE LineOffline = 0;

} // namespace

bool SystemBatteryPresent()
{
    SYSTEM_POWER_STATUS status;
    if (!Outside::ReadPowerStatus(&status))
        return false;
    return status.BatteryFlag != NoSystemBattery && status.BatteryFlag != BatteryStatusUnknown;
}

bool RunningOnBattery()
{
    SYSTEM_POWER_STATUS status;
    return Outside::ReadPowerStatus(&status) && status.ACLineStatus == LineOffline;
}
