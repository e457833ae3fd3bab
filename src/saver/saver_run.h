// The state of the one saver run of a process and the steps of its window
// procedure: the lifecycle (saver_window.cpp), the tick (timeline.cpp) and the
// logo painter (logo.cpp).
#pragma once
#include <windows.h>

#include <cstdint>

#include "saver/random.h"

// Display stages, one bit at a time; the same bits form EnabledStages.
enum DisplayStageKind : uint32_t {
    DisplayStageOn = 1,
    DisplayStageStandby = 2,
    DisplayStageSuspend = 4,
    DisplayStageOff = 8,
};

enum ChainStateKind : uint32_t {
    ChainIdle = 0,          // no chained saver started, or the run is over
    ChainRunning = 1,       // the chained saver has been started
    ChainClosing = 2,       // it is being told to close; also the first tick after a re-arm
    ChainClosed = 3,        // it was closed because a power stage began
};

// Orderly shutdown, sent with both parameters 0.
constexpr UINT WM_SAVER_SHUTDOWN = WM_USER + 2;

constexpr UINT_PTR TickTimerId = 200;
constexpr UINT TickPeriod = 1000;           // ms
constexpr UINT FirstChainedTickPeriod = 100; // ms: the chained saver starts almost at once

// Every run shows the same sequence of logo places.
constexpr uint32_t LogoSeed = 1;

// The chained saver's window is looked for under this screen point.
constexpr POINT ChainWindowPoint = {50, 50};
// Monitors beyond this many take no logo frames.
constexpr int32_t MaxLogoMonitors = 16;

// Longest wait for the chained saver to handle one message of the close handshake.
constexpr UINT ChainReplyTimeout = 3000;    // ms
// A chained saver whose window has not come after this many ticks is given up,
// as one that did not start.
constexpr uint32_t ChainGiveUpTicks = 10;

struct SaverRunStateRecord {
    uint32_t DisplayStage = DisplayStageOn;
    uint32_t ChainState = ChainIdle;
    uint32_t EnabledStages = 0;
    int32_t StandbyPending = 0;
    int32_t SuspendPending = 0;
    int32_t OffPending = 0;
    uint16_t StandbyCountdown = 0;      // seconds, that is ticks
    uint16_t SuspendCountdown = 0;
    uint16_t OffCountdown = 0;
    uint16_t SpinDownCountdown = 0;
    // The seconds each countdown counts from: less the countdown, what it has counted.
    uint16_t StandbyStart = 0;
    uint16_t SuspendStart = 0;
    uint16_t OffStart = 0;
    uint16_t SpinDownStart = 0;
    bool OnBattery = false;             // the countdowns count the battery's minutes
    bool StagesRearmed = false;         // the stage countdowns count from a re-arm
    int32_t DriveSpunDown = 0;
    int32_t RearmPending = 0;           // while set, the stage countdowns stand still
    HWND ChainWindow = nullptr;
    DWORD ChainProcessId = 0;           // the started chained saver's process
    uint32_t ChainSearchTicks = 0;      // ticks that looked for its window in vain
    uint16_t TickTimerSet = 0;          // low 16 bits of the timer-creation result
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    HHOOK MessageHook = nullptr;
    HBITMAP LogoBitmap = nullptr;
    HDC LogoDC = nullptr;
    HGDIOBJ LogoDCFormerObject = nullptr;
    int32_t LogoWidth = 0;
    int32_t LogoHeight = 0;
    // The logo is drawn at LogoScaleNumerator / LogoScaleDenominator of its size.
    int32_t LogoScaleNumerator = 1;
    int32_t LogoScaleDenominator = 1;
    uint32_t LogoDpi = 0;               // the window's DPI; 0 when not known
    LogoPlace LogoAt = {};              // where the current frame is drawn
    bool LogoPlaced = false;            // a frame has been drawn
    // The monitors' parts of the client area; none: the whole client area is one.
    LogoArea LogoMonitors[MaxLogoMonitors] = {};
    int32_t LogoMonitorCount = 0;
    bool LaunchUnderway = false;        // inside LaunchSaver, whose failure box lets ticks in
    // Windows reported the display off or dimmed while no stage had darkened it:
    // no logo frames until it is reported on again.
    bool DisplayDark = false;
    bool RunEnding = false;             // the window is closing: reports no longer re-arm
};

extern SaverRunStateRecord SaverRunState;

// Puts SaverRunState back to its values before WM_CREATE.
void ResetSaverRunState();

// The tick (WM_TIMER).
LRESULT SaverTick(HWND window, WPARAM wParam, LPARAM lParam);
// The countdowns, each a row of one table in the tick's file. At the run's
// start: the stages and the drive from the loaded settings, on the power
// source of now; the display on and no chained saver's window known.
void SetUpStages();
// After a re-arm: every enabled stage pending again, counting the minutes the
// file holds now.
void RearmStages();
// The power source changed to the battery or the mains: every countdown still
// running counts on with that source's minutes, less what it has counted.
void MoveCountdowns(bool battery);

// The logo painter.
void PrepareLogo(HWND window, HINSTANCE module);
// Keeps the monitors' parts of the window's client area, so no frame straddles two.
void ReadLogoMonitors(HWND window);
// The monitors changed: the next paint takes a new place on one that exists now.
void ReplaceLogoAfterDisplayChange(HWND window);
void ReleaseLogo();
void EraseLogoBackground(HWND window, HDC dc);
// True when it painted the window; otherwise the default handling validates it.
bool PaintLogoFrame(HWND window);
// The next frame: the old place erased and the logo drawn at a new place.
void NextLogoFrame(HWND window);
// The logo's size as drawn, computed here alone for every run.
LogoSize DrawnLogoSize();
// The next frame's place in a client area of `width` × `height` (both above 0).
LogoPlace TakeLogoPlace(int32_t width, int32_t height);
// Draws the logo at the next place; the caller has filled the background.
void DrawLogoFrame(HDC dc, int32_t width, int32_t height);

// Shared by the lifecycle and the tick.
void SetTickTimer(HWND window, UINT period);
void KillTickTimer(HWND window);
void ReturnDisplayOn();
// At the end of the run: a chained saver whose window is still there is asked to
// close, as at the first stage; one that does not answer is left to itself.
void EndChainedSaver();
