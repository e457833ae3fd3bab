// Randomized saver runs: random settings, display driver, device and sequences of
// ticks and input, with the invariants of a run checked after every event and at
// its end. A failure names its seed; KELVORIN_SEED=<n> runs that seed alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "host/default_saver_proc.h"
#include "power/display_power.h"
#include "power/standby_device.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

constexpr uint32_t SeedCount = 100;
constexpr uint32_t RealChainEvery = 25;     // every such seed starts the real chained saver
constexpr uint32_t LongestRun = 500;        // events before the final wake-up
constexpr DWORD ChainShowWait = 5000;       // ms

const char ChainedName[] = "Chained Test";
const char MissingSaver[] = "C:\\windows\\missing.scr";

// splitmix64: each draw depends on the seed and the number of draws only.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
    bool Percent(uint32_t p) { return Below(100) < p; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

private:
    uint64_t state_;
};

enum class Event { Tick, Deactivate, Activate, SetFocus, KillFocus, Move, Click, Quit, Key, Close,
                   Report, DisplayChange, PowerSource };
const char* const EventNames[] = {"tick",  "deactivate", "activate", "set focus", "kill focus",
                                  "move",  "click",      "WM_QUIT",  "key",       "WM_CLOSE",
                                  "display report", "display change", "power source"};

// Per mille. Calm runs leave out what may wake (keys, quits, clicks, far moves).
const struct {
    Event event;
    uint32_t weight;
} EventWeights[] = {
    {Event::Tick, 725},     {Event::Deactivate, 40}, {Event::Activate, 40},
    {Event::Report, 20},    {Event::DisplayChange, 5},  {Event::PowerSource, 10},
    {Event::SetFocus, 30},  {Event::KillFocus, 30},  {Event::Move, 70},
    {Event::Click, 20},     {Event::Quit, 5},        {Event::Key, 5},
};

enum class Driver { Register, StateRecord, None };
enum class Device { Missing, Accepts, Refuses, Random };
enum class Mode { Logo, Blank, ChainedFails, ChainedReal };

struct DriveRequest {
    DWORD code;
    bool accepted;
};

struct Totals {
    uint32_t seeds = 0, events = 0, ticks = 0, stages = 0, rearms = 0, launches = 0;
};

int StageRank(const std::string& state)
{
    return state == "Standby" ? 1 : state == "Suspend" ? 2 : state == "Off" ? 3 : 0;
}

uint32_t StageBit(int rank)
{
    const uint32_t bits[] = {DisplayStageOn, DisplayStageStandby, DisplayStageSuspend,
                             DisplayStageOff};
    return bits[rank];
}

// One run of one seed: the plan drawn from the seed, the events, the checks.
class RandomRun {
public:
    RandomRun(uint32_t seed, Totals& totals) : random_(seed), seed_(seed), totals_(totals) {}

    // Empty when every invariant held; otherwise what broke, and where.
    std::string Run()
    {
        Plan();
        saver_.Open(ini_, 640, 480);
        if (!saver_.window)
            return Describe() + "the saver window was not created";
        baseCursor_ = MouseOrigin;
        ++totals_.seeds;
        calm_ = random_.Percent(60);
        uint32_t length = 1 + random_.Below(LongestRun);
        for (uint32_t i = 0; i < length && failure_.empty() && IsWindow(saver_.window); ++i)
            Do(i + 1 == length ? Ending() : Draw());
        if (failure_.empty() && IsWindow(saver_.window))
            Do(Ending());
        if (failure_.empty())
            CheckEnd();
        if (mode_ == Mode::ChainedReal)
            EndChainedSavers(chainLog_);
        SetCursorPos(baseCursor_.x, baseCursor_.y);
        return failure_.empty() ? "" : Describe() + failure_;
    }

private:
    Random random_;
    uint32_t seed_;
    Totals& totals_;
    SaverHarness saver_;
    std::string ini_, chainLog_;
    Driver driver_ = Driver::Register;
    Device device_ = Device::Accepts;
    Mode mode_ = Mode::Blank;
    std::vector<DriveRequest> drive_;
    std::vector<std::string> done_;         // events so far, for the report
    std::string failure_;
    POINT baseCursor_ = {};
    size_t seen_ = 0;                       // harness log entries already checked
    int lastStage_ = 0;                     // rank of the stage entered last since On
    bool stageEntered_ = false;
    std::string lastDisplay_;
    bool quitSeen_ = false;
    bool calm_ = false;                     // no input that may wake before the last event
    bool inBox_ = false;

    std::string Minutes()
    {
        const char* const counts[] = {"0", "0", "0", "1", "1", "2", "1092", "1093", "65535"};
        return random_.Pick(counts);
    }
    std::string Flag()
    {
        const char* const flags[] = {"0", "1", "1", "7"};
        return random_.Pick(flags);
    }

    void Plan()
    {
        const Driver drivers[] = {Driver::Register, Driver::StateRecord, Driver::None};
        const Device devices[] = {Device::Missing, Device::Accepts, Device::Refuses,
                                  Device::Random};
        const Mode modes[] = {Mode::Logo, Mode::Blank, Mode::ChainedFails};
        driver_ = random_.Pick(drivers);
        device_ = random_.Pick(devices);
        mode_ = seed_ % RealChainEvery == RealChainEvery - 1 ? Mode::ChainedReal
                                                             : random_.Pick(modes);
        saver_.displayAnswers = driver_ != Driver::None;
        saver_.stateRecordDriver = driver_ == Driver::StateRecord;
        saver_.contextFails = random_.Percent(5);
        saver_.queryFails = random_.Percent(10);
        saver_.setFails = random_.Percent(20);
        saver_.deviceOpens = device_ != Device::Missing;
        // The launcher's failure box is modal: input and ticks go on inside it.
        saver_.duringMessageBox = [this] {
            if (inBox_)
                return;
            inBox_ = true;
            for (uint32_t n = random_.Below(4); n > 0 && IsWindow(saver_.window); --n)
                Do(Draw());
            inBox_ = false;
        };
        saver_.deviceAnswer = [this](DWORD code) {
            bool accepted = device_ == Device::Accepts
                            || (device_ == Device::Random && random_.Percent(50));
            drive_.push_back({code, accepted});
            return accepted;
        };

        std::vector<std::string> keys;
        for (const char* flag : {"Video Managed", "Standby", "Suspend", "Off", "Drive Standby"})
            keys.push_back(std::string(flag) + "=" + Flag());
        for (const char* minutes : {"Standby After", "Suspend After", "Off After",
                                    "Spin Down After"})
            keys.push_back(std::string(minutes) + "=" + Minutes());
        // Battery minutes, each now and then left to its twin; the run may start on either source.
        for (const char* minutes : {"Battery Standby After", "Battery Suspend After",
                                    "Battery Off After", "Battery Spin Down After"})
            if (random_.Percent(70))
                keys.push_back(std::string(minutes) + "=" + Minutes());
        saver_.onBattery = random_.Percent(50);
        keys.push_back("Mouse=" + std::to_string(random_.Below(4)));
        keys.push_back("PWProtected=" + std::to_string(random_.Below(2)));
        const size_t settingKeys = keys.size();
        if (mode_ == Mode::Logo)
            keys.push_back("Screen Saver=kelvorin.scr");
        else if (mode_ == Mode::Blank)
            keys.push_back("Screen Saver=None");
        else
            keys.push_back(std::string("Screen Saver=") + ChainedName);
        if (mode_ == Mode::ChainedFails)
            keys.push_back(std::string("SCRNSAVE.EXE=") + MissingSaver);
        if (mode_ == Mode::ChainedReal) {
            keys.push_back("SCRNSAVE.EXE=" + ChainedSaverProgram());
            char temp[MAX_PATH];
            GetTempPathA(MAX_PATH, temp);
            chainLog_ = std::string(temp) + "kelvorin-random-chain.log";
            DeleteFileA(chainLog_.c_str());
            SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", chainLog_.c_str());
        }
        // A keyless run leaves every value to its default.
        if (random_.Percent(5))
            keys.erase(keys.begin(), keys.begin() + settingKeys);
        ini_ = SaverIni(keys);
        if (random_.Percent(50))
            ini_ += std::string("[Screen Saver.") + ChainedName + "]\r\nPWProtected=1\r\n";
    }

    Event Draw()
    {
        for (;;) {
            uint32_t roll = random_.Below(1000);
            for (const auto& row : EventWeights) {
                if (roll < row.weight) {
                    bool wakes = row.event == Event::Quit || row.event == Event::Key
                                 || row.event == Event::Click;
                    if (wakes && calm_)
                        break;
                    return row.event;
                }
                roll -= row.weight;
            }
        }
    }

    Event Ending()
    {
        const Event endings[] = {Event::Key, Event::Quit, Event::Close};
        return random_.Pick(endings);
    }

    std::string Describe() const
    {
        const char* drivers[] = {"register", "state-record", "no"};
        const char* devices[] = {"missing", "accepting", "refusing", "random"};
        const char* modes[] = {"Logo", "Blank", "Chained (start fails)", "Chained (real)"};
        std::string text = "seed " + std::to_string(seed_) + " (replay: KELVORIN_SEED="
                           + std::to_string(seed_) + "): " + drivers[static_cast<int>(driver_)]
                           + " driver" + (saver_.contextFails ? " (no context)" : "")
                           + (saver_.queryFails ? " (query fails)" : "")
                           + (saver_.setFails ? " (state escapes fail)" : "") + ", "
                           + devices[static_cast<int>(device_)] + " device, "
                           + modes[static_cast<int>(mode_)] + " mode\n" + ini_ + "events:";
        size_t from = done_.size() > 12 ? done_.size() - 12 : 0;
        if (from > 0)
            text += " ... (" + std::to_string(from) + " earlier)";
        for (size_t i = from; i < done_.size(); ++i)
            text += " " + done_[i] + ",";
        text += "\nsaver log tail:";
        size_t logFrom = saver_.events.size() > 8 ? saver_.events.size() - 8 : 0;
        for (size_t i = logFrom; i < saver_.events.size(); ++i)
            text += " [" + saver_.events[i] + "]";
        return text + "\nbroken: ";
    }

    void Fail(const std::string& what)
    {
        if (failure_.empty())
            failure_ = what;
    }

    // Handles what input and the run itself posted; the saver's own timer ticks
    // are left out, ticks come from the sequence only. Paints wait for the next
    // event that is not a tick, as they would on a busy screen.
    void Drain(bool paint = true)
    {
        MSG message;
        UINT which = paint ? PM_REMOVE : PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
        while (PeekMessageW(&message, nullptr, 0, 0, which)) {
            if (message.message == WM_QUIT) {
                if (IsWindow(saver_.window))
                    Fail("a quit message got past the quit hook while the window lives");
                quitSeen_ = true;
                continue;
            }
            if (message.message == WM_TIMER && message.hwnd == saver_.window)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void Do(Event event)
    {
        HWND window = saver_.window;
        std::string name = EventNames[static_cast<int>(event)];
        ++totals_.events;
        switch (event) {
        case Event::Tick: {
            ++totals_.ticks;
            uint16_t timerBefore = SaverRunState.TickTimerSet;
            uint32_t chainBefore = SaverRunState.ChainState;
            size_t before = saver_.events.size();
            saver_.Tick();
            CheckTick(before, timerBefore);
            if (mode_ == Mode::ChainedReal && chainBefore == ChainIdle
                && SaverRunState.ChainState == ChainRunning)
                WaitForChainedWindow();
            break;
        }
        case Event::Deactivate:
            totals_.rearms += SaverRunState.DisplayStage != DisplayStageOn;
            SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
            break;
        case Event::Activate:
            SendMessageW(window, WM_ACTIVATE, random_.Percent(50) ? WA_ACTIVE : WA_CLICKACTIVE, 0);
            break;
        case Event::SetFocus:
            SendMessageW(window, WM_SETFOCUS, 0, 0);
            break;
        case Event::KillFocus:
            SendMessageW(window, WM_KILLFOCUS, 0, 0);
            break;
        case Event::Move: {
            // Mostly jitter within the three pixels that never wake; now and then far.
            bool distant = random_.Percent(10) && !calm_;
            int dx = distant ? 10 + static_cast<int>(random_.Below(90)) : static_cast<int>(random_.Below(3));
            int dy = distant ? static_cast<int>(random_.Below(50)) : static_cast<int>(random_.Below(2));
            if (dx + dy > 3 && !distant)
                dy = 0;
            SetCursorPos(baseCursor_.x + dx, baseCursor_.y + dy);
            name += " " + std::to_string(dx) + "," + std::to_string(dy);
            SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(baseCursor_.x + dx, baseCursor_.y + dy));
            break;
        }
        case Event::Click: {
            const UINT buttons[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
            SendMessageW(window, random_.Pick(buttons), 0, 0);
            break;
        }
        case Event::Quit:
            PostMessageW(window, WM_QUIT, 0, 0);
            break;
        case Event::Key:
            SendMessageW(window, WM_KEYDOWN, 'A' + random_.Below(26), 0);
            break;
        case Event::Close:
            PostMessageW(window, WM_CLOSE, 0, 0);
            break;
        case Event::Report: {
            // Off, on or dimmed, as either setting reports it.
            const DWORD state = random_.Below(3);
            totals_.rearms += state == 1 && SaverRunState.DisplayStage != DisplayStageOn;
            name += " " + std::to_string(state);
            ReportDisplay(window, random_.Percent(50) ? &ConsoleDisplaySetting : &MonitorPowerSetting, state);
            break;
        }
        case Event::DisplayChange:
            SendMessageW(window, WM_DISPLAYCHANGE, 24, 0);
            break;
        case Event::PowerSource:
            // The plug pulled or put back, told either way Windows tells it.
            saver_.onBattery = !saver_.onBattery;
            name += saver_.onBattery ? " battery" : " mains";
            if (random_.Percent(50))
                ReportDisplay(window, &PowerSourceSetting, saver_.onBattery ? 1 : 0);
            else
                SendMessageW(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
            break;
        }
        done_.push_back(name);
        Drain(event != Event::Tick);
        CheckAfterEvent();
    }

    // The real chained saver needs a moment before its window covers the search point.
    void WaitForChainedWindow()
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ChainShowWait) {
            HWND found = WindowFromPoint(ChainWindowPoint);
            if (found && found != saver_.window)
                return;
            Drain();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        Fail("the chained saver's window never covered the search point");
    }

    void CheckTick(size_t before, uint16_t timerBefore)
    {
        int display = 0, drive = 0;
        for (size_t i = before; i < saver_.events.size(); ++i) {
            const std::string& event = saver_.events[i];
            display += (event.find(" display ") != std::string::npos
                        && event.find("capabilities") == std::string::npos
                        && event.find("closed") == std::string::npos)
                       || event.find(" monitor ") != std::string::npos;
            drive += event.find(" drive ") != std::string::npos;
        }
        if (display > 1 || drive > 1)
            Fail(std::to_string(display) + " display and " + std::to_string(drive)
                 + " drive requests in one tick");
        // Input inside the launcher's box may have ended the run within the tick.
        // A display that Windows darkened may stop the tick: "on" sets it again.
        if (timerBefore != 0 && SaverRunState.TickTimerSet == 0 && IsWindow(saver_.window)
            && !SaverRunState.DisplayDark) {
            bool displayDone = (SaverSettings.VideoManaged || SaverMode == SaverModeLogo)
                                   ? SaverRunState.DisplayStage != DisplayStageOn
                                   : true;
            bool driveDone = !SaverSettings.DriveStandby || SaverRunState.DriveSpunDown;
            if (!displayDone || !driveDone)
                Fail("the tick killed the timer with something left to count");
        }
    }

    // A monitor-power request names no stage of its own for low power: the
    // stage it stands for is the one the run just entered.
    static std::string MonitorStateName(const std::string& power)
    {
        if (power == "-1")
            return "On";
        if (power == "2")
            return "Off";
        return SaverRunState.DisplayStage == DisplayStageSuspend ? "Suspend" : "Standby";
    }

    void CheckAfterEvent()
    {
        // Without an escape that answered, the platform's request serves.
        const bool platform = driver_ == Driver::None || saver_.contextFails;
        for (; seen_ < saver_.events.size(); ++seen_) {
            const std::string& event = saver_.events[seen_];
            size_t at = event.find(" display ");
            size_t monitorAt = event.find(" monitor ");
            std::string state;
            if (at != std::string::npos) {
                state = event.substr(at + 9);
                if (state == "capabilities" || state == "closed")
                    continue;
                if (platform || saver_.queryFails)
                    Fail("a display request without a driver that answered the query");
            } else if (monitorAt != std::string::npos) {
                if (!platform)
                    Fail("a monitor-power request although the driver answered");
                state = MonitorStateName(event.substr(monitorAt + 9));
            } else {
                continue;
            }
            lastDisplay_ = state;
            int rank = StageRank(state);
            if (state == "On") {
                if (lastStage_ == 0)
                    Fail("display On requested while it was on");
                lastStage_ = 0;
            } else if (rank <= lastStage_) {
                Fail("stage " + state + " entered out of order");
            } else {
                lastStage_ = rank;
                stageEntered_ = true;
                ++totals_.stages;
            }
        }
        if (IsWindow(saver_.window) && SaverRunState.DisplayStage != StageBit(lastStage_))
            Fail("DisplayStage " + std::to_string(SaverRunState.DisplayStage)
                 + " is not the stage last requested");
        if (Launches() > 1)
            Fail(std::to_string(Launches()) + " launches in one run");
    }

    int Launches() const
    {
        int launches = 0;
        for (const std::string& box : saver_.boxes)
            launches += box.rfind("CreateProcess:", 0) == 0;
        if (mode_ == Mode::ChainedReal)
            for (const std::string& line : ChainedSaverLog(chainLog_))
                launches += line.rfind("cmdline ", 0) == 0;
        return launches;
    }

    void CheckEnd()
    {
        totals_.launches += Launches();
        if (IsWindow(saver_.window))
            return Fail("the run did not end");
        if (!quitSeen_)
            Fail("the run ended without its quit message");
        if (stageEntered_ && lastDisplay_ != "On")
            Fail("the last display request was " + lastDisplay_ + ", not On");
        if (SaverRunState.DisplayStage != DisplayStageOn)
            Fail("the run ended with the display not On");
        CheckDrive();
        if (SaverRunState.MessageHook != nullptr)
            Fail("MessageHook still set");
        // A hook left behind would turn this quit message into a shutdown.
        PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
        MSG message;
        if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)
            || message.message != WM_QUIT)
            Fail("a message hook is still installed");
        if (GetPrivateProfileIntA(ApplicationSection(), "PWProtected", -1, "control.ini") != 0)
            Fail("PWProtected is not 0 after the run:\n" + ControlIniContents());
        if (DisplayContext != nullptr || StandbyDeviceHandle != INVALID_HANDLE_VALUE)
            Fail("the display context or the device was left open");
    }

    void CheckDrive()
    {
        bool spunDown = false, spinUpOwed = false;
        for (const DriveRequest& request : drive_) {
            if (request.code == SpinDown && request.accepted)
                spunDown = spinUpOwed = true;
            if (request.code == SpinUp) {
                spinUpOwed = false;
                spunDown = spunDown && !request.accepted;
            }
        }
        if (spinUpOwed)
            Fail("the drive was spun down and no spin-up was asked for");
        if (spunDown && device_ == Device::Accepts)
            Fail("the drive was left spun down by a device that accepts");
        if ((SaverRunState.DriveSpunDown != 0) != spunDown)
            Fail("DriveSpunDown does not match what the device accepted");
        if (!drive_.empty() && (device_ == Device::Missing || !SaverSettings.DriveStandby))
            Fail("a drive request without the device or the setting");
    }
};

std::vector<uint32_t> Seeds()
{
    const char* chosen = getenv("KELVORIN_SEED");
    if (chosen && *chosen)
        return {static_cast<uint32_t>(strtoul(chosen, nullptr, 10))};
    // KELVORIN_SEEDS=<count> runs more seeds than CI has time for.
    const char* count = getenv("KELVORIN_SEEDS");
    uint32_t last = count && *count ? static_cast<uint32_t>(strtoul(count, nullptr, 10)) : SeedCount;
    std::vector<uint32_t> seeds;
    for (uint32_t seed = 1; seed <= last; ++seed)
        seeds.push_back(seed);
    return seeds;
}

TEST(RandomSaverRuns, EveryRunKeepsItsInvariants)
{
    Totals totals;
    int failures = 0;
    DWORD start = GetTickCount();
    for (uint32_t seed : Seeds()) {
        std::string failure = RandomRun(seed, totals).Run();
        if (!failure.empty()) {
            ADD_FAILURE() << failure;
            if (++failures == 3)
                break;
        }
    }
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", nullptr);
    printf("[ figures  ] %u seeds, %u events (%u ticks), %u stages entered, %u re-arms, "
           "%u launches, %lu ms\n",
           totals.seeds, totals.events, totals.ticks, totals.stages, totals.rearms,
           totals.launches, static_cast<unsigned long>(GetTickCount() - start));
}

} // namespace
