// The window procedure of a saver run: set-up and tear-down of the run, the
// quit hook, the mouse wake-up filter and the re-arm on deactivation. The tick
// and the painter live in timeline.cpp and logo.cpp.
#include "saver/saver_window.h"

#include "host/default_saver_proc.h"
#include "host/host.h"
#include "host/outside.h"
#include "host/texts.h"
#include "power/display_power.h"
#include "power/display_state.h"
#include "power/power_source.h"
#include "power/standby_device.h"
#include "resources/resource.h"
#include "saver/random.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

SaverRunStateRecord SaverRunState;

namespace {

// Bits of the "Mouse" setting: which input may wake the screen.
constexpr int32_t MouseMoveWakes = 1;
constexpr int32_t MouseClickWakes = 2;

LRESULT CALLBACK SaverQuitHook(int code, WPARAM wParam, LPARAM lParam);

void CreateSaverRun(HWND window, const CREATESTRUCTW* creation)
{
    bool deviceOpen = OpenStandbyDevice() != 0;
    DisplayPowerRequest(DisplayPowerOn, ReportCapabilities);
    SaverRunState.RearmPending = false;
    LoadSettings(true);
    if (!deviceOpen)
        SaverSettings.DriveStandby = 0;
    if (DisplayPowerStatus != DisplayPowerSupported)
        SaverSettings.VideoManaged = 0;
    SeedLogoRandom(LogoSeed);
    PrepareLogo(window, creation->hInstance);
    ReadLogoMonitors(window);
    SetUpStages();
    SetTickTimer(window, SaverMode == SaverModeChained ? FirstChainedTickPeriod : TickPeriod);
    if (SaverRunState.TickTimerSet == 0)
        ShowStringBox(IDS_TIMER_FAILED, IDS_TIMER_FAILED_CAPTION);
    // Last: Windows may report the display's state at once, to a run set up.
    WatchPowerReports(window);
}

// A further WM_SIZE replaces the hook rather than stacking a second one.
void SizeSaverRun(LPARAM lParam)
{
    SaverRunState.ClientWidth = LOWORD(lParam);
    SaverRunState.ClientHeight = HIWORD(lParam);
    if (SaverRunState.MessageHook)
        UnhookWindowsHookEx(SaverRunState.MessageHook);
    SaverRunState.MessageHook
        = SetWindowsHookExW(WH_GETMESSAGE, SaverQuitHook, nullptr, GetCurrentThreadId());
}

void ReleaseHookAndTimer(HWND window, WPARAM wParam)
{
    if (SaverRunState.MessageHook) {
        UnhookWindowsHookEx(SaverRunState.MessageHook);
        SaverRunState.MessageHook = nullptr;
    }
    if (wParam == 0)
        KillTickTimer(window);
}

void SpinDriveUp()
{
    if (SaverSettings.DriveStandby && SaverRunState.DriveSpunDown
        && ControlStandbyDevice(SpinUp) != 0)
        SaverRunState.DriveSpunDown = false;
}

void CloseSaverRun(HWND window, WPARAM wParam)
{
    SaverRunState.RunEnding = true;
    ReleaseHookAndTimer(window, wParam);
    EndChainedSaver();
    ReturnDisplayOn();
}

void ShutDownSaverRun(HWND window, WPARAM wParam)
{
    SaverRunState.RunEnding = true;
    ReleaseHookAndTimer(window, wParam);
    SpinDriveUp();
    ReturnDisplayOn();
    SendMessageW(window, WM_CLOSE, 0, 0);
}

void DestroySaverRun(HWND window, WPARAM wParam)
{
    SaverRunState.RunEnding = true;
    StopWatchingPowerReports();
    ReleaseHookAndTimer(window, wParam);
    EndChainedSaver();
    SpinDriveUp();
    ReturnDisplayOn();
    ReleaseLogo();
    SaverRunState.ChainState = ChainIdle;
    SaverSettings.PWProtected = PWProtectedRestore;
    WriteSettingNumber(ApplicationSection(), PWProtectedKey,
                       static_cast<uint32_t>(SaverSettings.PWProtected));
    CloseDisplayPower();
    CloseStandbyDevice();
}

// The window lost activation while the display was powered down: bring the
// display back and count the stages again, showing the logo from now on.
void RearmSaverRun(HWND window)
{
    SaverRunStateRecord& run = SaverRunState;
    run.DisplayStage = DisplayStageOn;
    DisplayPowerRequest(DisplayPowerOn, SetState);
    SaverMode = SaverModeLogo;
    RearmStages();
    if (run.TickTimerSet == 0)
        SetTickTimer(window, TickPeriod);
    run.RearmPending = true;
}

// Windows turned the display on by itself (input let through, a program that
// needs the display, a resume) while a stage had darkened it: count the stages
// again, as after a deactivation. A display that Windows darkened first gets
// no frames until it comes back, and is then painted whole.
void FollowDisplayReport(HWND window, int32_t report)
{
    SaverRunStateRecord& run = SaverRunState;
    if (report == DisplayReportOff || report == DisplayReportDimmed) {
        if (run.DisplayStage == DisplayStageOn)
            run.DisplayDark = true;
        return;
    }
    if (report != DisplayReportOn || run.RunEnding)
        return;
    if (run.DisplayStage != DisplayStageOn)
        RearmSaverRun(window);
    if (run.DisplayDark) {
        run.DisplayDark = false;
        InvalidateRect(window, nullptr, TRUE);
        if (run.TickTimerSet == 0)
            SetTickTimer(window, TickPeriod);
    }
}

// The plug was pulled or put back: every countdown still running counts on
// with the other source's minutes, less what it has already counted. A
// countdown moved to 0 acts at the next tick. Stages entered stay entered;
// nothing wakes and nothing is re-armed.
void FollowPowerSource()
{
    bool battery = RunningOnBattery();
    if (SaverRunState.RunEnding || battery == SaverRunState.OnBattery)
        return;
    MoveCountdowns(battery);
}

// Windows broadcasts the power source's changes to every top-level window and
// reports the registered settings; bad notices change nothing.
void FollowPowerBroadcast(HWND window, WPARAM event, LPARAM setting)
{
    FollowDisplayReport(window, DisplayReportOf(event, setting));
    if (PowerSourceNoticeOf(event, setting))
        FollowPowerSource();
}

// Monitors came or went: cover the virtual screen as it is now, still topmost.
void FollowDisplayChange(HWND window)
{
    RECT screen = VirtualScreenRect();
    SetWindowPos(window, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOACTIVATE);
    ReplaceLogoAfterDisplayChange(window);
}

void FocusSaverRun(HWND window)
{
    switch (SaverRunState.ChainState) {
    case ChainClosed:
        SendMessageW(window, WM_SAVER_SHUTDOWN, 0, 0);
        SaverRunState.ChainState = ChainIdle;
        break;
    case ChainIdle:
        ShowCursor(FALSE);
        break;
    }
}

bool MouseMayWake(int32_t bit)
{
    return (SaverSettings.Mouse & bit) != 0;
}

// Turns a quit message into an orderly shutdown of the saver window.
LRESULT CALLBACK SaverQuitHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(SaverRunState.MessageHook, code, wParam, lParam);
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (message->message == WM_QUIT) {
        message->message = WM_SAVER_SHUTDOWN;
        message->wParam = 0;
        message->lParam = 0;
    }
    return 0;
}

} // namespace

void ResetSaverRunState()
{
    SaverRunState = SaverRunStateRecord{};
}

void SetTickTimer(HWND window, UINT period)
{
    SaverRunState.TickTimerSet
        = static_cast<uint16_t>(SetTimer(window, TickTimerId, period, nullptr) & 0xFFFF);
}

void KillTickTimer(HWND window)
{
    if (SaverRunState.TickTimerSet)
        KillTimer(window, TickTimerId);
    SaverRunState.TickTimerSet = 0;
}

void ReturnDisplayOn()
{
    if (SaverRunState.DisplayStage != DisplayStageOn) {
        SaverRunState.DisplayStage = DisplayStageOn;
        DisplayPowerRequest(DisplayPowerOn, SetState);
    }
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateSaverRun(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        break;
    case WM_DESTROY:
        DestroySaverRun(window, wParam);
        break;
    case WM_SIZE:
        SizeSaverRun(lParam);
        break;
    case WM_ACTIVATE:
        if (wParam == WA_INACTIVE && SaverRunState.DisplayStage != DisplayStageOn)
            RearmSaverRun(window);
        break;
    case WM_SETFOCUS:
        FocusSaverRun(window);
        break;
    case WM_KILLFOCUS:
        ShowCursor(TRUE);
        break;
    case WM_PAINT:
        if (PaintLogoFrame(window))
            return 0;
        break;
    case WM_CLOSE:
        CloseSaverRun(window, wParam);
        break;
    case WM_ERASEBKGND:
        EraseLogoBackground(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_TIMER:
        return SaverTick(window, wParam, lParam);
    case WM_MOUSEMOVE:
        if (!MouseMayWake(MouseMoveWakes))
            return 1;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!MouseMayWake(MouseClickWakes))
            return 1;
        break;
    case WM_SAVER_SHUTDOWN:
        ShutDownSaverRun(window, wParam);
        return 1;
    case WM_POWERBROADCAST:
        FollowPowerBroadcast(window, wParam, lParam);
        return TRUE;
    case WM_DISPLAYCHANGE:
        FollowDisplayChange(window);
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
