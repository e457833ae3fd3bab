// The setup dialog's four power rows.
#include "settings/power_rows.h"

#include "power/display_power.h"
#include "resources/resource.h"

const PowerRow PowerRows[MinuteSettingCount] = {
    {IDC_STANDBY, IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, IDC_STANDBY_LABEL,
     IDC_BATTERY_STANDBY_SPIN, IDC_BATTERY_STANDBY_AFTER, IDS_HELP_STANDBY,
     &SaverSettingsRecord::Standby, &SaverSettingsRecord::StandbyAfter,
     &SaverSettingsRecord::BatteryStandbyAfter, DisplayPowerCapsStandby, "Standby After",
     "Battery Standby After"},
    {IDC_SUSPEND, IDC_SUSPEND_SPIN, IDC_SUSPEND_AFTER, IDC_SUSPEND_LABEL,
     IDC_BATTERY_SUSPEND_SPIN, IDC_BATTERY_SUSPEND_AFTER, IDS_HELP_SUSPEND,
     &SaverSettingsRecord::Suspend, &SaverSettingsRecord::SuspendAfter,
     &SaverSettingsRecord::BatterySuspendAfter, DisplayPowerCapsSuspend, "Suspend After",
     "Battery Suspend After"},
    {IDC_OFF, IDC_OFF_SPIN, IDC_OFF_AFTER, IDC_OFF_LABEL, IDC_BATTERY_OFF_SPIN,
     IDC_BATTERY_OFF_AFTER, IDS_HELP_OFF, &SaverSettingsRecord::Off, &SaverSettingsRecord::OffAfter,
     &SaverSettingsRecord::BatteryOffAfter, DisplayPowerCapsOff,
     "Off After", "Battery Off After"},
    {IDC_DRIVE_STANDBY, IDC_SPIN_DOWN_SPIN, IDC_SPIN_DOWN_AFTER, IDC_SPIN_DOWN_LABEL,
     IDC_BATTERY_SPIN_DOWN_SPIN, IDC_BATTERY_SPIN_DOWN_AFTER, IDS_HELP_DRIVE,
     &SaverSettingsRecord::DriveStandby, &SaverSettingsRecord::SpinDownAfter,
     &SaverSettingsRecord::BatterySpinDownAfter, 0, "Spin Down After", "Battery Spin Down After"},
};
