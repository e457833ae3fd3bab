// Chained mode with a real chained saver program: the launch, the search for its
// window, the close handshake at the first stage and the end of the run after it.
#include <gtest/gtest.h>

#include <thread>

#include "chain/launcher.h"
#include "saver/saver_window.h"
#include "saver_harness.h"
#include "support/wine_test.h"

namespace {

const char ShowEventName[] = "KelvorinChainShow";
constexpr UINT WM_OTHER_THREAD = WM_APP + 7;

SaverHarness* Recorder;
WNDPROC RecordedProc;
std::string HelperLogPath;

std::vector<std::string> HelperLog()
{
    return ChainedSaverLog(HelperLogPath);
}

bool HelperLogHas(const std::string& line)
{
    for (const std::string& logged : HelperLog())
        if (logged == line)
            return true;
    return false;
}

// Logs what reaches the saver window from inside the handshake and from other threads.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE && wParam == WA_ACTIVE && lParam == 0)
        Recorder->Log(std::string("saver activated, helper ")
                      + (HelperLogHas("WM_CLOSE") ? "closed" : "not closed"));
    if (message == WM_OTHER_THREAD)
        Recorder->Log("other thread, chain state " + std::to_string(SaverRunState.ChainState));
    return CallWindowProcW(RecordedProc, window, message, wParam, lParam);
}

void Record(SaverHarness& saver)
{
    Recorder = &saver;
    RecordedProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        saver.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

class ChainedSaverTest : public testing::Test {
protected:
    std::string helperPath = ChainedSaverProgram();
    HANDLE showEvent = nullptr;

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        HelperLogPath = std::string(temp) + "kelvorin-chain.log";
        DeleteFileA(HelperLogPath.c_str());
        SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", HelperLogPath.c_str());
        showEvent = CreateEventA(nullptr, TRUE, FALSE, ShowEventName);
        SetEnvironmentVariableA("KELVORIN_CHAIN_SHOW", ShowEventName);
    }
    void TearDown() override
    {
        SetEvent(showEvent);
        EndChainedSavers(HelperLogPath);
        CloseHandle(showEvent);
        for (const char* name : {"LOG", "SHOW", "HANG", "LIFETIME", "AT", "CHILD"})
            SetEnvironmentVariableA((std::string("KELVORIN_CHAIN_") + name).c_str(), nullptr);
    }

    std::string ChainedIni(const std::string& path)
    {
        return SaverIni({"Screen Saver=Chained Test", "SCRNSAVE.EXE=" + path, "Video Managed=1",
                         "Standby=1", "Standby After=0", "Suspend=1", "Suspend After=0",
                         "Drive Standby=1", "Spin Down After=1"});
    }
    // Shows the helper's window and waits until a window of the started helper
    // covers the search point, as the tick looks for it. A start under load may
    // take a while; a failure says how far the helper came and what lies at the
    // point instead.
    testing::AssertionResult ShowHelper(SaverHarness& saver)
    {
        SetEvent(showEvent);
        HWND found = nullptr;
        if (PumpUntil([&] {
                found = WindowFromPoint(ChainWindowPoint);
                DWORD process = 0;
                HWND top = found ? GetAncestor(found, GA_ROOT) : nullptr;
                return top != nullptr && GetWindowThreadProcessId(top, &process) != 0
                       && process == SaverRunState.ChainProcessId && HelperLogHas("shown");
            }, 20000))
            return testing::AssertionSuccess();
        wchar_t className[64] = L"";
        GetClassNameW(found, className, 64);
        testing::AssertionResult failure = testing::AssertionFailure();
        failure << "at the point: " << (found == saver.window ? "the saver window" : "window of class ")
                << Utf8(className) << "; boxes " << saver.boxes.size() << "; helper log:";
        for (const std::string& line : HelperLog())
            failure << " [" << line << "]";
        return failure;
    }
};

// The point lies on a child of the chained saver's window: the run takes the top-level one.
TEST_F(ChainedSaverTest, StartedOnceFoundAtTheSearchPointAndClosedAtTheFirstStage)
{
    SetEnvironmentVariableA("KELVORIN_CHAIN_CHILD", "1");
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(ChainedIni(helperPath)));
    Record(saver);

    EXPECT_EQ(1, saver.Tick()) << "the launch tick";
    EXPECT_EQ(ChainRunning, SaverRunState.ChainState);
    EXPECT_EQ(TickTimerId, SaverRunState.TickTimerSet);
    EXPECT_EQ(helperPath + " /S", std::string(ChainedSaverCommandLine));
    ASSERT_TRUE(PumpUntil([] { return HelperLog().size() >= 2; }));
    EXPECT_EQ("cmdline " + helperPath + " /S", HelperLog()[1]);

    // Until the chained saver's window covers the search point nothing counts.
    size_t before = saver.events.size();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, saver.Tick());
    EXPECT_EQ(60, SaverRunState.SpinDownCountdown);
    EXPECT_EQ(nullptr, SaverRunState.ChainWindow);
    EXPECT_EQ(before, saver.events.size());

    ASSERT_TRUE(ShowHelper(saver));
    HWND helperWindow = GetAncestor(WindowFromPoint(ChainWindowPoint), GA_ROOT);
    ASSERT_NE(helperWindow, WindowFromPoint(ChainWindowPoint));
    size_t helperLines = HelperLog().size();
    saver.Tick();
    EXPECT_EQ(59, SaverRunState.SpinDownCountdown) << "the tick that finds it counts";
    EXPECT_STREQ("", ChainedSaverPath);
    // The saver window's own activation may be followed by the platform's, once
    // its default handling takes the focus back; both come after the close.
    std::vector<std::string> events = saver.EventsSince(before);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ("display Standby", events.back());
    events.pop_back();
    for (const std::string& event : events)
        EXPECT_EQ("saver activated, helper closed", event);
    std::vector<std::string> log = HelperLog();
    ASSERT_GE(log.size(), helperLines + 2);
    EXPECT_EQ("WM_ACTIVATE 0", log[helperLines]);
    EXPECT_EQ("WM_CLOSE", log[helperLines + 1]);
    EXPECT_EQ(ChainClosed, SaverRunState.ChainState);
    EXPECT_EQ(nullptr, SaverRunState.ChainWindow);
    EXPECT_FALSE(IsWindow(helperWindow));

    // Later stages send nothing to the chained saver, and it is never started again.
    before = saver.events.size();
    saver.Tick();
    EXPECT_EQ(std::vector<std::string>{"display Suspend"}, saver.EventsSince(before));
    EXPECT_EQ(log, HelperLog());
    int starts = 0;
    for (const std::string& line : HelperLog())
        starts += line.rfind("cmdline", 0) == 0;
    EXPECT_EQ(1, starts);

    // Focus coming back after the chained saver was closed ends the run.
    before = saver.events.size();
    SendMessageW(saver.window, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(IsWindow(saver.window));
    EXPECT_EQ(ChainIdle, SaverRunState.ChainState);
    EXPECT_EQ((std::vector<std::string>{"display On", "display closed", "device closed"}),
              saver.EventsSince(before));
}

TEST_F(ChainedSaverTest, AFailedStartLaunchesOnceAndLeavesTheCountdownsRunning)
{
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(ChainedIni("C:\\windows\\missing.scr")));
    std::vector<LRESULT> boxTicks;
    std::vector<uint32_t> boxChainStates;
    saver.duringMessageBox = [&] {
        for (int i = 0; i < 3; ++i) {
            boxTicks.push_back(saver.Tick());
            boxChainStates.push_back(SaverRunState.ChainState);
        }
    };
    EXPECT_EQ(1, saver.Tick());
    EXPECT_EQ(std::vector<std::string>{"CreateProcess: CreateProcess fail (2)"}, saver.boxes);
    EXPECT_EQ((std::vector<LRESULT>{0, 0, 0}), boxTicks) << "ticks inside the box do nothing";
    EXPECT_EQ((std::vector<uint32_t>{ChainIdle, ChainIdle, ChainIdle}), boxChainStates);
    EXPECT_EQ(60, SaverRunState.SpinDownCountdown);
    EXPECT_EQ(ChainRunning, SaverRunState.ChainState);

    size_t before = saver.events.size();
    saver.Tick();
    EXPECT_EQ(59, SaverRunState.SpinDownCountdown);
    EXPECT_EQ(std::vector<std::string>{"display Standby"}, saver.EventsSince(before));
    EXPECT_EQ(1u, saver.boxes.size());
}

// A chained saver that stops answering costs a bounded wait, during which the
// saver window still handles what other threads send it.
TEST_F(ChainedSaverTest, AChainedSaverThatDoesNotAnswerDoesNotHangTheHandshake)
{
    SetEnvironmentVariableA("KELVORIN_CHAIN_HANG", "1");
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(ChainedIni(helperPath)));
    Record(saver);
    saver.Tick();
    ASSERT_TRUE(ShowHelper(saver));

    HWND window = saver.window;
    // Bounded: a saver window that never handles it must fail the test, not hang the join.
    std::thread other([window] {
        Sleep(500);
        DWORD_PTR result;
        SendMessageTimeoutW(window, WM_OTHER_THREAD, 0, 0, SMTO_NORMAL, 2 * ChainReplyTimeout, &result);
    });
    size_t before = saver.events.size();
    DWORD start = GetTickCount();
    saver.Tick();
    DWORD elapsed = GetTickCount() - start;
    other.join();
    EXPECT_LT(elapsed, 2 * ChainReplyTimeout + 1500);
    std::vector<std::string> events = saver.EventsSince(before);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ("other thread, chain state 2", events.front());
    EXPECT_EQ("saver activated, helper not closed", events[1]);
    EXPECT_EQ("display Standby", events.back());
    EXPECT_EQ(ChainClosed, SaverRunState.ChainState);

    // A key still ends the run.
    before = saver.events.size();
    SendMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(saver.Pump(200));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ((std::vector<std::string>{"display On", "display closed", "device closed"}),
              saver.EventsSince(before));
}

// A chained saver that shows no window at the search point within the give-up
// count is given up; a window of another program there gets nothing, ever.
TEST_F(ChainedSaverTest, AChainedSaverWithoutItsWindowAtThePointIsGivenUp)
{
    const std::string otherLog = HelperLogPath + ".other";
    for (bool otherAtPoint : {false, true}) {
        SCOPED_TRACE(otherAtPoint ? "shown elsewhere, another program at the point" : "no window");
        DeleteFileA(otherLog.c_str());
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(ChainedIni(helperPath)));
        ChildProcess other;
        if (otherAtPoint) {
            SetEvent(showEvent);
            SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", otherLog.c_str());
            const std::wstring program(helperPath.begin(), helperPath.end());
            ASSERT_TRUE(other.Start(program, L"\"" + program + L"\""));
            ASSERT_NE(nullptr, other.FindWindowOfClass(L"KelvorinChainedSaver"));
            // Its window is found while it is being shown: the log is taken once it has shown.
            ASSERT_TRUE(PumpUntil([&] {
                for (const std::string& line : ChainedSaverLog(otherLog))
                    if (line == "shown")
                        return true;
                return false;
            }));
            SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", HelperLogPath.c_str());
            SetEnvironmentVariableA("KELVORIN_CHAIN_AT", "600,400");
        }
        EXPECT_EQ(1, saver.Tick());
        if (otherAtPoint)
            ASSERT_TRUE(PumpUntil([] { return HelperLogHas("shown"); }));
        HWND atPoint = WindowFromPoint(ChainWindowPoint);
        const std::vector<std::string> otherLines = ChainedSaverLog(otherLog);
        for (uint32_t i = 0; i < ChainGiveUpTicks; ++i)
            EXPECT_EQ(0, saver.Tick()) << "search tick " << i + 1;
        saver.Ticks(2);
        EXPECT_EQ((std::vector<std::string>{"0 display capabilities", "12 display Standby",
                                            "13 display Suspend"}), saver.events);
        EXPECT_EQ(nullptr, SaverRunState.ChainWindow);
        EXPECT_EQ(otherLines, ChainedSaverLog(otherLog)) << "nothing sent to the other program";
        SendMessageW(saver.window, WM_KEYDOWN, 'A', 0);
        EXPECT_TRUE(saver.Pump(200));
        EXPECT_FALSE(IsWindow(saver.window));
        EXPECT_EQ(otherAtPoint, IsWindow(atPoint) != FALSE) << "the other window was not closed";
        EndChainedSavers(HelperLogPath);
    }
}

// One wake-up ends both savers, whichever of them it reaches: the chained saver
// that ends by itself ends the run on the next tick, and a run that ends by any
// road closes the chained saver first.
TEST_F(ChainedSaverTest, OneWakeUpEndsBothSavers)
{
    enum Road { EndsItself, Key, Movement, Quit };
    for (Road road : {EndsItself, Key, Movement, Quit}) {
        SCOPED_TRACE(testing::Message() << "road " << road);
        DeleteFileA(HelperLogPath.c_str());
        SetEnvironmentVariableA("KELVORIN_CHAIN_LIFETIME", road == EndsItself ? "500" : nullptr);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({"Screen Saver=Chained Test", "SCRNSAVE.EXE=" + helperPath,
                                                "Drive Standby=1", "Spin Down After=0"})));
        saver.Tick();
        ASSERT_TRUE(ShowHelper(saver));
        saver.Tick();
        HWND helperWindow = SaverRunState.ChainWindow;
        ASSERT_NE(nullptr, helperWindow);
        size_t before = saver.events.size();
        POINT cursor;
        GetCursorPos(&cursor);
        if (road == EndsItself) {
            ASSERT_TRUE(PumpUntil([&] { return !IsWindow(helperWindow); }));
            EXPECT_EQ(0, saver.Tick());
        } else if (road == Key) {
            SendMessageW(saver.window, WM_KEYDOWN, 'A', 0);
        } else if (road == Movement) {
            SetCursorPos(cursor.x + 40, cursor.y);
            SendMessageW(saver.window, WM_MOUSEMOVE, 0, 0);
        } else {
            PostMessageW(saver.window, WM_QUIT, 0, 0);
        }
        EXPECT_TRUE(saver.Pump(300));
        SetCursorPos(cursor.x, cursor.y);
        EXPECT_FALSE(IsWindow(saver.window));
        EXPECT_EQ((std::vector<std::string>{"drive SpinUp", "display closed", "device closed"}),
                  saver.EventsSince(before));
        EXPECT_EQ(road != EndsItself, HelperLogHas("WM_CLOSE"));
        EndChainedSavers(HelperLogPath);
    }
}

} // namespace
