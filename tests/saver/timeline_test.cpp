// The tick, driven one WM_TIMER at a time: when the display stages and the drive
// requests happen, when the logo is asked for a frame and when the timer stops.
#include <gtest/gtest.h>

#include "saver_harness.h"
#include "settings/settings.h"

namespace {

const char Logo[] = "Screen Saver=kelvorin.scr";
const char Blank[] = "Screen Saver=None";

struct TimelineRow {
    int line;
    std::vector<std::string> keys;
    int ticks;
    std::vector<std::string> events;    // "<tick> <request>", capability query left out
    int timerStopsAt;                   // 0: the timer never stops
};

std::vector<std::string> Requests(const SaverHarness& saver)
{
    std::vector<std::string> requests;
    for (const std::string& event : saver.events)
        if (event.find("capabilities") == std::string::npos)
            requests.push_back(event);
    return requests;
}

TEST(SaverTimeline, StagesAndDriveRequestsComeOnTheirTicks)
{
    const TimelineRow rows[] = {
        {__LINE__, {Blank, "Video Managed=1", "Standby=1", "Standby After=2", "Off=1",
                    "Off After=3"},
         400, {"120 display Standby", "300 display Off"}, 301},
        {__LINE__, {Blank, "Video Managed=1", "Standby=1", "Standby After=1", "Suspend=1",
                    "Suspend After=0", "Off=1", "Off After=0"},
         100, {"60 display Standby", "61 display Suspend", "62 display Off"}, 63},
        // Nothing to count for the display, but the stages are off: no request ever.
        {__LINE__, {Blank, "Video Managed=1"}, 400, {}, 0},
        {__LINE__, {"Screen Saver=Elsewhere", "SCRNSAVE.EXE=", "Video Managed=1"}, 400, {}, 0},
        // Nothing at all to do: the first tick stops the timer.
        {__LINE__, {Blank}, 3, {}, 1},
        {__LINE__, {Blank, "Video Managed=1", "Standby=1", "Standby After=1"}, 100,
         {"60 display Standby"}, 61},
        // The drive on its own countdown, beside the stages.
        {__LINE__, {Blank, "Drive Standby=1", "Spin Down After=5", "Video Managed=1",
                    "Standby=1", "Standby After=1"},
         400, {"60 display Standby", "300 drive SpinDown"}, 300},
        // "Video Managed" off in Logo mode: the logo needs every tick, the drive still
        // goes down on time.
        {__LINE__, {Logo, "Drive Standby=1", "Spin Down After=2", "Standby=1",
                    "Standby After=1"},
         1000, {"120 drive SpinDown"}, 0},
    };
    for (const TimelineRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni(row.keys)));
        int stoppedAt = 0;
        for (int i = 0; i < row.ticks; ++i) {
            saver.Tick();
            if (!stoppedAt && SaverRunState.TickTimerSet == 0)
                stoppedAt = saver.tick;
        }
        EXPECT_EQ(row.events, Requests(saver));
        EXPECT_EQ(row.timerStopsAt, stoppedAt);
    }
}

// A display that answers neither escape is powered through the platform's
// request, seen at the saver window; a key brings it back on.
TEST(SaverTimeline, WithoutEscapesTheStagesUseThePlatformRequest)
{
    SaverHarness saver;
    saver.displayAnswers = false;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Video Managed=1", "Standby=1", "Standby After=1",
                                            "Suspend=1", "Suspend After=0", "Off=1", "Off After=0"})));
    saver.Ticks(70);
    SendMessageW(saver.window, WM_KEYDOWN, 'A', 0);
    saver.Pump(200);
    EXPECT_FALSE(IsWindow(saver.window));
    std::vector<std::string> monitor;
    for (const std::string& event : saver.events)
        if (event.find("monitor") != std::string::npos)
            monitor.push_back(event);
    EXPECT_EQ((std::vector<std::string>{"60 monitor 1", "61 monitor 1", "62 monitor 2", "70 monitor -1"}),
              monitor);
    EXPECT_EQ(0, saver.escapes) << "no escape after the probe";
}

TEST(SaverTimeline, ARefusedSpinDownIsAskedForAgainOnEveryTick)
{
    SaverHarness saver;
    saver.spinDownRefusals = 3;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Blank, "Drive Standby=1", "Spin Down After=5"})));
    saver.Ticks(310);
    EXPECT_EQ((std::vector<std::string>{"300 drive SpinDown", "301 drive SpinDown",
                                        "302 drive SpinDown", "303 drive SpinDown"}),
              Requests(saver));
    EXPECT_TRUE(SaverRunState.DriveSpunDown);
    EXPECT_EQ(0, SaverRunState.TickTimerSet) << "display done, drive done";
}

struct FrameRow {
    int line;
    std::vector<std::string> keys;
    int ticks;
    std::vector<int> framesAt;      // first and last tick of each run of frames
};

// Which ticks ask the painter for a new frame, in Logo mode.
TEST(SaverTimeline, TheLogoMovesWhileOnAndInStandbyDuringTheSuspendCountdown)
{
    const FrameRow rows[] = {
        // Standby at 60, Suspend at 120: frames before Standby and while Standby
        // counts down to Suspend, none once suspended.
        {__LINE__, {Logo, "Video Managed=1", "Standby=1", "Standby After=1", "Suspend=1",
                    "Suspend After=1"},
         200, {1, 59, 61, 119}},
        // Standby at 60, Off at 120: during the Off countdown only while On.
        {__LINE__, {Logo, "Video Managed=1", "Standby=1", "Standby After=1", "Off=1",
                    "Off After=1"},
         200, {1, 59}},
        {__LINE__, {Logo, "Video Managed=1", "Off=1", "Off After=1"}, 200, {1, 59}},
        // Nothing to count: the logo moves for the whole run.
        {__LINE__, {Logo}, 200, {1, 200}},
        {__LINE__, {Blank, "Video Managed=1", "Standby=1", "Standby After=1"}, 100, {}},
    };
    for (const FrameRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni(row.keys)));
        std::vector<int> framesAt;
        bool inRun = false;
        for (int i = 0; i < row.ticks; ++i) {
            ValidateRect(saver.window, nullptr);
            saver.Tick();
            bool frame = GetUpdateRect(saver.window, nullptr, FALSE) != FALSE;
            if (frame && !inRun)
                framesAt.push_back(saver.tick);
            if (!frame && inRun)
                framesAt.push_back(saver.tick - 1);
            inRun = frame;
        }
        if (inRun)
            framesAt.push_back(saver.tick);
        EXPECT_EQ(row.framesAt, framesAt);
    }
}

} // namespace
