// Creation of a saver run: countdowns, hardware that cannot serve a setting,
// the tick period and a timer that cannot be set.
#include <gtest/gtest.h>

#include "host/host.h"
#include "power/display_power.h"
#include "power/standby_device.h"
#include "saver/saver_window.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

struct CountdownRow {
    int line;
    std::vector<std::string> keys;
    uint32_t enabled;
    uint16_t standby, suspend, off, spinDown;
};

TEST(SaverCreation, CountdownsStartAtTheirMinutesTimesSixty)
{
    const CountdownRow rows[] = {
        {__LINE__, {"Standby=1", "Suspend=1", "Off=1", "Drive Standby=1", "Standby After=2",
                    "Suspend After=3", "Off After=4", "Spin Down After=5"},
         14, 120, 180, 240, 300},
        {__LINE__, {"Standby=1", "Standby After=0"}, 2, 0, 0, 0, 0},
        // Stages and the drive that are off start at 0 whatever their minutes say.
        {__LINE__, {"Standby=0", "Suspend=0", "Off=1", "Standby After=7", "Suspend After=7",
                    "Off After=7", "Spin Down After=7"},
         8, 0, 0, 420, 0},
        // "Spin Down After" defaults to 1 minute.
        {__LINE__, {"Drive Standby=1"}, 0, 0, 0, 0, 60},
        // 1092 minutes is the longest exact countdown; above it saturates, never wraps.
        {__LINE__, {"Off=1", "Off After=1100"}, 8, 0, 0, 65535, 0},
        {__LINE__, {"Off=1", "Off After=1092", "Suspend=1", "Suspend After=1093"}, 12, 0,
         65535, 65520, 0},
    };
    for (const CountdownRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni(row.keys)));
        const SaverRunStateRecord& run = SaverRunState;
        EXPECT_EQ(row.enabled, run.EnabledStages);
        EXPECT_EQ(row.standby, run.StandbyCountdown);
        EXPECT_EQ(row.suspend, run.SuspendCountdown);
        EXPECT_EQ(row.off, run.OffCountdown);
        EXPECT_EQ(row.spinDown, run.SpinDownCountdown);
        EXPECT_EQ((row.enabled & 2) != 0, run.StandbyPending != 0);
        EXPECT_EQ((row.enabled & 4) != 0, run.SuspendPending != 0);
        EXPECT_EQ((row.enabled & 8) != 0, run.OffPending != 0);
        EXPECT_EQ(DisplayStageOn, run.DisplayStage);
        EXPECT_EQ(nullptr, run.ChainWindow);
        EXPECT_EQ(TickTimerId, run.TickTimerSet);
        EXPECT_EQ(128, run.LogoWidth);
        EXPECT_EQ(85, run.LogoHeight);
        // Windows reports the display's state and the power source only to a
        // window that asked for them.
        const std::vector<std::string> asked = {"console display for the window KelvorinTestSaver",
                                                "monitor power for the window KelvorinTestSaver",
                                                "power source for the window KelvorinTestSaver"};
        EXPECT_EQ(asked, saver.notices);
        saver.Close();
        std::vector<std::string> givenBack = asked;
        givenBack.insert(givenBack.end(), {"give back console display", "give back monitor power",
                                           "give back power source"});
        EXPECT_EQ(givenBack, saver.notices);
    }
}

// A display that answers no escape is still served by the platform's request.
TEST(SaverCreation, SettingsTheHardwareCannotServeAreOffForTheRunOnly)
{
    const std::string ini = SaverIni({"Drive Standby=1", "Video Managed=1", "Standby=1"});
    const struct {
        bool deviceOpens, displayAnswers;
    } rows[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "device " << row.deviceOpens << ", display "
                                        << row.displayAnswers);
        SaverHarness saver;
        saver.deviceOpens = row.deviceOpens;
        saver.displayAnswers = row.displayAnswers;
        ASSERT_NE(nullptr, saver.Open(ini));
        EXPECT_EQ(row.deviceOpens, SaverSettings.DriveStandby != 0);
        EXPECT_NE(0, SaverSettings.VideoManaged);
        EXPECT_EQ(DisplayPowerSupported, DisplayPowerStatus);
        EXPECT_TRUE(saver.boxes.empty());
        saver.Close();
        std::string after = ControlIniContents();
        EXPECT_NE(std::string::npos, after.find("Drive Standby=1")) << after;
        EXPECT_NE(std::string::npos, after.find("Video Managed=1")) << after;
    }
}

// Waits for the first real tick after creation: in Chained mode it is the launch
// (here of a program that does not exist, so the launcher's box shows it).
TEST(SaverCreation, TheFirstTickComesAfterATenthOfASecondOnlyInChainedMode)
{
    {
        SaverHarness saver;
        DWORD created = GetTickCount();
        ASSERT_NE(nullptr, saver.Open(SaverIni({"Screen Saver=Elsewhere",
                                                "SCRNSAVE.EXE=C:\\nowhere\\missing.scr"}),
                                      1024, 768, true));
        EXPECT_TRUE(PumpUntil([&] { return !saver.boxes.empty(); }, 2000));
        DWORD elapsed = GetTickCount() - created;
        EXPECT_LT(elapsed, 600u) << "the launch waited for a whole-second tick";
        EXPECT_EQ(ChainRunning, SaverRunState.ChainState);
    }
    {
        SaverHarness saver;
        DWORD created = GetTickCount();
        ASSERT_NE(nullptr, saver.Open(SaverIni({"Video Managed=1", "Standby=1",
                                                "Standby After=1"}),
                                      1024, 768, true));
        PumpUntil([&] { return SaverRunState.StandbyCountdown != 60; }, 3000);
        DWORD elapsed = GetTickCount() - created;
        EXPECT_EQ(59, SaverRunState.StandbyCountdown);
        EXPECT_GE(elapsed, 800u);
        EXPECT_LT(elapsed, 2000u);
    }
}

// A window of another process is one on which this thread can set no timer:
// the desktop window belongs to Wine's explorer process.
TEST(SaverCreation, ATimerThatCannotBeSetIsReportedAndTheRunGoesOn)
{
    SaverHarness saver;
    SetControlIni(SaverIni({"Standby=1", "Standby After=1"}));
    HWND foreign = GetDesktopWindow();
    DWORD owner = 0;
    GetWindowThreadProcessId(foreign, &owner);
    ASSERT_NE(GetCurrentProcessId(), owner);

    CREATESTRUCTW creation = {};
    creation.hInstance = GetModuleHandleW(nullptr);
    SaverWindowProc(foreign, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation));
    EXPECT_EQ(std::vector<std::string>{"WM_CREATE: SetTimer fail"}, saver.boxes);
    EXPECT_EQ(0, SaverRunState.TickTimerSet);
    EXPECT_EQ(60, SaverRunState.StandbyCountdown) << "the rest of the set-up is done";

    ReleaseLogo();
    CloseDisplayPower();
    CloseStandbyDevice();
}

} // namespace
