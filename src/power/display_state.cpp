// What Windows reports of the display's state and the power source during a saver run.
#include "power/display_state.h"

#include "host/outside.h"

namespace {

// The settings' identifiers, kept here rather than taken from the import
// library's copies.
const GUID ConsoleDisplaySetting
    = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID MonitorPowerSetting
    = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
const GUID PowerSourceSetting
    = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
// The power source setting's values: the mains, the battery, a short-term source (a UPS).
constexpr DWORD LastPowerSource = 2;

HPOWERNOTIFY ConsoleDisplayNotice;
HPOWERNOTIFY MonitorPowerNotice;
HPOWERNOTIFY PowerSourceNotice;

void StopNotice(HPOWERNOTIFY* notice)
{
    if (*notice)
        Outside::UnregisterPowerSetting(*notice);
    *notice = nullptr;
}

// The record of a setting's report with a 32-bit value; null for any other notice.
const POWERBROADCAST_SETTING* SettingReport(WPARAM event, LPARAM setting, DWORD* value)
{
    const auto* notice = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (event != PBT_POWERSETTINGCHANGE || notice == nullptr || notice->DataLength != sizeof(DWORD))
        return nullptr;
    CopyMemory(value, notice->Data, sizeof *value);
    return notice;
}

} // namespace

void WatchPowerReports(HWND window)
{
    StopWatchingPowerReports();
    ConsoleDisplayNotice = Outside::RegisterPowerSetting(window, &ConsoleDisplaySetting,
                                                         DEVICE_NOTIFY_WINDOW_HANDLE);
    MonitorPowerNotice = Outside::RegisterPowerSetting(window, &MonitorPowerSetting,
                                                       DEVICE_NOTIFY_WINDOW_HANDLE);
    PowerSourceNotice = Outside::RegisterPowerSetting(window, &PowerSourceSetting,
                                                      DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopWatchingPowerReports()
{
    StopNotice(&ConsoleDisplayNotice);
    StopNotice(&MonitorPowerNotice);
    StopNotice(&PowerSourceNotice);
}

int32_t DisplayReportOf(WPARAM event, LPARAM setting)
{
    DWORD value;
    const POWERBROADCAST_SETTING* notice = SettingReport(event, setting, &value);
    if (notice == nullptr)
        return DisplayReportNone;
    bool console = IsEqualGUID(notice->PowerSetting, ConsoleDisplaySetting);
    if (!console && !IsEqualGUID(notice->PowerSetting, MonitorPowerSetting))
        return DisplayReportNone;
    // Monitor power knows off and on only.
    if (value == DisplayReportOff || value == DisplayReportOn || (console && value == DisplayReportDimmed))
        return static_cast<int32_t>(value);
    return DisplayReportNone;
}

bool PowerSourceNoticeOf(WPARAM event, LPARAM setting)
{
    if (event == PBT_APMPOWERSTATUSCHANGE)
        return true;
    DWORD value;
    const POWERBROADCAST_SETTING* notice = SettingReport(event, setting, &value);
    return notice != nullptr && IsEqualGUID(notice->PowerSetting, PowerSourceSetting)
           && value <= LastPowerSource;
}
