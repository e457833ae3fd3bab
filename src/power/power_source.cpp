// What Windows reports of the power source and the system battery.
#include "power/power_source.h"

#include "host/outside.h"

bool SystemBatteryPresent()
{
    SYSTEM_POWER_STATUS status;
    if (!Outside::ReadPowerStatus(&status))
        return false;
    return status.BatteryFlag != BATTERY_FLAG_NO_BATTERY && status.BatteryFlag != BATTERY_FLAG_UNKNOWN;
}

bool RunningOnBattery()
{
    SYSTEM_POWER_STATUS status;
    return Outside::ReadPowerStatus(&status) && status.ACLineStatus == AC_LINE_OFFLINE;
}
