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

namespace {

// How a change of the power source is told to the saver window; or a
// deactivation during a stage, which counts the stages again.
struct Notice {
    WPARAM event;
    const GUID* setting;        // none: no record
    DWORD value;
    DWORD length = sizeof(DWORD);
    bool rearm = false;
};
const Notice StatusChange = {PBT_APMPOWERSTATUSCHANGE, nullptr, 0};
const Notice ToMains = {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 0};
const Notice ToBattery = {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 1};
const Notice Deactivate = {0, nullptr, 0, 0, true};

// How Windows answers the question for the power status, whatever the source.
enum class Answer { Source, LineUnknown, Fails };

struct SourceRow {
    int line;
    bool batteryAtStart;
    int at;                     // the tick after which the notice comes; 0: none
    Notice notice;              // Windows reports the other source from then on, unless a re-arm
    std::vector<std::string> minutes;
    std::vector<std::string> events;
    Answer answer = Answer::Source;
    int plugAt = 0;             // after a re-arm, the tick after which the plug is pulled or put back
};

// The mains: Standby 2, Suspend 1, Off 1, drive 3 minutes; the battery: 1, 2, 1, 1.
const std::vector<std::string> Both = {"Standby After=2", "Suspend After=1", "Off After=1",
    "Spin Down After=3", "Battery Standby After=1", "Battery Suspend After=2",
    "Battery Off After=1", "Battery Spin Down After=1"};
const std::vector<std::string> OnMains = {"120 display Standby", "180 drive SpinDown",
                                          "180 display Suspend", "240 display Off"};
const std::vector<std::string> OnBattery = {"60 drive SpinDown", "60 display Standby",
                                            "180 display Suspend", "240 display Off"};

} // namespace

// The countdowns count the minutes of the power source the run starts on, and
// move to the other source's minutes, less what they counted, when it changes.
TEST(SaverTimeline, EachPowerSourceCountsItsOwnMinutes)
{
    const SourceRow rows[] = {
        {__LINE__, false, 0, {}, Both, OnMains},
        {__LINE__, true, 0, {}, Both, OnBattery},
        // An unknown line status, or a failed question, counts as the mains.
        {__LINE__, true, 0, {}, Both, OnMains, Answer::LineUnknown},
        {__LINE__, true, 0, {}, Both, OnMains, Answer::Fails},
        // Missing battery keys are their twins.
        {__LINE__, true, 0, {}, {"Standby After=2", "Suspend After=1", "Off After=1", "Spin Down After=3",
                                 "Battery Off After=5"},
         {"120 display Standby", "180 drive SpinDown", "180 display Suspend", "480 display Off"}},
        // Pulled at 30 s: Standby and the drive have 30 of the battery's 60 s left;
        // Suspend and Off have not started counting.
        {__LINE__, false, 30, ToBattery, Both, OnBattery},
        // The notice's value is not trusted: the source is what Windows reports.
        {__LINE__, false, 30, ToMains, Both, OnBattery},
        // Pulled at 90 s, past the battery's minute: both act at the next tick.
        {__LINE__, false, 90, StatusChange, Both,
         {"91 drive SpinDown", "91 display Standby", "211 display Suspend", "271 display Off"}},
        // A short-term source (a UPS) counts as the battery.
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 2}, Both,
         {"91 drive SpinDown", "91 display Standby", "211 display Suspend", "271 display Off"}},
        // Put back at 150 s: Standby and the drive stay done; Suspend had counted
        // 90 s, more than the mains' minute; Off counts the mains' minute.
        {__LINE__, true, 150, ToMains, Both,
         {"60 drive SpinDown", "60 display Standby", "151 display Suspend", "211 display Off"}},
        // Put back at 200 s while Off counts: 20 of the battery's 60 s counted, 40 left.
        {__LINE__, true, 200, StatusChange, {"Standby After=1", "Suspend After=1", "Off After=1",
                                             "Spin Down After=9", "Battery Suspend After=2"},
         {"60 display Standby", "180 display Suspend", "240 display Off", "540 drive SpinDown"}},
        // A re-arm reads the minutes of the source the run is on, a missing battery key as its twin.
        {__LINE__, true, 250, Deactivate, Both,
         {"60 drive SpinDown", "60 display Standby", "180 display Suspend", "240 display Off",
          "250 display On", "310 display Standby", "430 display Suspend", "490 display Off"}},
        {__LINE__, true, 250, Deactivate, {"Standby After=2", "Suspend After=1", "Off After=1", "Spin Down After=3"},
         {"120 display Standby", "180 drive SpinDown", "180 display Suspend", "240 display Off", "250 display On",
          "370 display Standby", "430 display Suspend", "490 display Off"}},
        // A re-arm with 0 minutes: Standby and Off wait a minute, Suspend the next second.
        {__LINE__, false, 250, Deactivate, {"Standby After=0", "Suspend After=0", "Off After=0", "Spin Down After=9"},
         {"1 display Standby", "2 display Suspend", "3 display Off", "250 display On", "310 display Standby",
          "311 display Suspend", "371 display Off", "540 drive SpinDown"}},
        // Pulled 30 s after such a re-arm: Standby moves to the battery's re-armed
        // minute, not to its 0 minutes at the start; Suspend to the battery's 2.
        {__LINE__, false, 250, Deactivate, {"Standby After=0", "Suspend After=1", "Off After=0", "Spin Down After=9",
                                            "Battery Suspend After=2"},
         {"1 display Standby", "61 display Suspend", "62 display Off", "250 display On", "310 display Standby",
          "430 display Suspend", "490 display Off", "540 drive SpinDown"}, Answer::Source, 280},
        // Bad notices change nothing, although Windows reports the battery.
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, nullptr, 1}, Both, OnMains},
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, &ConsoleDisplaySetting, 1}, Both, OnMains},
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 1, 0}, Both, OnMains},
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 1, 8}, Both, OnMains},
        {__LINE__, false, 90, {PBT_POWERSETTINGCHANGE, &PowerSourceSetting, 3}, Both, OnMains},
        {__LINE__, false, 90, {PBT_APMRESUMEAUTOMATIC, &PowerSourceSetting, 1}, Both, OnMains},
    };
    for (const SourceRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        std::vector<std::string> keys = {Blank, "Video Managed=1", "Standby=1", "Suspend=1", "Off=1",
                                         "Drive Standby=1"};
        keys.insert(keys.end(), row.minutes.begin(), row.minutes.end());
        SaverHarness saver;
        saver.onBattery = row.batteryAtStart;
        saver.lineUnknown = row.answer == Answer::LineUnknown;
        saver.powerStatusFails = row.answer == Answer::Fails;
        ASSERT_NE(nullptr, saver.Open(SaverIni(keys)));
        saver.Ticks(row.at);
        const Notice& n = row.notice;
        if (n.rearm)
            SendMessageW(saver.window, WM_ACTIVATE, WA_INACTIVE, 0);
        else if (row.at) {
            saver.onBattery = !row.batteryAtStart;
            EXPECT_EQ(TRUE, ReportDisplay(saver.window, n.setting, n.value, n.length, n.event));
        }
        if (row.plugAt) {
            saver.Ticks(row.plugAt - row.at);
            saver.onBattery = !row.batteryAtStart;
            EXPECT_EQ(TRUE, ReportDisplay(saver.window, nullptr, 0, 0, PBT_APMPOWERSTATUSCHANGE));
        }
        saver.Ticks(600 - (row.plugAt ? row.plugAt : row.at));
        EXPECT_EQ(row.events, Requests(saver));
    }
}
