// The saver window's lifecycle around the tick: the re-arm on deactivation, the
// three ways a run ends, the quit hook and the mouse wake-up filter.
#include <gtest/gtest.h>

#include "host/default_saver_proc.h"
#include "saver/random.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

const char Blank[] = "Screen Saver=None";

// control.ini as the user changes it while the display is powered down.
void SetStageMinutes(const char* standby, const char* suspend, const char* off)
{
    const char* section = ApplicationSection();
    WritePrivateProfileStringA(section, "Standby After", standby, "control.ini");
    WritePrivateProfileStringA(section, "Suspend After", suspend, "control.ini");
    WritePrivateProfileStringA(section, "Off After", off, "control.ini");
}

struct RearmRow {
    int line;
    const char *standby, *suspend, *off;     // minutes in control.ini at the re-arm
    uint16_t standbyCountdown, suspendCountdown, offCountdown;
};

TEST(SaverRearm, DeactivationDuringAStageTurnsTheDisplayOnAndCountsAgainFromTheFile)
{
    const RearmRow rows[] = {
        // Standby and Off wait at least a minute; Suspend may follow at once.
        {__LINE__, "0", "0", "0", 60, 0, 60},
        {__LINE__, "2", "5", "1100", 120, 300, 65535},
    };
    for (const RearmRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Video Managed=1", "Standby=1",
                                                "Standby After=1", "Suspend=1",
                                                "Suspend After=1", "Off=1", "Off After=1",
                                                "Drive Standby=1", "Spin Down After=3"})));
        saver.Ticks(60);
        ASSERT_EQ(DisplayStageStandby, SaverRunState.DisplayStage);
        SetStageMinutes(row.standby, row.suspend, row.off);
        KillTickTimer(saver.window);

        size_t before = saver.events.size();
        SendMessageW(saver.window, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(std::vector<std::string>{"display On"}, saver.EventsSince(before));
        EXPECT_EQ(DisplayStageOn, SaverRunState.DisplayStage);
        EXPECT_EQ(SaverModeLogo, SaverMode);
        EXPECT_TRUE(SaverRunState.StandbyPending && SaverRunState.SuspendPending
                    && SaverRunState.OffPending);
        EXPECT_EQ(row.standbyCountdown, SaverRunState.StandbyCountdown);
        EXPECT_EQ(row.suspendCountdown, SaverRunState.SuspendCountdown);
        EXPECT_EQ(row.offCountdown, SaverRunState.OffCountdown);
        EXPECT_EQ(120, SaverRunState.SpinDownCountdown) << "the drive is left alone";
        EXPECT_EQ(TickTimerId, SaverRunState.TickTimerSet);
        EXPECT_TRUE(SaverRunState.RearmPending);

        // The next tick clears the flag and counts in the same tick.
        saver.Tick();
        EXPECT_FALSE(SaverRunState.RearmPending);
        EXPECT_EQ(ChainClosing, SaverRunState.ChainState);
        EXPECT_EQ(row.standbyCountdown - 1, SaverRunState.StandbyCountdown);
        EXPECT_EQ(119, SaverRunState.SpinDownCountdown);
    }
}

TEST(SaverRearm, ActivationAndDeactivationWhileOnChangeNothing)
{
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Video Managed=1", "Standby=1",
                                            "Standby After=1"})));
    saver.Ticks(10);
    size_t before = saver.events.size();
    SendMessageW(saver.window, WM_ACTIVATE, WA_INACTIVE, 0);
    saver.Ticks(50);
    ASSERT_EQ(DisplayStageStandby, SaverRunState.DisplayStage);
    SendMessageW(saver.window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(saver.window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(std::vector<std::string>{"display Standby"}, saver.EventsSince(before));
    EXPECT_EQ(SaverModeBlank, SaverMode);
    EXPECT_FALSE(SaverRunState.RearmPending);
}

struct ReportRow {
    int line;
    int ticks;                  // 0: On, 60: Standby, 120: Suspend
    const GUID* setting;        // none: no setting record at all
    DWORD state;                // 0 off, 1 on, 2 dimmed
    bool rearms, frames;
    DWORD length = sizeof(DWORD);
    WPARAM event = PBT_POWERSETTINGCHANGE;
};

TEST(SaverDisplayReport, OnDuringAStageCountsTheStagesAgainAndDarkOnStopsTheFrames)
{
    const ReportRow rows[] = {
        {__LINE__, 0, &ConsoleDisplaySetting, 1, false, true},
        {__LINE__, 0, &ConsoleDisplaySetting, 0, false, false},
        {__LINE__, 0, &ConsoleDisplaySetting, 2, false, false},
        {__LINE__, 0, &MonitorPowerSetting, 0, false, false},
        {__LINE__, 60, &ConsoleDisplaySetting, 1, true, true},
        // Standby darkened it: the logo goes on as in Standby.
        {__LINE__, 60, &ConsoleDisplaySetting, 2, false, true},
        {__LINE__, 120, &MonitorPowerSetting, 1, true, true},
        {__LINE__, 120, &ConsoleDisplaySetting, 0, false, false},
        // Notices of anything else, read neither as off nor as on.
        {__LINE__, 0, &ConsoleDisplaySetting, 0, false, true, sizeof(DWORD), PBT_APMRESUMEAUTOMATIC},
        {__LINE__, 60, nullptr, 1, false, true},
        {__LINE__, 0, &PowerSourceSetting, 0, false, true},
        {__LINE__, 60, &MonitorPowerSetting, 1, false, true, 0},
        {__LINE__, 0, &ConsoleDisplaySetting, 0, false, true, 2 * sizeof(DWORD)},
    };
    for (const ReportRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        // Logo mode, Standby after a minute and Suspend a minute later, painted once.
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({"Screen Saver=kelvorin.scr", "Video Managed=1",
                                                "Standby=1", "Standby After=1", "Suspend=1",
                                                "Suspend After=1"})));
        UpdateWindow(saver.window);
        saver.Ticks(row.ticks);
        // A re-armed Standby still waits a minute.
        WritePrivateProfileStringA(ApplicationSection(), "Standby After", "0", "control.ini");
        size_t before = saver.events.size();
        EXPECT_EQ(TRUE, ReportDisplay(saver.window, row.setting, row.state, row.length, row.event));
        // A repeated report changes nothing more.
        ReportDisplay(saver.window, row.setting, row.state, row.length, row.event);
        EXPECT_EQ(row.rearms ? std::vector<std::string>{"display On"} : std::vector<std::string>{},
                  saver.EventsSince(before));
        // A frame takes the first place of the sequence seeded again.
        SeedLogoRandom(1);
        saver.Tick();
        EXPECT_EQ(row.frames, NextLogoRandom() != 41);
        if (!row.rearms)
            continue;
        saver.Ticks(58);
        EXPECT_EQ(std::vector<std::string>{"display On"}, saver.EventsSince(before));
        saver.Tick();
        EXPECT_EQ((std::vector<std::string>{"display On", "display Standby"}), saver.EventsSince(before));
        EXPECT_TRUE(IsWindow(saver.window));
    }
}

// Windows darkens the display while Standby is still to come: in the first
// minute, or while a re-arm waits for the window's middle to be its own again
// (a child window lies there). The tick goes on, and Standby comes a minute
// after the count began.
TEST(SaverDisplayReport, DarkWhileAStageOrARearmIsPendingTheTickGoesOn)
{
    for (bool rearmFirst : {false, true}) {
        SCOPED_TRACE(rearmFirst ? "during a re-arm" : "in the first minute");
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({"Screen Saver=kelvorin.scr", "Video Managed=1",
                                                "Standby=1", "Standby After=1"})));
        HWND child = nullptr;
        if (rearmFirst) {
            saver.Ticks(60);
            child = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1024, 768,
                                    saver.window, nullptr, nullptr, nullptr);
            ReportDisplay(saver.window, &ConsoleDisplaySetting, 1);
        }
        size_t before = saver.events.size();
        ReportDisplay(saver.window, &ConsoleDisplaySetting, 0);
        // Four ticks wait for the middle; the minute is counted from the fifth.
        const int standbyTick = rearmFirst ? 64 : 60;
        for (int tick = 1; tick <= standbyTick; ++tick) {
            ASSERT_NE(0, SaverRunState.TickTimerSet) << "stopped before tick " << tick;
            ASSERT_TRUE(saver.EventsSince(before).empty()) << "Standby before tick " << tick;
            if (tick == 5 && child)
                DestroyWindow(child);
            saver.Tick();
        }
        EXPECT_EQ(std::vector<std::string>{"display Standby"}, saver.EventsSince(before));
    }
}

enum class Ending { Close, QuitThroughHook, Destroy };

struct EndingRow {
    int line;
    Ending ending;
    std::vector<std::string> events;
};

// A run with the drive down and the display in Standby, ended three ways.
TEST(SaverShutdown, EveryEndingTurnsTheDisplayOnAndTheDriveUpInItsOrder)
{
    const EndingRow rows[] = {
        {__LINE__, Ending::Close,
         {"display On", "drive SpinUp", "display closed", "device closed"}},
        {__LINE__, Ending::QuitThroughHook,
         {"drive SpinUp", "display On", "display closed", "device closed"}},
        {__LINE__, Ending::Destroy,
         {"drive SpinUp", "display On", "display closed", "device closed"}},
    };
    for (const EndingRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Video Managed=1", "Standby=1",
                                                "Standby After=0", "Drive Standby=1",
                                                "Spin Down After=0", "PWProtected=1"})));
        ASSERT_NE(nullptr, SaverRunState.MessageHook) << "installed by WM_SIZE";
        // Windows darkened the display first; the stage comes all the same.
        ReportDisplay(saver.window, &ConsoleDisplaySetting, 0);
        saver.Tick();
        ASSERT_EQ((std::vector<std::string>{"display capabilities", "drive SpinDown",
                                            "display Standby"}),
                  saver.EventsSince(0));

        // Windows reports the display on as the ending turns it on: a run that
        // is closing counts nothing again and sets no timer.
        uint16_t timerAfterReport = 0;
        saver.duringDisplayOn = [&] {
            ReportDisplay(saver.window, &ConsoleDisplaySetting, 1);
            timerAfterReport = SaverRunState.TickTimerSet;
        };
        size_t before = saver.events.size();
        bool quit = false;
        switch (row.ending) {
        case Ending::Close:
            SendMessageW(saver.window, WM_CLOSE, 0, 0);
            quit = saver.Pump(50);
            break;
        case Ending::QuitThroughHook:
            PostMessageW(saver.window, WM_QUIT, 0, 0);
            quit = saver.Pump(200);
            break;
        case Ending::Destroy:
            // Sent on its own: destroying the active window would first deactivate
            // it, and that re-arms the run, turning the display on before WM_DESTROY.
            SendMessageW(saver.window, WM_DESTROY, 0, 0);
            quit = saver.Pump(50);
            DestroyWindow(saver.window);
            break;
        }
        EXPECT_FALSE(IsWindow(saver.window));
        EXPECT_EQ(row.events, saver.EventsSince(before));
        EXPECT_TRUE(quit) << "the hook was gone before the quit message was posted";
        EXPECT_EQ(nullptr, SaverRunState.MessageHook);
        EXPECT_EQ(0, SaverRunState.TickTimerSet);
        EXPECT_EQ(0, timerAfterReport);
        EXPECT_EQ(DisplayStageOn, SaverRunState.DisplayStage);
        EXPECT_FALSE(SaverRunState.DriveSpunDown);
        EXPECT_EQ(nullptr, SaverRunState.LogoDC);
        EXPECT_NE(std::string::npos, ControlIniContents().find("PWProtected=0\r\n"))
            << ControlIniContents();
    }
}

TEST(SaverShutdown, AFurtherSizeReplacesTheHook)
{
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Blank})));
    HHOOK first = SaverRunState.MessageHook;
    ASSERT_NE(nullptr, first);
    SendMessageW(saver.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    EXPECT_EQ(640, SaverRunState.ClientWidth);
    EXPECT_EQ(480, SaverRunState.ClientHeight);
    EXPECT_NE(nullptr, SaverRunState.MessageHook);
    EXPECT_FALSE(UnhookWindowsHookEx(first)) << "the first hook was already removed";
}

struct MouseRow {
    int line;
    UINT message;
    bool wakes[4];      // for "Mouse" 0, 1, 2, 3
};

TEST(SaverWakeUp, TheMouseSettingChoosesWhichMouseInputWakes)
{
    const MouseRow rows[] = {
        {__LINE__, WM_MOUSEMOVE, {false, true, false, true}},
        {__LINE__, WM_LBUTTONDOWN, {false, false, true, true}},
        {__LINE__, WM_RBUTTONDOWN, {false, false, true, true}},
        {__LINE__, WM_MBUTTONDOWN, {false, false, true, true}},
        // Releases and double clicks are never filtered and never wake.
        {__LINE__, WM_LBUTTONUP, {false, false, false, false}},
        {__LINE__, WM_LBUTTONDBLCLK, {false, false, false, false}},
    };
    for (int mouse = 0; mouse < 4; ++mouse) {
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Mouse=" + std::to_string(mouse)})));
        saver.Pump(50);
        for (const MouseRow& row : rows) {
            SCOPED_TRACE(testing::Message() << "Mouse " << mouse << ", row at line " << row.line);
            // Far from the origin, so a movement that gets through wakes.
            POINT cursor;
            GetCursorPos(&cursor);
            MouseOrigin = {cursor.x + 100, cursor.y + 100};
            LRESULT result = SendMessageW(saver.window, row.message, 0, 0);
            MSG close;
            bool woke = PeekMessageW(&close, saver.window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
            EXPECT_EQ(row.wakes[mouse], woke);
            bool swallowed = row.message != WM_LBUTTONUP && row.message != WM_LBUTTONDBLCLK
                             && !row.wakes[mouse];
            if (swallowed)
                EXPECT_EQ(1, result);
        }
        SendMessageW(saver.window, WM_KEYDOWN, 'A', 0);
        MSG close;
        EXPECT_TRUE(PeekMessageW(&close, saver.window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            << "keys always wake";
    }
}

} // namespace
