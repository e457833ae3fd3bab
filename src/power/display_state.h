// What Windows reports of the display's state and of the power source: asked
// for when the saver window is made, read from its WM_POWERBROADCAST notices.
#pragma once
#include <windows.h>

#include <cstdint>

enum DisplayReportKind : int32_t {
    DisplayReportNone = -1,     // not a report of the display's state
    DisplayReportOff = 0,
    DisplayReportOn = 1,
    DisplayReportDimmed = 2,
};

// Asks Windows to report the display's state to `window`: Windows 8 and later
// as the console display state, Windows 7 as monitor power; a later Windows
// may send both. Windows reports the current state at once. Changes of the
// power source are asked for beside them.
void WatchPowerReports(HWND window);
void StopWatchingPowerReports();

// The state that a WM_POWERBROADCAST with `event` and `setting` reports;
// DisplayReportNone for any other notice or a malformed one.
int32_t DisplayReportOf(WPARAM event, LPARAM setting);

// True when a WM_POWERBROADCAST with `event` and `setting` says that the power
// source may have changed: a power status change, or a well-formed report of
// the power source setting. It does not say which source: ask Windows.
bool PowerSourceNoticeOf(WPARAM event, LPARAM setting);
