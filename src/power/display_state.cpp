// What Windows reports of the display's state during a saver run.
#include "power/display_state.h"

#include "host/outside.h"

namespace {

// The settings' identifiers, kept here rather than taken from the import
// library's copies.
const GUID ConsoleDisplaySetting
    = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID MonitorPowerSetting
    = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

HPOWERNOTIFY ConsoleDisplayNotice;
HPOWERNOTIFY MonitorPowerNotice;

void StopNotice(HPOWERNOTIFY* notice)
{
    if (*notice)
        Outside::UnregisterPowerSetting(*notice);
    *notice = nullptr;
}

} // namespace

void WatchDisplayState(HWND window)
{
    StopWatchingDisplayState();
    ConsoleDisplayNotice = Outside::RegisterPowerSetting(window, &ConsoleDisplaySetting,
                                                         DEVICE_NOTIFY_WINDOW_HANDLE);
    MonitorPowerNotice = Outside::RegisterPowerSetting(window, &MonitorPowerSetting,
                                                       DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopWatchingDisplayState()
{
    StopNotice(&ConsoleDisplayNotice);
    StopNotice(&MonitorPowerNotice);
}

int32_t DisplayReportOf(WPARAM event, LPARAM setting)
{
    const auto* notice = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (event != PBT_POWERSETTINGCHANGE || notice == nullptr || notice->DataLength != sizeof(DWORD))
        return DisplayReportNone;
    DWORD value;
    CopyMemory(&value, notice->Data, sizeof value);
    bool console = IsEqualGUID(notice->PowerSetting, ConsoleDisplaySetting);
    if (!console && !IsEqualGUID(notice->PowerSetting, MonitorPowerSetting))
        return DisplayReportNone;
    // Monitor power knows off and on only.
    if (value == DisplayReportOff || value == DisplayReportOn || (console && value == DisplayReportDimmed))
        return static_cast<int32_t>(value);
    return DisplayReportNone;
}
