// What Windows reports of the power source and the system battery.
#pragma once
#include <windows.h>

// A system battery is there (Windows knows of one). A failed question counts as none.
bool SystemBatteryPresent();
// The machine runs on its battery now; an unknown line status counts as the mains.
bool RunningOnBattery();
