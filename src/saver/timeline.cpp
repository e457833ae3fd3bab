// The tick of a saver run: starts and finds the chained saver, counts the
// drive spin-down and the display stages, asks for logo frames and stops the
// timer once nothing is left to count.
#include <cstring>

#include "chain/launcher.h"
#include "host/default_saver_proc.h"
#include "power/display_power.h"
#include "power/power_source.h"
#include "power/standby_device.h"
#include "saver/countdown.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

namespace {

// The tick ends without going on to the default procedure.
constexpr LRESULT LaunchTickResult = 1;
constexpr LRESULT WaitingTickResult = 0;

const char RunSwitch[] = " /S";

bool LogoShown()
{
    return SaverMode == SaverModeLogo;
}

// Starts the chained saver. The launcher's failure box is modal, so ticks keep
// arriving meanwhile; LaunchUnderway turns them away. A saver that did not start
// leaves no window to look for: its path is emptied so the countdowns run.
void LaunchChainedSaver(HWND window)
{
    FillChainedSaverCommand(SaverSettings.ScrnsaveExe, RunSwitch);
    KillTimer(window, TickTimerId);
    SetTickTimer(window, TickPeriod);
    SaverRunState.LaunchUnderway = true;
    bool started
        = LaunchSaver(ChainedSaverPath, ChainedSaverCommandLine, &SaverRunState.ChainProcessId);
    SaverRunState.LaunchUnderway = false;
    if (!started)
        ChainedSaverPath[0] = '\0';
    SaverRunState.ChainState = ChainRunning;
}

void CheckRearm(HWND window)
{
    SaverRunState.ChainState = ChainClosing;
    POINT middle = {SaverRunState.ClientWidth / 2, SaverRunState.ClientHeight / 2};
    if (ChildWindowFromPoint(window, middle) == window)
        SaverRunState.RearmPending = false;
}

// True while `window` is a window of the started chained saver: a window of
// another program, or a handle that came back for one, never counts.
bool OfChainedSaver(HWND window)
{
    DWORD process = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &process) != 0
           && process != 0 && process == SaverRunState.ChainProcessId;
}

// True once the started saver's window lies at the search point; the run keeps
// its top-level window. A saver that shows none within ChainGiveUpTicks ticks
// is given up as one that did not start: the search ends and the countdowns run.
bool FindChainWindow()
{
    HWND found = WindowFromPoint(ChainWindowPoint);
    HWND top = found ? GetAncestor(found, GA_ROOT) : nullptr;
    if (!OfChainedSaver(top)) {
        if (++SaverRunState.ChainSearchTicks >= ChainGiveUpTicks)
            ChainedSaverPath[0] = '\0';
        return false;
    }
    SaverRunState.ChainWindow = top;
    ChainedSaverPath[0] = '\0';
    return true;
}

// The chained saver's window was found and has gone since: the user woke it.
bool ChainedSaverEnded()
{
    return SaverRunState.ChainState == ChainRunning && SaverRunState.ChainWindow != nullptr
           && !OfChainedSaver(SaverRunState.ChainWindow);
}

void CountDrive()
{
    SaverRunStateRecord& run = SaverRunState;
    if (run.SpinDownCountdown > 0)
        --run.SpinDownCountdown;
    if (!run.DriveSpunDown && SaverSettings.DriveStandby && run.SpinDownCountdown == 0
        && ControlStandbyDevice(SpinDown) != 0)
        run.DriveSpunDown = true;
}

// A chained saver that does not answer must not hang the run: each send is
// bounded, and messages that other threads send to the saver window are still
// handled while it waits.
void SendToChainedSaver(UINT message, WPARAM wParam)
{
    DWORD_PTR result;
    SendMessageTimeoutW(SaverRunState.ChainWindow, message, wParam, 0,
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, ChainReplyTimeout, &result);
}

void AskChainedSaverToClose()
{
    SaverRunState.ChainState = ChainClosing;
    if (OfChainedSaver(SaverRunState.ChainWindow)) {
        SendToChainedSaver(WM_ACTIVATE, WA_INACTIVE);
        SendToChainedSaver(WM_CLOSE, 0);
    }
}

void CloseChainedSaver(HWND window)
{
    AskChainedSaverToClose();
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    SaverRunState.ChainState = ChainClosed;
}

uint32_t PowerStateOf(uint32_t stage)
{
    switch (stage) {
    case DisplayStageStandby:
        return DisplayPowerStandby;
    case DisplayStageSuspend:
        return DisplayPowerSuspend;
    case DisplayStageOff:
        return DisplayPowerOff;
    }
    return DisplayPowerOn;
}

// A stage that is re-armed with 0 minutes still waits this long (Suspend excepted).
constexpr uint16_t RearmFloor = 60;
constexpr uint32_t AnyDisplayStage
    = DisplayStageOn | DisplayStageStandby | DisplayStageSuspend | DisplayStageOff;

// One countdown of the run: the three display stages in the order they are
// entered, then the drive, which has no stage and no pending flag.
struct CountdownRow {
    uint32_t stage;                                 // a DisplayStageKind; 0 for the drive
    int32_t SaverSettingsRecord::*setting;          // on or off
    int32_t SaverRunStateRecord::*pending;          // null for the drive
    uint16_t SaverRunStateRecord::*countdown;
    uint16_t SaverRunStateRecord::*start;
    uint16_t rearmFloor;
    uint32_t framesIn;      // the display stages in which a running countdown moves the logo
};

// Indexed by MinuteSettingKind.
const CountdownRow Countdowns[MinuteSettingCount] = {
    {DisplayStageStandby, &SaverSettingsRecord::Standby, &SaverRunStateRecord::StandbyPending,
     &SaverRunStateRecord::StandbyCountdown, &SaverRunStateRecord::StandbyStart, RearmFloor,
     AnyDisplayStage},
    {DisplayStageSuspend, &SaverSettingsRecord::Suspend, &SaverRunStateRecord::SuspendPending,
     &SaverRunStateRecord::SuspendCountdown, &SaverRunStateRecord::SuspendStart, 0,
     AnyDisplayStage},
    {DisplayStageOff, &SaverSettingsRecord::Off, &SaverRunStateRecord::OffPending,
     &SaverRunStateRecord::OffCountdown, &SaverRunStateRecord::OffStart, RearmFloor,
     DisplayStageOn},
    {0, &SaverSettingsRecord::DriveStandby, nullptr, &SaverRunStateRecord::SpinDownCountdown,
     &SaverRunStateRecord::SpinDownStart, 0, 0},
};
constexpr int StageCount = SpinDownMinutes;     // the display stages come first

// The seconds a countdown of `kind` starts from at the run's start, on the run's power source.
uint16_t StartSeconds(int kind)
{
    return CountdownSeconds(SourceMinutes(kind, SaverRunState.OnBattery));
}

// A re-armed countdown of `kind`: the minutes of the run's power source as the
// file holds them now.
uint16_t RearmCountdown(int kind)
{
    uint16_t seconds = CountdownSeconds(ReadSourceMinutes(kind, SaverRunState.OnBattery));
    return seconds == 0 ? Countdowns[kind].rearmFloor : seconds;
}

// A stage still to be entered, or a drive still to be spun down.
bool StillCounting(const CountdownRow& row)
{
    if (row.pending != nullptr)
        return SaverRunState.*row.pending != 0;
    return SaverSettings.DriveStandby && !SaverRunState.DriveSpunDown;
}

void EnterStage(HWND window, uint32_t stage, int32_t* pending)
{
    if (SaverMode == SaverModeChained) {
        if (SaverRunState.ChainWindow)
            CloseChainedSaver(window);
        SaverRunState.ChainWindow = nullptr;
    }
    SaverRunState.DisplayStage = stage;
    *pending = false;
    DisplayPowerRequest(PowerStateOf(stage), SetState);
}

// Counts Standby, then Suspend, then Off: a stage counts once every stage
// before it stands at 0. True when one of them ended the tick.
bool CountStages(HWND window)
{
    SaverRunStateRecord& run = SaverRunState;
    bool earlierDone = true;
    for (int kind = 0; kind < StageCount; ++kind) {
        const CountdownRow& row = Countdowns[kind];
        uint16_t& countdown = run.*row.countdown;
        if (countdown > 0)
            --countdown;
        if (run.*row.pending && (run.EnabledStages & row.stage) && earlierDone) {
            if (countdown == 0)
                EnterStage(window, row.stage, &(run.*row.pending));
            else if ((run.DisplayStage & row.framesIn) && LogoShown())
                NextLogoFrame(window);
            return true;
        }
        earlierDone = earlierDone && countdown == 0;
    }
    return false;
}

bool StagesPending()
{
    for (int kind = 0; kind < StageCount; ++kind) {
        if (SaverRunState.*Countdowns[kind].pending)
            return true;
    }
    return false;
}

// The logo is drawn while the display is on and not darkened by Windows.
bool FramesShown()
{
    return SaverRunState.DisplayStage == DisplayStageOn && LogoShown() && !SaverRunState.DisplayDark;
}

// A running chained saver keeps the timer going: the tick watches for its end.
// A display that Windows darkened takes no frames; a report that it is on
// again sets the timer again.
void StopWhenDone(HWND window)
{
    const SaverRunStateRecord& run = SaverRunState;
    bool stagesLeft = SaverSettings.VideoManaged && StagesPending();
    bool displayDone = (SaverSettings.VideoManaged || LogoShown())
                           ? run.DisplayStage != DisplayStageOn
                                 || (LogoShown() && run.DisplayDark && !stagesLeft)
                           : run.ChainWindow == nullptr;
    bool driveDone = !SaverSettings.DriveStandby || SaverRunState.DriveSpunDown;
    if (displayDone && driveDone)
        KillTickTimer(window);
}

} // namespace

LRESULT SaverTick(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (SaverRunState.LaunchUnderway)
        return WaitingTickResult;
    if (SaverRunState.ChainState == ChainIdle && SaverMode == SaverModeChained) {
        LaunchChainedSaver(window);
        return LaunchTickResult;
    }
    if (SaverRunState.RearmPending)
        CheckRearm(window);
    if (SaverMode == SaverModeChained && ChainedSaverPath[0] != '\0'
        && SaverRunState.ChainWindow == nullptr && !FindChainWindow())
        return WaitingTickResult;
    // One wake-up ends both savers: the chained saver's end ends this run too.
    if (ChainedSaverEnded()) {
        SaverRunState.ChainWindow = nullptr;
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitingTickResult;
    }
    CountDrive();
    bool stageTick = SaverSettings.VideoManaged && !SaverRunState.RearmPending
                     && CountStages(window);
    if (!stageTick && FramesShown())
        NextLogoFrame(window);
    else if (!stageTick)
        StopWhenDone(window);
    return DefaultSaverProc(window, WM_TIMER, wParam, lParam);
}

void SetUpStages()
{
    SaverRunStateRecord& run = SaverRunState;
    run.OnBattery = RunningOnBattery();
    run.EnabledStages = 0;
    for (int kind = 0; kind < MinuteSettingCount; ++kind) {
        const CountdownRow& row = Countdowns[kind];
        const bool on = SaverSettings.*row.setting != 0;
        if (row.pending != nullptr) {
            run.EnabledStages |= on ? row.stage : 0u;
            run.*row.pending = SaverSettings.*row.setting;
        }
        run.*row.countdown = run.*row.start = on ? StartSeconds(kind) : 0;
    }
    run.DisplayStage = DisplayStageOn;
    run.ChainWindow = nullptr;
}

void RearmStages()
{
    SaverRunStateRecord& run = SaverRunState;
    for (int kind = 0; kind < StageCount; ++kind) {
        const CountdownRow& row = Countdowns[kind];
        run.*row.pending = static_cast<int32_t>(run.EnabledStages & row.stage);
        if (run.*row.pending)
            run.*row.countdown = run.*row.start = RearmCountdown(kind);
    }
    run.StagesRearmed = true;
}

void MoveCountdowns(bool battery)
{
    SaverRunStateRecord& run = SaverRunState;
    run.OnBattery = battery;
    for (int kind = 0; kind < MinuteSettingCount; ++kind) {
        const CountdownRow& row = Countdowns[kind];
        if (!StillCounting(row))
            continue;
        // A stage counts from where a re-arm now would start it, once re-armed.
        const uint16_t start = run.StagesRearmed && row.pending != nullptr ? RearmCountdown(kind)
                                                                           : StartSeconds(kind);
        run.*row.countdown = MoveCountdown(&(run.*row.start), run.*row.countdown, start);
    }
}

void EndChainedSaver()
{
    if (SaverRunState.ChainWindow != nullptr)
        AskChainedSaverToClose();
    SaverRunState.ChainWindow = nullptr;
}
