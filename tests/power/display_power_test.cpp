// Display power requests against stand-in display drivers plugged into the seams.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/outside.h"
#include "power/display_power.h"
#include "power/display_state.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

namespace {

// One escape as the driver saw it (always on the current display context);
// `output` is the output buffer at the time of the call.
struct Escape {
    std::string name;
    std::string input;
    int outputSize;
    std::string output;
};

// A stand-in display driver. It answers QUERYESCSUPPORT from `answers` (escape
// number -> answer), returns `result` from every other escape and, when that is
// positive, writes AL and BH into the reply of the register escape.
struct FakeDriver {
    bool makesContext = true;
    std::map<int32_t, int> answers;
    int result = 1;
    uint8_t al = DisplayPowerSupported;
    uint8_t bh = 0;
    int contextRequests = 0;
    std::vector<HDC> deleted;
    std::vector<Escape> escapes;
    std::vector<std::string> boxes;
};
FakeDriver Driver;

const std::map<int32_t, int> RegisterDriver = {{ESCAPE_VBEPM_CALL, 1}};
const std::map<int32_t, int> StateDriver = {{ESCAPE_POWER_STATE_SET, 1}};
constexpr int VbePmStatusOffset = 0;
constexpr int VbePmResultOffset = 5;

HDC WINAPI FakeCreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init)
{
    EXPECT_STREQ("Display", driver);
    EXPECT_STREQ("Display", device);
    EXPECT_EQ(nullptr, output);
    EXPECT_EQ(nullptr, init);
    ++Driver.contextRequests;
    if (!Driver.makesContext)
        return nullptr;
    return reinterpret_cast<HDC>(static_cast<INT_PTR>(0x1000 + Driver.contextRequests));
}

int WINAPI FakeEscape(HDC dc, int number, int inputSize, LPCSTR input, int outputSize,
                      LPSTR output)
{
    EXPECT_EQ(DisplayContext, dc);
    std::string in = input ? std::string(input, inputSize) : std::string();
    std::string out = output ? std::string(output, outputSize) : std::string();
    Driver.escapes.push_back({std::to_string(number), in, outputSize, out});
    if (number == QUERYESCSUPPORT) {
        int32_t asked = 0;
        EXPECT_TRUE(input && inputSize == sizeof asked && !output && !outputSize);
        if (input && inputSize == sizeof asked)
            memcpy(&asked, input, sizeof asked);
        Driver.escapes.back().name += ":" + std::to_string(asked);
        auto answer = Driver.answers.find(asked);
        return answer == Driver.answers.end() ? 0 : answer->second;
    }
    if (number == ESCAPE_VBEPM_CALL && Driver.result > 0) {
        output[VbePmStatusOffset] = static_cast<char>(Driver.al);
        output[VbePmResultOffset] = static_cast<char>(Driver.bh);
    }
    return Driver.result;
}

BOOL WINAPI FakeDeleteDC(HDC dc)
{
    Driver.deleted.push_back(dc);
    return TRUE;
}

int WINAPI FakeMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Driver.boxes.push_back(std::to_string(reinterpret_cast<INT_PTR>(owner)) + "|" + Utf8(text) + "|" +
                           Utf8(caption) + "|" + std::to_string(type));
    return IDOK;
}

// Little-endian 32-bit words, as the driver reads them.
std::string Words(std::initializer_list<uint32_t> words)
{
    std::string bytes;
    for (uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>((word >> shift) & 0xFF);
    return bytes;
}

// The escapes sent by number, each QUERYESCSUPPORT as "8:" and the number asked about.
std::vector<std::string> Sent()
{
    std::vector<std::string> sent;
    for (const Escape& escape : Driver.escapes)
        sent.push_back(escape.name);
    return sent;
}

void ForgetDisplayPower()
{
    DisplayContext = nullptr;
    DisplayPowerInterface = NoPowerEscape;
    DisplayPowerStatus = 0;
}

// A fresh process with `answers` as its display driver.
void StartWith(const std::map<int32_t, int>& answers)
{
    ForgetDisplayPower();
    Driver = FakeDriver();
    Driver.answers = answers;
}

uint32_t QueryCapabilities()
{
    return DisplayPowerRequest(DisplayPowerOn, ReportCapabilities);
}

class DisplayPower : public testing::Test {
protected:
    void SetUp() override
    {
        StartWith({});
        InstallDriver(FakeCreateDC, FakeEscape, FakeDeleteDC);
    }
    void TearDown() override
    {
        RemoveStandIns();
    }
    // Null parts of the driver take the real calls; boxes are always recorded.
    static void InstallDriver(decltype(Outside::CreateDisplayContext) create,
                              decltype(Outside::DriverEscape) escape,
                              decltype(Outside::DeleteDisplayContext) remove)
    {
        StandIns driver = {create, escape, remove};
        driver.showMessageBox = FakeMessageBox;
        InstallStandIns(driver);
    }
};

TEST_F(DisplayPower, ProbeFindsTheInterfaceRegisterFirst)
{
    struct Row {
        int line;
        std::map<int32_t, int> answers;
        int32_t opened;
        int32_t kind;
        std::vector<std::string> sent;
    };
    const Row rows[] = {
        {__LINE__, {{20480, 1}, {24576, 1}, {24577, 1}}, 1, RegisterEscape, {"8:20480"}},
        {__LINE__, {{20480, 5}}, 5, RegisterEscape, {"8:20480"}},
        {__LINE__, {{24576, 3}}, 3, StateEscape, {"8:20480", "8:24576"}},
        // Neither escape: the platform's request.
        {__LINE__, {{24577, 1}}, 1, PlatformRequest, {"8:20480", "8:24576"}},
        {__LINE__, {}, 1, PlatformRequest, {"8:20480", "8:24576"}},
        // A negative answer is the driver's error, not support.
        {__LINE__, {{20480, -1}, {24576, -1}}, 1, PlatformRequest, {"8:20480", "8:24576"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        StartWith(row.answers);
        EXPECT_EQ(row.opened, OpenDisplayPower());
        EXPECT_EQ(row.kind, DisplayPowerInterface);
        EXPECT_EQ(row.sent, Sent());
        EXPECT_EQ(1, Driver.contextRequests);
        EXPECT_TRUE(Driver.boxes.empty());
    }
}

TEST_F(DisplayPower, RegisterRequestsCarryTheBlockAndReadAlAndBh)
{
    struct Row {
        int line;
        uint32_t state, function, ebx;
        int result;
        uint8_t al, bh;
        uint32_t expected;
        int32_t status;
    };
    const Row rows[] = {
        {__LINE__, DisplayPowerOn, ReportCapabilities, 0, 1, 79, 7, 7, 79},
        {__LINE__, DisplayPowerOn, ReportCapabilities, 0, 1, 79, 0xF5, 0xF5, 79},
        {__LINE__, DisplayPowerOn, SetState, 1, 1, 79, 0, 0, 79},
        {__LINE__, DisplayPowerStandby, SetState, 257, 1, 79, 1, 1, 79},
        {__LINE__, DisplayPowerSuspend, SetState, 513, 1, 0x14, 2, 2, 0x14},
        {__LINE__, DisplayPowerOff, SetState, 1025, 1, 79, 4, 4, 79},
        // A failed escape leaves the zeroed reply.
        {__LINE__, DisplayPowerOff, SetState, 1025, 0, 79, 4, 0, 0},
        {__LINE__, DisplayPowerOn, ReportCapabilities, 0, 0, 79, 7, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        StartWith(RegisterDriver);
        QueryCapabilities();
        Driver.escapes.clear();
        DisplayPowerStatus = 33;
        Driver.result = row.result;
        Driver.al = row.al;
        Driver.bh = row.bh;
        EXPECT_EQ(row.expected, DisplayPowerRequest(row.state, row.function));
        EXPECT_EQ(row.status, DisplayPowerStatus);
        ASSERT_EQ(1u, Driver.escapes.size());
        const Escape& escape = Driver.escapes[0];
        EXPECT_EQ("20480", escape.name);
        EXPECT_EQ(Words({20240, row.ebx, 0, 0, 0, 0, 0}), escape.input);
        EXPECT_EQ(28, escape.outputSize);
        EXPECT_EQ(std::string(28, '\0'), escape.output);
    }
}

TEST_F(DisplayPower, StateRecordQueryKeepsTheLastSuccess)
{
    struct Step {
        int line;
        int result;
        uint32_t expected;
    };
    // One process: the status turns 79 on the first success and stays.
    const Step steps[] = {
        {__LINE__, 0, 0},
        {__LINE__, -1, 0},
        {__LINE__, 1, 79},
        {__LINE__, 0, 79},
    };
    StartWith(StateDriver);
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "step at line " << step.line);
        Driver.escapes.clear();
        Driver.result = step.result;
        EXPECT_EQ(step.expected, QueryCapabilities());
        EXPECT_EQ(static_cast<int32_t>(step.expected), DisplayPowerStatus);
        ASSERT_FALSE(Driver.escapes.empty());
        const Escape& escape = Driver.escapes.back();
        EXPECT_EQ("24577", escape.name);
        EXPECT_EQ("", escape.input);
        EXPECT_EQ(12, escape.outputSize);
        EXPECT_EQ(Words({12, 0, 0}), escape.output);
    }
    uint32_t caps = DisplayPowerCapsStandby | DisplayPowerCapsSuspend | DisplayPowerCapsOff;
    EXPECT_EQ(caps, QueryCapabilities() & caps);
}

TEST_F(DisplayPower, StateRecordSetCarriesTheStateCode)
{
    struct Row {
        int line;
        uint32_t state, function, code;
    };
    const Row rows[] = {
        {__LINE__, DisplayPowerOn, SetState, 1},
        {__LINE__, DisplayPowerStandby, SetState, 2},
        {__LINE__, DisplayPowerSuspend, SetState, 3},
        {__LINE__, DisplayPowerOff, SetState, 4},
        {__LINE__, 3, SetState, 1},
        {__LINE__, 8, SetState, 1},
        {__LINE__, 0x104, SetState, 1},
        {__LINE__, DisplayPowerOff, ReportCapabilities, 4},
    };
    StartWith(StateDriver);
    QueryCapabilities();
    for (const Row& row : rows) {
        for (int result : {1, 0}) {
            SCOPED_TRACE(testing::Message() << "row at line " << row.line << ", escape " << result);
            Driver.escapes.clear();
            Driver.result = result;
            EXPECT_EQ(1u, DisplayPowerRequest(row.state, row.function));
            EXPECT_EQ(79, DisplayPowerStatus);
            ASSERT_EQ(1u, Driver.escapes.size());
            const Escape& escape = Driver.escapes[0];
            EXPECT_EQ("24576", escape.name);
            EXPECT_EQ(Words({12, 0, row.code}), escape.input);
            EXPECT_EQ(0, escape.outputSize);
        }
    }
}

TEST_F(DisplayPower, NothingIsSentWithoutAnInterface)
{
    struct Row {
        int line;
        std::map<int32_t, int> answers;
    };
    // Before the first capability query.
    const Row rows[] = {
        {__LINE__, RegisterDriver},
        {__LINE__, StateDriver},
        {__LINE__, {}},
    };
    const uint32_t states[] = {DisplayPowerOn, DisplayPowerStandby, DisplayPowerSuspend,
                               DisplayPowerOff};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        StartWith(row.answers);
        for (uint32_t state : states)
            EXPECT_EQ(0u, DisplayPowerRequest(state, SetState));
        EXPECT_TRUE(Driver.escapes.empty());
        EXPECT_EQ(0, Driver.contextRequests);
        EXPECT_EQ(0, DisplayPowerStatus);
        EXPECT_TRUE(Driver.boxes.empty());
    }
}

TEST_F(DisplayPower, SecondQueryReusesTheContextAndCloseForgetsIt)
{
    struct Row {
        int line;
        std::map<int32_t, int> answers;
        std::vector<std::string> firstQuery;
        std::string queryEscape;
        uint32_t setAfterClose;
    };
    const Row rows[] = {
        {__LINE__, RegisterDriver, {"8:20480", "20480"}, "20480", 0},
        {__LINE__, StateDriver, {"8:20480", "8:24576", "24577"}, "24577", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        StartWith(row.answers);
        QueryCapabilities();
        EXPECT_EQ(row.firstQuery, Sent());
        HDC first = DisplayContext;
        Driver.escapes.clear();

        QueryCapabilities();
        EXPECT_EQ(std::vector<std::string>({row.queryEscape}), Sent());
        EXPECT_EQ(1, Driver.contextRequests);
        EXPECT_EQ(first, DisplayContext);

        int32_t kind = DisplayPowerInterface;
        CloseDisplayPower();
        CloseDisplayPower();
        EXPECT_EQ(std::vector<HDC>({first}), Driver.deleted);
        EXPECT_EQ(nullptr, DisplayContext);
        EXPECT_EQ(kind, DisplayPowerInterface);
        EXPECT_EQ(79, DisplayPowerStatus);
        Driver.escapes.clear();
        EXPECT_EQ(row.setAfterClose, DisplayPowerRequest(DisplayPowerOn, SetState));
        EXPECT_EQ(row.setAfterClose, DisplayPowerRequest(DisplayPowerOff, SetState));
        EXPECT_TRUE(Driver.escapes.empty());
        EXPECT_EQ(79, DisplayPowerStatus);

        // A new context and a new probe, which this time finds only the platform.
        Driver.answers.clear();
        EXPECT_EQ(7u, QueryCapabilities());
        EXPECT_EQ(std::vector<std::string>({"8:20480", "8:24576"}), Sent());
        EXPECT_EQ(2, Driver.contextRequests);
        EXPECT_NE(nullptr, DisplayContext);
        EXPECT_NE(first, DisplayContext);
        EXPECT_EQ(PlatformRequest, DisplayPowerInterface);
        EXPECT_EQ(79, DisplayPowerStatus);
    }
}

// Without a context the box shows on each query, and the platform's request
// still serves; a later context is probed afresh.
TEST_F(DisplayPower, ContextThatCannotBeMadeShowsTheBoxEachTime)
{
    StartWith(RegisterDriver);
    Driver.makesContext = false;
    const std::string box = "0|Create DC Failed!|Video Check|" + std::to_string(MB_OK);
    EXPECT_EQ(7u, QueryCapabilities());
    EXPECT_EQ(7u, QueryCapabilities());
    EXPECT_EQ(2, Driver.contextRequests);
    EXPECT_EQ(std::vector<std::string>({box, box}), Driver.boxes);
    EXPECT_TRUE(Driver.escapes.empty());
    EXPECT_EQ(nullptr, DisplayContext);
    EXPECT_EQ(PlatformRequest, DisplayPowerInterface);
    EXPECT_EQ(79, DisplayPowerStatus);

    Driver.makesContext = true;
    Driver.bh = 5;
    EXPECT_EQ(5u, QueryCapabilities());
    EXPECT_EQ(RegisterEscape, DisplayPowerInterface);
    EXPECT_EQ(2u, Driver.boxes.size());
}

std::vector<LPARAM> MonitorRequests;    // as they reach a window's procedure

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND && wParam == SC_MONITORPOWER)
        MonitorRequests.push_back(lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Wine's display driver answers no private escape: the platform's request goes
// to the saver window alone (a second window of the class would see a
// broadcast), none without one, and no escape follows the probe.
TEST_F(DisplayPower, PlatformRequestGoesToTheSaverWindow)
{
    InstallDriver(nullptr, nullptr, nullptr);
    EXPECT_EQ(7u, QueryCapabilities());
    EXPECT_EQ(PlatformRequest, DisplayPowerInterface);
    EXPECT_EQ(79, DisplayPowerStatus);
    InstallDriver(nullptr, FakeEscape, nullptr);
    const uint32_t states[] = {DisplayPowerStandby, DisplayPowerOff, DisplayPowerOn};
    MonitorRequests.clear();
    for (uint32_t state : states)
        EXPECT_EQ(0u, DisplayPowerRequest(state, SetState)) << "no saver window";

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KelvorinMonitorPowerTest";
    RegisterClassW(&windowClass);
    HWND windows[2];
    for (HWND& window : windows)
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
    SaverWindow = windows[0];
    // Wine keeps one execution state and answers each call with the one before.
    const EXECUTION_STATE former = SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    for (uint32_t state : states)
        EXPECT_EQ(1u, DisplayPowerRequest(state, SetState));
    EXPECT_EQ(std::vector<LPARAM>({1, 2, -1}), MonitorRequests);
    EXPECT_EQ(static_cast<EXECUTION_STATE>(ES_DISPLAY_REQUIRED), SetThreadExecutionState(former))
        << "the \"on\" request must say the display is needed again";
    EXPECT_TRUE(Driver.escapes.empty());
    for (HWND window : windows)
        DestroyWindow(window);
    SaverWindow = nullptr;
    CloseDisplayPower();
}

// The notices of other settings, without a record or of other events are in the
// saver's own report table; here, what each value and length of the two settings says.
TEST(DisplayReport, OnlyTheDisplaySettingsReportAndMonitorPowerKnowsNoDimming)
{
    const struct {
        const GUID* setting;
        DWORD length, value;
        int32_t report;
    } rows[] = {
        {&ConsoleDisplaySetting, 4, 0, DisplayReportOff},    {&ConsoleDisplaySetting, 4, 1, DisplayReportOn},
        {&ConsoleDisplaySetting, 4, 2, DisplayReportDimmed}, {&ConsoleDisplaySetting, 4, 3, DisplayReportNone},
        {&MonitorPowerSetting, 4, 0, DisplayReportOff},      {&MonitorPowerSetting, 4, 1, DisplayReportOn},
        {&MonitorPowerSetting, 4, 2, DisplayReportNone},
        {&MonitorPowerSetting, 4, 0xFFFFFFFF, DisplayReportNone},
        {&ConsoleDisplaySetting, 1, 1, DisplayReportNone},   {&MonitorPowerSetting, 8, 1, DisplayReportNone},
    };
    for (const auto& row : rows) {
        struct {
            GUID setting;
            DWORD length;
            DWORD data[2];
        } notice = {*row.setting, row.length, {row.value, 0}};
        EXPECT_EQ(row.report, DisplayReportOf(PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&notice)))
            << (row.setting == &MonitorPowerSetting ? "monitor power " : "console display ") << row.value
            << ", " << row.length << " bytes";
    }
}

} // namespace
