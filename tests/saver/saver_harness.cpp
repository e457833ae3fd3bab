// A real saver window for tests, with recording stand-ins for what lies outside.
#include "saver_harness.h"

#include "chain/launcher.h"
#include "host/default_saver_proc.h"
#include "host/host.h"
#include "host/outside.h"
#include "power/display_power.h"
#include "power/standby_device.h"
#include "saver/saver_window.h"
#include "settings/settings.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

#include <cstddef>
#include <cstring>

namespace {

const wchar_t TestSaverClass[] = L"KelvorinTestSaver";
HDC const StandInDisplay = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x4B1D));
HANDLE const StandInDevice = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5A7E));

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

const GUID* const KnownSettings[] = {&ConsoleDisplaySetting, &MonitorPowerSetting,
                                     &PowerSourceSetting};
const char* const KnownSettingNames[] = {"console display", "monitor power", "power source"};
constexpr INT_PTR KnownSettingCount = 3;

// State codes of the state-record interface.
const char* RecordStateName(uint32_t code)
{
    const char* names[] = {"?", "On", "Standby", "Suspend", "Off"};
    return code < 5 ? names[code] : "?";
}

} // namespace

SaverHarness* SaverHarness::current_;

struct SaverStandIns {
    static SaverHarness& H() { return *SaverHarness::current_; }

    static HDC WINAPI CreateDisplay(LPCSTR, LPCSTR, LPCSTR, const DEVMODEA*)
    {
        return H().contextFails ? nullptr : StandInDisplay;
    }
    static BOOL WINAPI DeleteDisplay(HDC)
    {
        H().Log("display closed");
        return TRUE;
    }
    // The register interface (status 79, all three stages) or the state-record one.
    static int WINAPI Escape(HDC, int escape, int, LPCSTR input, int outputSize, LPSTR output)
    {
        SaverHarness& h = H();
        int known = h.stateRecordDriver ? ESCAPE_POWER_STATE_SET : ESCAPE_VBEPM_CALL;
        if (escape == QUERYESCSUPPORT) {
            int32_t asked;
            memcpy(&asked, input, sizeof asked);
            return h.displayAnswers && asked == known ? 1 : 0;
        }
        ++h.escapes;
        if (!h.displayAnswers)
            return 0;
        if (escape == ESCAPE_VBEPM_CALL && !h.stateRecordDriver) {
            uint32_t ebx;
            memcpy(&ebx, input + 4, sizeof ebx);
            bool query = (ebx & 0xFF) == ReportCapabilities;
            h.Log(query ? std::string("display capabilities")
                        : std::string("display ") + StateName(ebx >> 8));
            if (!query && (ebx >> 8) == DisplayPowerOn && h.duringDisplayOn)
                h.duringDisplayOn();
            if (query ? h.queryFails : h.setFails)
                return 0;
            if (outputSize >= 8) {
                output[0] = static_cast<char>(DisplayPowerSupported);
                output[5] = 7;
            }
            return 1;
        }
        if (escape == ESCAPE_POWER_STATE_QUERY && h.stateRecordDriver) {
            h.Log("display capabilities");
            return h.queryFails ? 0 : 1;
        }
        if (escape == ESCAPE_POWER_STATE_SET && h.stateRecordDriver) {
            uint32_t code;
            memcpy(&code, input + 8, sizeof code);
            h.Log(std::string("display ") + RecordStateName(code));
            if (code == 1 && h.duringDisplayOn)
                h.duringDisplayOn();
            return h.setFails ? 0 : 1;
        }
        return 0;
    }
    // The saver window's own procedure, seeing the platform's monitor-power
    // requests as they arrive on their way to the default handling.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (SaverHarness::current_ && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
            H().Log("monitor " + std::to_string(static_cast<int>(lParam)));
        return SaverWindowProc(window, message, wParam, lParam);
    }
    // The handle of a known setting is its place in KnownSettings, counted from 1.
    static HPOWERNOTIFY WINAPI RegisterSetting(HANDLE recipient, LPCGUID setting, DWORD flags)
    {
        // Asked for while the window is being made, before the harness holds it.
        wchar_t className[64] = L"";
        GetClassNameW(static_cast<HWND>(recipient), className, 64);
        bool toWindow = wcscmp(className, TestSaverClass) == 0 && flags == DEVICE_NOTIFY_WINDOW_HANDLE;
        for (INT_PTR i = 0; i < KnownSettingCount; ++i) {
            if (IsEqualGUID(*setting, *KnownSettings[i])) {
                H().notices.push_back(std::string(KnownSettingNames[i])
                                      + (toWindow ? " for the window" : " for another"));
                return reinterpret_cast<HPOWERNOTIFY>(i + 1);
            }
        }
        H().notices.push_back("another setting");
        return nullptr;
    }
    static BOOL WINAPI UnregisterSetting(HPOWERNOTIFY notice)
    {
        INT_PTR i = reinterpret_cast<INT_PTR>(notice) - 1;
        H().notices.push_back(std::string("give back ") + (i >= 0 && i < KnownSettingCount ? KnownSettingNames[i] : "?"));
        return TRUE;
    }
    static HANDLE WINAPI OpenDevice(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                    HANDLE)
    {
        if (H().deviceOpens)
            return StandInDevice;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    static BOOL WINAPI ControlDevice(HANDLE, DWORD code, LPVOID, DWORD, LPVOID, DWORD, LPDWORD,
                                     LPOVERLAPPED)
    {
        H().Log(code == 1 ? "drive SpinDown" : code == 2 ? "drive SpinUp" : "drive ?");
        if (H().deviceAnswer)
            return H().deviceAnswer(code) ? TRUE : FALSE;
        if (code == 1 && H().spinDownRefusals > 0) {
            --H().spinDownRefusals;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL WINAPI CloseDevice(HANDLE)
    {
        H().Log("device closed");
        return TRUE;
    }
    // A laptop's battery, on it or on the mains as the test says.
    static BOOL WINAPI ReadPowerStatus(LPSYSTEM_POWER_STATUS status)
    {
        *status = SYSTEM_POWER_STATUS{};
        status->ACLineStatus = H().lineUnknown ? 255 : H().onBattery ? 0 : 1;
        status->BatteryFlag = H().onBattery ? 0 : 8;    // high, or charging
        status->BatteryLifePercent = 50;
        return H().powerStatusFails ? FALSE : TRUE;
    }
    static int WINAPI ShowBox(HWND, LPCWSTR text, LPCWSTR caption, UINT)
    {
        H().boxes.push_back(Utf8(caption) + ": " + Utf8(text));
        if (H().duringMessageBox)
            H().duringMessageBox();
        return IDOK;
    }
};

std::string ChainedSaverProgram(bool blank)
{
    std::string copy = WindowsFilePath(blank ? "kelvorin chain.exe" : "kelvorin_chain.exe");
    std::wstring built = HelperProgramPath("chained_saver");
    CopyFileA(std::string(built.begin(), built.end()).c_str(), copy.c_str(), FALSE);
    return copy;
}

std::vector<std::string> ChainedSaverLog(const std::string& logPath)
{
    std::string text;
    std::vector<std::string> lines;
    if (!ReadWholeFile(logPath, &text))
        return lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

void EndChainedSavers(const std::string& logPath)
{
    for (const std::string& line : ChainedSaverLog(logPath)) {
        if (line.rfind("pid ", 0) != 0)
            continue;
        HANDLE helper = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                    std::stoul(line.substr(4)));
        if (helper) {
            TerminateProcess(helper, 99);
            WaitForSingleObject(helper, 5000);
            CloseHandle(helper);
        }
    }
}

const GUID ConsoleDisplaySetting
    = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID MonitorPowerSetting
    = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
const GUID PowerSourceSetting
    = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};

LRESULT ReportDisplay(HWND window, const GUID* setting, DWORD value, DWORD length, WPARAM event)
{
    // The record's data follows its length; room for a longer one than a DWORD.
    struct {
        GUID setting;
        DWORD length;
        DWORD data[2];
    } notice = {setting ? *setting : GUID{}, length, {value, 0}};
    static_assert(offsetof(decltype(notice), data) == offsetof(POWERBROADCAST_SETTING, Data), "");
    return SendMessageW(window, WM_POWERBROADCAST, event,
                        setting ? reinterpret_cast<LPARAM>(&notice) : 0);
}

void ResetSaverProcess()
{
    ResetSaverRunState();
    SaverSettings = SaverSettingsRecord{};
    SaverMode = SaverModeBlank;
    ChainedSaverPath[0] = '\0';
    ChainedSaverCommandLine[0] = '\0';
    DisplayContext = nullptr;
    DisplayPowerStatus = 0;
    DisplayPowerInterface = NoPowerEscape;
    StandbyDeviceHandle = INVALID_HANDLE_VALUE;
    SaverWindow = nullptr;
    GetCursorPos(&MouseOrigin);
    MouseOriginRecorded = true;
}

std::string SaverIni(const std::vector<std::string>& keys)
{
    std::string ini = "[Screen Saver.Kelvorin]\r\n";
    for (const std::string& key : keys)
        ini += key + "\r\n";
    return ini;
}

SaverHarness::SaverHarness()
{
    current_ = this;
    InstallStandIns({SaverStandIns::CreateDisplay, SaverStandIns::Escape,
                     SaverStandIns::DeleteDisplay, SaverStandIns::OpenDevice,
                     SaverStandIns::ControlDevice, SaverStandIns::CloseDevice,
                     SaverStandIns::RegisterSetting, SaverStandIns::UnregisterSetting,
                     SaverStandIns::ReadPowerStatus, nullptr, SaverStandIns::ShowBox});
    // Each saver process runs once; tests run many saver windows.
    ResetSaverProcess();

    WNDCLASSW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = SaverStandIns::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = TestSaverClass;
    RegisterClassW(&windowClass);
}

SaverHarness::~SaverHarness()
{
    Close();
    RemoveStandIns();
    ResetSaverRunState();
    current_ = nullptr;
}

HWND SaverHarness::Open(const std::string& ini, int width, int height, bool keepTimer)
{
    SetControlIni(ini);
    window = CreateWindowExW(WS_EX_TOPMOST, TestSaverClass, L"",
                             WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                             width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // The host holds the window once it is made, as a saver run's does.
    SaverWindow = window;
    realTimer = keepTimer;
    if (window && !keepTimer)
        KillTimer(window, TickTimerId);
    return window;
}

void SaverHarness::Close()
{
    if (window && IsWindow(window))
        DestroyWindow(window);
    window = nullptr;
    SaverWindow = nullptr;
    // The quit message that the window's destruction posts belongs to no test.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

LRESULT SaverHarness::Tick()
{
    ++tick;
    LRESULT result = SendMessageW(window, WM_TIMER, TickTimerId, 0);
    if (!realTimer && IsWindow(window))
        KillTimer(window, TickTimerId);
    return result;
}

void SaverHarness::Ticks(int count)
{
    for (int i = 0; i < count; ++i)
        Tick();
}

bool SaverHarness::Pump(DWORD milliseconds)
{
    bool quit = false;
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                continue;
            }
            if (message.message == WM_TIMER && message.hwnd == window && window)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
    return quit;
}

void SaverHarness::Log(const std::string& event)
{
    events.push_back(std::to_string(tick) + " " + event);
}

std::vector<std::string> SaverHarness::EventsSince(size_t from) const
{
    std::vector<std::string> names;
    for (size_t i = from; i < events.size(); ++i)
        names.push_back(events[i].substr(events[i].find(' ') + 1));
    return names;
}
