// The seams of host/outside.h pointed at stand-ins and back.
#include "support/stand_ins.h"

#include "power/display_power.h"
#include "power/standby_device.h"

namespace {

template <typename Call>
void Point(Call& seam, Call standIn, Call real)
{
    seam = standIn != nullptr ? standIn : real;
}

} // namespace

void InstallStandIns(const StandIns& standIns)
{
    Point(Outside::CreateDisplayContext, standIns.createDisplayContext, &CreateDCA);
    Point(Outside::DriverEscape, standIns.driverEscape, &ExtEscape);
    Point(Outside::DeleteDisplayContext, standIns.deleteDisplayContext, &DeleteDC);
    Point(Outside::OpenDevice, standIns.openDevice, &CreateFileA);
    Point(Outside::ControlDevice, standIns.controlDevice, &DeviceIoControl);
    Point(Outside::CloseDevice, standIns.closeDevice, &CloseHandle);
    Point(Outside::RegisterPowerSetting, standIns.registerPowerSetting,
          &RegisterPowerSettingNotification);
    Point(Outside::UnregisterPowerSetting, standIns.unregisterPowerSetting,
          &UnregisterPowerSettingNotification);
    Point(Outside::ReadPowerStatus, standIns.readPowerStatus, &GetSystemPowerStatus);
    Point(Outside::SystemMetric, standIns.systemMetric, &GetSystemMetrics);
    Point(Outside::ShowMessageBox, standIns.showMessageBox, &MessageBoxW);
}

void RemoveStandIns()
{
    // The display and the drive as a fresh process finds them: no handle a
    // stand-in gave may reach a real call.
    DisplayContext = nullptr;
    DisplayPowerInterface = NoPowerEscape;
    DisplayPowerStatus = 0;
    StandbyDeviceHandle = INVALID_HANDLE_VALUE;
    InstallStandIns(StandIns{});
}
