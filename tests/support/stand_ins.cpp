// The seams of host/outside.h pointed at stand-ins and back, and the shared stand-ins.
#include "support/stand_ins.h"

#include <cstring>

#include "power/display_power.h"
#include "power/standby_device.h"
#include "support/wine_test.h"

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

const GUID ConsoleDisplaySetting
    = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID MonitorPowerSetting
    = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
const GUID PowerSourceSetting
    = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};

void FakeOutside::Log(const std::string& event)
{
    events.push_back(std::to_string(tick) + " " + event);
}

namespace {

FakeOutside* Current;
HDC const StandInDisplay = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x4B1D));
HANDLE const StandInDevice = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5A7E));
constexpr int StatusOffset = 0;     // AL of the register escape's EAX image
constexpr int ResultOffset = 5;     // BH of its EBX image

const char* StateName(uint32_t state)
{
    switch (state) {
    case DisplayPowerOn:
        return "On";
    case DisplayPowerStandby:
        return "Standby";
    case DisplayPowerSuspend:
        return "Suspend";
    case DisplayPowerOff:
        return "Off";
    }
    return "?";
}

// State codes of the state-record interface.
const char* RecordStateName(uint32_t code)
{
    const char* names[] = {"?", "On", "Standby", "Suspend", "Off"};
    return code < 5 ? names[code] : "?";
}

const GUID* const KnownSettings[] = {&ConsoleDisplaySetting, &MonitorPowerSetting,
                                     &PowerSourceSetting};
const char* const KnownSettingNames[] = {"console display", "monitor power", "power source"};
constexpr INT_PTR KnownSettingCount = 3;

HDC WINAPI CreateDisplay(LPCSTR, LPCSTR, LPCSTR, const DEVMODEA*)
{
    return Current->contextFails ? nullptr : StandInDisplay;
}

BOOL WINAPI DeleteDisplay(HDC)
{
    Current->Log("display closed");
    return TRUE;
}

// The register interface or the state-record one.
int WINAPI Escape(HDC, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output)
{
    FakeOutside& o = *Current;
    int known = o.stateRecordDriver ? ESCAPE_POWER_STATE_SET : ESCAPE_VBEPM_CALL;
    if (escape == QUERYESCSUPPORT) {
        int32_t asked = 0;
        if (inputSize >= 4)
            memcpy(&asked, input, sizeof asked);
        return o.displayAnswers && asked == known ? 1 : 0;
    }
    ++o.escapes;
    if (!o.displayAnswers)
        return 0;
    if (escape == ESCAPE_VBEPM_CALL && !o.stateRecordDriver) {
        uint32_t ebx;
        memcpy(&ebx, input + 4, sizeof ebx);
        bool query = (ebx & 0xFF) == ReportCapabilities;
        o.Log(query ? std::string("display capabilities") : std::string("display ") + StateName(ebx >> 8));
        if (!query && (ebx >> 8) == DisplayPowerOn && o.duringDisplayOn)
            o.duringDisplayOn();
        if (query ? o.queryFails : o.setFails)
            return 0;
        if (outputSize > ResultOffset) {
            output[StatusOffset] = static_cast<char>(o.status);
            output[ResultOffset] = static_cast<char>(o.capabilities);
        }
        return 1;
    }
    if (escape == ESCAPE_POWER_STATE_QUERY && o.stateRecordDriver) {
        o.Log("display capabilities");
        return o.queryFails ? 0 : 1;
    }
    if (escape == ESCAPE_POWER_STATE_SET && o.stateRecordDriver) {
        uint32_t code;
        memcpy(&code, input + 8, sizeof code);
        o.Log(std::string("display ") + RecordStateName(code));
        if (code == 1 && o.duringDisplayOn)
            o.duringDisplayOn();
        return o.setFails ? 0 : 1;
    }
    return 0;
}

// The handle of a known setting is its place in KnownSettings, counted from 1.
HPOWERNOTIFY WINAPI RegisterSetting(HANDLE recipient, LPCGUID setting, DWORD flags)
{
    // Asked for while the window is being made, before a test holds it: named by its class.
    char className[64] = "";
    GetClassNameA(static_cast<HWND>(recipient), className, sizeof className);
    std::string to = flags == DEVICE_NOTIFY_WINDOW_HANDLE ? std::string(" for the window ") + className
                                                         : std::string(" for another");
    for (INT_PTR i = 0; i < KnownSettingCount; ++i) {
        if (IsEqualGUID(*setting, *KnownSettings[i])) {
            Current->notices.push_back(KnownSettingNames[i] + to);
            return reinterpret_cast<HPOWERNOTIFY>(i + 1);
        }
    }
    Current->notices.push_back("another setting");
    return nullptr;
}

BOOL WINAPI UnregisterSetting(HPOWERNOTIFY notice)
{
    INT_PTR i = reinterpret_cast<INT_PTR>(notice) - 1;
    Current->notices.push_back(std::string("give back ")
                               + (i >= 0 && i < KnownSettingCount ? KnownSettingNames[i] : "?"));
    return TRUE;
}

HANDLE WINAPI OpenDevice(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    ++Current->deviceOpenCalls;
    if (Current->deviceOpens)
        return StandInDevice;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI ControlDevice(HANDLE, DWORD code, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)
{
    FakeOutside& o = *Current;
    o.Log(code == SpinDown ? "drive SpinDown" : code == SpinUp ? "drive SpinUp" : "drive ?");
    if (o.deviceAnswer)
        return o.deviceAnswer(code) ? TRUE : FALSE;
    if (code == SpinDown && o.spinDownRefusals > 0) {
        --o.spinDownRefusals;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CloseDevice(HANDLE)
{
    Current->Log("device closed");
    return TRUE;
}

BOOL WINAPI ReadPowerStatus(LPSYSTEM_POWER_STATUS status)
{
    const FakeOutside& o = *Current;
    *status = SYSTEM_POWER_STATUS{};
    status->ACLineStatus = o.lineUnknown ? AC_LINE_UNKNOWN : o.onBattery ? AC_LINE_OFFLINE : AC_LINE_ONLINE;
    status->BatteryFlag = o.batteryUnknown ? BATTERY_FLAG_UNKNOWN
                          : o.battery      ? BATTERY_FLAG_HIGH
                                           : BATTERY_FLAG_NO_BATTERY;
    status->BatteryLifePercent = o.battery ? 100 : BATTERY_PERCENTAGE_UNKNOWN;
    return o.powerStatusFails ? FALSE : TRUE;
}

int WINAPI ShowBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    FakeOutside& o = *Current;
    o.boxOwner = owner;
    o.boxType = type;
    o.boxCaption = Utf8(caption);
    o.boxText = Utf8(text);
    o.boxes.push_back(o.boxCaption + ": " + o.boxText);
    if (o.duringMessageBox)
        o.duringMessageBox();
    return IDOK;
}

} // namespace

void InstallFakeOutside(FakeOutside& outside)
{
    RemoveStandIns();
    Current = &outside;
    InstallStandIns({CreateDisplay, Escape, DeleteDisplay, OpenDevice, ControlDevice, CloseDevice,
                     RegisterSetting, UnregisterSetting, ReadPowerStatus, nullptr, ShowBox});
}
