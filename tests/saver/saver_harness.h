// A real saver window for tests, over the shared recording stand-ins.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "saver/saver_run.h"
#include "support/stand_ins.h"

// The chained-saver stand-in copied where its path fits the 59 characters of
// "SCRNSAVE.EXE" (the build tree is deeper than that): the Windows directory,
// named "kelvorin_chain.exe", or with `blank` "kelvorin chain.exe".
std::string ChainedSaverProgram(bool blank = false);

// The application's section of control.ini holding `keys` ("Key=Value" lines).
std::string SaverIni(const std::vector<std::string>& keys);

// The lines of a chained-saver stand-in's log ("pid <n>", "cmdline ...", ...).
std::vector<std::string> ChainedSaverLog(const std::string& logPath);
// Ends every chained-saver stand-in that logged its process id into `logPath`.
void EndChainedSavers(const std::string& logPath);

// Sends Windows' report of a setting as Windows sends it: WM_POWERBROADCAST with
// a POWERBROADCAST_SETTING in this process's memory holding `value` (with no
// record at all when `setting` is none).
LRESULT ReportDisplay(HWND window, const GUID* setting, DWORD value,
                      DWORD length = sizeof(DWORD), WPARAM event = PBT_POWERSETTINGCHANGE);

// A saver window over the shared stand-ins, which answer from and record into
// the harness itself.
class SaverHarness : public FakeOutside {
public:
    bool realTimer = false;            // the window keeps its real tick timer
    HWND window = nullptr;

    SaverHarness();
    ~SaverHarness();

    // Creates the saver window over `ini` at this size, topmost at (0, 0).
    // The real tick timer is killed unless `keepTimer`, and again after every
    // tick that set it anew (the launch tick, a re-arm), so only the test's own
    // ticks count; TickTimerSet stays as the run set it.
    HWND Open(const std::string& ini, int width = 1024, int height = 768, bool keepTimer = false);
    void Close();

    // One tick, as the timer would send it, counted in `tick`. Returns the window procedure's result.
    LRESULT Tick();
    // `count` ticks.
    void Ticks(int count);
    // Handles messages for `milliseconds`, except the saver window's own timer ticks.
    // Returns whether a quit message came by.
    bool Pump(DWORD milliseconds);

    // Events logged since `from`, without their tick numbers.
    std::vector<std::string> EventsSince(size_t from) const;
};
