// Saver runs under injected faults: a display that cannot be opened or whose
// escapes fail, a device that refuses, and control.ini read-only, garbled,
// oversized or without our section. Every run ends on its wake-up, turns the
// display back on and leaves every other section of control.ini as it was.
#include <gtest/gtest.h>

#include <functional>

#include "power/standby_device.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/ini_faults.h"
#include "support/wine_test.h"

namespace {

const char Others[] = "[Desktop]\r\nPattern=(None)\r\n";
const char Marquee[] = "[Screen Saver.Marquee]\r\nPWProtected=1\r\n";

struct HardwareFaultRow {
    int line;
    const char* name;
    std::function<void(SaverHarness&)> inject;
    bool endByQuit;                     // else by a key
    bool driveLeftDown;                 // the device refused to spin it up
    std::vector<std::string> events;    // everything the display and the device saw
    std::vector<std::string> boxes;
};

bool SpinDownOnly(DWORD code)
{
    return code == SpinDown;
}

TEST(SaverFaults, DisplayAndDeviceFaultsEndTheRunInOrder)
{
    const HardwareFaultRow rows[] = {
        {__LINE__, "display context cannot be made", [](SaverHarness& h) { h.contextFails = true; },
         false, false,
         {"drive SpinDown", "monitor 1", "monitor -1", "drive SpinUp", "device closed"},
         {"Video Check: Create DC Failed!"}},
        {__LINE__, "register capability escape fails", [](SaverHarness& h) { h.queryFails = true; },
         false, false,
         {"display capabilities", "drive SpinDown", "drive SpinUp", "display closed",
          "device closed"}},
        {__LINE__, "state-record capability escape fails",
         [](SaverHarness& h) { h.stateRecordDriver = h.queryFails = true; }, false, false,
         {"display capabilities", "drive SpinDown", "drive SpinUp", "display closed",
          "device closed"}},
        {__LINE__, "register state escapes fail", [](SaverHarness& h) { h.setFails = true; },
         false, false,
         {"display capabilities", "drive SpinDown", "display Standby", "display On",
          "drive SpinUp", "display closed", "device closed"}},
        {__LINE__, "state-record state escapes fail",
         [](SaverHarness& h) { h.stateRecordDriver = h.setFails = true; }, false, false,
         {"display capabilities", "drive SpinDown", "display Standby", "display On",
          "drive SpinUp", "display closed", "device closed"}},
        {__LINE__, "device refuses everything",
         [](SaverHarness& h) { h.deviceAnswer = [](DWORD) { return false; }; }, false, false,
         {"display capabilities", "drive SpinDown", "display Standby", "drive SpinDown",
          "display On", "display closed", "device closed"}},
        {__LINE__, "device refuses the spin-up, run shut down by a quit message",
         [](SaverHarness& h) { h.deviceAnswer = SpinDownOnly; }, true, true,
         {"display capabilities", "drive SpinDown", "display Standby", "drive SpinUp",
          "display On", "drive SpinUp", "display closed", "device closed"}},
        {__LINE__, "device does not open", [](SaverHarness& h) { h.deviceOpens = false; }, false, false,
         {"display capabilities", "display Standby", "display On", "display closed"}},
    };
    for (const HardwareFaultRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line << ": " << row.name);
        SaverHarness saver;
        row.inject(saver);
        const std::string ini = Others
                                + SaverIni({"Screen Saver=None", "Video Managed=1", "Standby=1",
                                            "Standby After=0", "Drive Standby=1",
                                            "Spin Down After=0", "PWProtected=1"})
                                + Marquee;
        ASSERT_NE(nullptr, saver.Open(ini));
        saver.Ticks(2);
        if (row.endByQuit)
            PostMessageW(saver.window, WM_QUIT, 0, 0);
        else
            SendMessageW(saver.window, WM_KEYDOWN, 'A', 0);
        EXPECT_TRUE(saver.Pump(100)) << "the run posted its quit message";
        EXPECT_FALSE(IsWindow(saver.window));
        EXPECT_EQ(row.events, saver.EventsSince(0));
        EXPECT_EQ(row.boxes, saver.boxes);
        EXPECT_EQ(row.driveLeftDown, SaverRunState.DriveSpunDown != 0);
        const std::string after = ControlIniContents();
        EXPECT_EQ(OutsideApplicationSection(ini), OutsideApplicationSection(after));
        EXPECT_EQ(0u, GetPrivateProfileIntA(ApplicationSection(), "PWProtected", -1, "control.ini"));
    }
}

// kelvorin.scr "/s" as a process over each broken control.ini, with this
// machine's display driver and no drive device.
TEST(SaverFaults, BrokenControlIniStillRunsAndEndsOnAKey)
{
    for (const IniFault& fault : ControlIniFaults()) {
        SCOPED_TRACE(fault.name);
        PlacedIniFault placed(fault);
        const std::string before = ControlIniContents();
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" /s"));
        HWND window = saver.FindWindowOfClass(L"WindowsScreenSaverClass");
        ASSERT_NE(nullptr, window);
        // The first tick, a tenth of a second in, starts the other saver if one is named.
        HWND box = saver.FindWindowOfClass(L"#32770", fault.namesOtherSaver ? 3000 : 300);
        wchar_t caption[40] = L"";
        if (box)
            GetWindowTextW(box, caption, 40);
        EXPECT_EQ(fault.namesOtherSaver ? std::wstring(L"CreateProcess") : std::wstring(),
                  caption);
        // The key reaches the saver window through the box's own message loop.
        PostMessageW(window, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(0, saver.Wait());
        const std::string after = ControlIniContents();
        if (fault.readOnly) {
            EXPECT_EQ(before, after);
            continue;
        }
        EXPECT_EQ(OutsideApplicationSection(before), OutsideApplicationSection(after));
        EXPECT_EQ(0u, GetPrivateProfileIntA(ApplicationSection(), "PWProtected", -1, "control.ini"))
            << after;
    }
}

} // namespace
