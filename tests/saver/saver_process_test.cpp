// kelvorin.scr "/s" as a whole process, in each saver mode, with the real
// display driver and device of this machine: it runs and ends on a key, and in
// Chained mode also when the chained saver ends by itself.
#include <gtest/gtest.h>

#include "saver_harness.h"
#include "support/wine_test.h"

namespace {

const wchar_t SaverClass[] = L"WindowsScreenSaverClass";
const wchar_t BoxClass[] = L"#32770";

TEST(SaverRunProcess, EachModeRunsAndEndsOnAKeyWithExitCodeZero)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string logPath = std::string(temp) + "kelvorin-process-chain.log";
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", logPath.c_str());
    const std::string helper = ChainedSaverProgram();
    const std::string common = "Video Managed=1\r\nStandby=1\r\nStandby After=0\r\n"
                               "Drive Standby=1\r\nSpin Down After=0\r\n";
    const std::string chained = "Screen Saver=Chained Test\r\nSCRNSAVE.EXE=" + helper + "\r\n";
    // No stage while the chained saver is to end by itself: a stage would close it.
    const std::string chainedAlone = "Drive Standby=1\r\nSpin Down After=0\r\n" + chained;
    const struct {
        const char* mode;
        std::string keys;
        const char* chainLifetime;      // ms; null: a key ends the run
    } rows[] = {
        {"Logo", common + "Screen Saver=kelvorin.scr\r\n", nullptr},
        {"Blank", common + "Screen Saver=None\r\n", nullptr},
        {"Chained", common + chained, nullptr},
        {"Chained, ends by itself", chainedAlone, "1500"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        DeleteFileA(logPath.c_str());
        SetEnvironmentVariableA("KELVORIN_CHAIN_LIFETIME", row.chainLifetime);
        SetControlIni("[Screen Saver.Kelvorin]\r\n" + row.keys + "PWProtected=1\r\n");
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" /s"));
        HWND window = saver.FindWindowOfClass(SaverClass);
        ASSERT_NE(nullptr, window);
        // Long enough for the first ticks; this machine answers no power escape
        // and has no drive device, so no box may appear either.
        EXPECT_EQ(nullptr, saver.FindWindowOfClass(BoxClass, 1500));
        if (!row.chainLifetime)
            PostMessageW(window, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(0, saver.Wait());
        const DWORD ended = GetTickCount();
        EXPECT_NE(std::string::npos, ControlIniContents().find("PWProtected=0\r\n"));
        if (row.keys.find(chained) != std::string::npos) {
            std::string log;
            EXPECT_TRUE(ReadWholeFile(logPath, &log));
            EXPECT_NE(std::string::npos, log.find("cmdline " + helper + " /S\n")) << log;
            // A key on the saver's own window closes the chained saver too; one
            // that ends by itself ends the run within two ticks.
            EXPECT_EQ(!row.chainLifetime, log.find("WM_CLOSE\n") != std::string::npos) << log;
            const size_t at = log.find("ends itself ");
            EXPECT_EQ(row.chainLifetime != nullptr, at != std::string::npos) << log;
            if (at != std::string::npos)
                EXPECT_GE(2 * TickPeriod, ended - std::stoul(log.substr(at + 12))) << log;
        }
        EndChainedSavers(logPath);
    }
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", nullptr);
    SetEnvironmentVariableA("KELVORIN_CHAIN_LIFETIME", nullptr);
}

} // namespace
