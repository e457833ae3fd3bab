// A real saver window for tests, over the shared recording stand-ins.
#include "saver_harness.h"

#include "chain/launcher.h"
#include "host/default_saver_proc.h"
#include "host/host.h"
#include "saver/saver_window.h"
#include "settings/settings.h"
#include "support/wine_test.h"

#include <cstddef>

namespace {

const wchar_t TestSaverClass[] = L"KelvorinTestSaver";
SaverHarness* Current;

// The saver window's own procedure, seeing the platform's monitor-power
// requests as they arrive on their way to the default handling.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Current && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
        Current->Log("monitor " + std::to_string(static_cast<int>(lParam)));
    return SaverWindowProc(window, message, wParam, lParam);
}

// Puts the process-wide state of a saver run back as a fresh process has it
// (installing the stand-ins forgets the display and device handles): the run
// state, the settings and mode, the launch buffers, and the mouse origin (at
// the cursor, so it wakes nothing).
void ResetSaverProcess()
{
    ResetSaverRunState();
    SaverSettings = SaverSettingsRecord{};
    SaverMode = SaverModeBlank;
    ChainedSaverPath[0] = '\0';
    ChainedSaverCommandLine[0] = '\0';
    SaverWindow = nullptr;
    GetCursorPos(&MouseOrigin);
    MouseOriginRecorded = true;
}

} // namespace

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

std::string SaverIni(const std::vector<std::string>& keys)
{
    std::string ini = "[Screen Saver.Kelvorin]\r\n";
    for (const std::string& key : keys)
        ini += key + "\r\n";
    return ini;
}

SaverHarness::SaverHarness()
{
    Current = this;
    battery = true;     // a laptop's, on it or on the mains as the test says
    InstallFakeOutside(*this);
    // Each saver process runs once; tests run many saver windows.
    ResetSaverProcess();

    WNDCLASSW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
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
    Current = nullptr;
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

std::vector<std::string> SaverHarness::EventsSince(size_t from) const
{
    std::vector<std::string> names;
    for (size_t i = from; i < events.size(); ++i)
        names.push_back(events[i].substr(events[i].find(' ') + 1));
    return names;
}
