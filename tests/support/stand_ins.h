// The seams of host/outside.h pointed at a test's stand-ins and back at the
// real system calls: every seam is named here once, for every test program.
#pragma once
#include "host/outside.h"

// One stand-in per seam; a seam whose stand-in is null takes the real call.
struct StandIns {
    decltype(Outside::CreateDisplayContext) createDisplayContext;
    decltype(Outside::DriverEscape) driverEscape;
    decltype(Outside::DeleteDisplayContext) deleteDisplayContext;
    decltype(Outside::OpenDevice) openDevice;
    decltype(Outside::ControlDevice) controlDevice;
    decltype(Outside::CloseDevice) closeDevice;
    decltype(Outside::RegisterPowerSetting) registerPowerSetting;
    decltype(Outside::UnregisterPowerSetting) unregisterPowerSetting;
    decltype(Outside::ReadPowerStatus) readPowerStatus;
    decltype(Outside::SystemMetric) systemMetric;
    decltype(Outside::ShowMessageBox) showMessageBox;
};

void InstallStandIns(const StandIns& standIns);
// Every seam back at its real system call, with the display and drive handles forgotten.
void RemoveStandIns();
