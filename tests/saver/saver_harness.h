// A real saver window for tests, with recording stand-ins for the display
// driver, the drive-standby device and message boxes. Every display and drive
// request is logged in order, tagged with the tick it happened on.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "saver/saver_run.h"

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

// The settings through which Windows reports the display's state.
extern const GUID ConsoleDisplaySetting, MonitorPowerSetting;
// Sends Windows' report of a setting as Windows sends it: WM_POWERBROADCAST with
// a POWERBROADCAST_SETTING in this process's memory holding `value` (with no
// record at all when `setting` is none).
LRESULT ReportDisplay(HWND window, const GUID* setting, DWORD value,
                      DWORD length = sizeof(DWORD), WPARAM event = PBT_POWERSETTINGCHANGE);

// The power source setting, whose reports say the plug was pulled or put back.
extern const GUID PowerSourceSetting;

// Puts the process-wide state of a saver run back as a fresh process has it:
// the run state, the settings and mode, the launch buffers, the display and
// device globals, and the mouse origin (at the cursor, so it wakes nothing).
void ResetSaverProcess();

class SaverHarness {
public:
    // What the stand-ins answer.
    bool displayAnswers = true;        // the driver knows its power escapes (status 79, all stages)
    bool stateRecordDriver = false;    // ...the state-record escapes instead of the register one
    bool contextFails = false;         // the display device context cannot be made
    bool queryFails = false;           // the capability escape fails
    bool setFails = false;             // state escapes fail
    bool deviceOpens = true;
    bool onBattery = false;            // Windows reports the battery as the power source
    bool lineUnknown = false;          // ...with the line status unknown (255) instead
    bool powerStatusFails = false;     // the question fails
    int spinDownRefusals = 0;          // spin-down requests refused before one is accepted
    // When set, decides every device request instead (true: accepted).
    std::function<bool(DWORD code)> deviceAnswer;
    // Called inside a message box, after it has been logged.
    std::function<void()> duringMessageBox;
    // Called inside every request to turn the display on, after it has been logged.
    std::function<void()> duringDisplayOn;

    std::vector<std::string> events;   // "<tick> display Standby", "<tick> drive SpinDown", ...
    std::vector<std::string> boxes;    // "<caption>: <text>"
    // Power-setting notices asked for and given back: "console display for the
    // window", "give back monitor power", ...
    std::vector<std::string> notices;
    int tick = 0;                      // ticks sent so far by Tick()
    bool realTimer = false;            // the window keeps its real tick timer
    int escapes = 0;                   // display escapes other than the probe
    HWND window = nullptr;

    SaverHarness();
    ~SaverHarness();

    // Creates the saver window over `ini` at this size, topmost at (0, 0).
    // The real tick timer is killed unless `keepTimer`, and again after every
    // tick that set it anew (the launch tick, a re-arm), so only the test's own
    // ticks count; TickTimerSet stays as the run set it.
    HWND Open(const std::string& ini, int width = 1024, int height = 768, bool keepTimer = false);
    void Close();

    // One tick, as the timer would send it. Returns the window procedure's result.
    LRESULT Tick();
    // `count` ticks.
    void Ticks(int count);
    // Handles messages for `milliseconds`, except the saver window's own timer ticks.
    // Returns whether a quit message came by.
    bool Pump(DWORD milliseconds);

    void Log(const std::string& event);
    // Events logged since `from`, without their tick numbers.
    std::vector<std::string> EventsSince(size_t from) const;

private:
    static SaverHarness* current_;
    friend struct SaverStandIns;
};
