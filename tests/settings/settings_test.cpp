// The settings record in control.ini: defaults, the saver-mode rule, number and
// text reading, the password flag, and the exact file that writes leave behind.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "host/host.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

// Lines of an initialization file, each ended by CRLF as the platform writes them.
std::string Ini(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const char Section[] = "[Screen Saver.Kelvorin]";

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        // Every field must come from the load, not from an earlier test.
        memset(&SaverSettings, 0xA5, sizeof SaverSettings);
        SaverMode = -1;
        PWProtectedRestore = -1;
    }
    void LoadFrom(const std::string& contents, bool chainedCopy = false)
    {
        SetControlIni(contents);
        LoadSettings(chainedCopy);
    }
};

TEST_F(Settings, NoFileGivesEveryDefaultAndWritesNothing)
{
    RemoveControlIni();
    LoadSettings(true);
    const SaverSettingsRecord& s = SaverSettings;
    EXPECT_EQ(1, s.SpinDownAfter);
    EXPECT_EQ(0, s.DriveStandby);
    EXPECT_EQ(0, s.VideoManaged);
    EXPECT_EQ(0, s.Suspend);
    EXPECT_EQ(0, s.Off);
    EXPECT_EQ(0, s.Standby);
    EXPECT_EQ(1, s.Mouse);
    EXPECT_EQ(0, s.PWProtected);
    EXPECT_EQ(0, s.SuspendAfter);
    EXPECT_EQ(0, s.StandbyAfter);
    EXPECT_EQ(0, s.OffAfter);
    EXPECT_EQ(0, s.ScreenSaverSpeed);
    EXPECT_STREQ("None", s.ScreenSaver);
    EXPECT_STREQ("None", s.ScrnsaveExe);
    EXPECT_EQ(SaverModeBlank, SaverMode);
    EXPECT_EQ(0, PWProtectedRestore);
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(ControlIniPath(), &contents));
}

TEST_F(Settings, SaverModeFollowsTheName)
{
    const struct {
        int line;
        const char* name;
        int mode;
    } rows[] = {
        {__LINE__, "None", SaverModeBlank},
        {__LINE__, "Nonesuch", SaverModeBlank},
        {__LINE__, "None.scr", SaverModeBlank},
        {__LINE__, "none", SaverModeChained},
        {__LINE__, "NONE", SaverModeChained},
        {__LINE__, "Non", SaverModeChained},
        {__LINE__, "", SaverModeChained},
        {__LINE__, "Marquee", SaverModeChained},
        {__LINE__, "kelvorin.scr", SaverModeLogo},
        {__LINE__, "C:\\WINDOWS\\SYSTEM\\kelvorin.scr", SaverModeLogo},
        {__LINE__, "None kelvorin", SaverModeLogo},
        {__LINE__, "Kelvorin", SaverModeChained},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        EXPECT_EQ(row.mode, SaverModeOf(row.name));
        LoadFrom(Ini({Section, (std::string("Screen Saver=") + row.name).c_str()}));
        EXPECT_STREQ(row.name, SaverSettings.ScreenSaver);
        EXPECT_EQ(row.mode, SaverMode);
    }
}

// A renamed copy of this module chosen as the saver must not start itself.
TEST_F(Settings, OwnModuleUnderAnotherNameShowsTheLogo)
{
    const char own[] = "C:\\tools\\power.scr";
    const struct {
        const char* module;
        const char* path;
        int mode;
    } rows[] = {{own, own, SaverModeLogo}, {own, "c:\\TOOLS\\POWER.SCR", SaverModeLogo},
                {own, "C:\\tools\\other.scr", SaverModeChained}, {"", "", SaverModeChained}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "module \"" << row.module << "\", saver \"" << row.path << "\"");
        lstrcpynA(ModulePath, row.module, sizeof ModulePath);
        LoadFrom(Ini({Section, "Screen Saver=power.scr", (std::string("SCRNSAVE.EXE=") + row.path).c_str()}));
        EXPECT_EQ(row.mode, SaverMode);
    }
    ModulePath[0] = '\0';
}

TEST_F(Settings, EmptyValueIsNotAnAbsentKey)
{
    LoadFrom(Ini({Section, "Screen Saver=", "SCRNSAVE.EXE="}));
    EXPECT_STREQ("", SaverSettings.ScreenSaver);
    EXPECT_STREQ("", SaverSettings.ScrnsaveExe);
    EXPECT_EQ(SaverModeChained, SaverMode);
    LoadFrom(Ini({Section, "Mouse=3"}));
    EXPECT_STREQ("None", SaverSettings.ScreenSaver);
    EXPECT_STREQ("None", SaverSettings.ScrnsaveExe);
    EXPECT_EQ(SaverModeBlank, SaverMode);
}

TEST_F(Settings, NumbersAreKeptAsReadCutTo16Bits)
{
    LoadFrom(Ini({Section, "Spin Down After=70000", "Standby After=150", "Suspend After=65536",
                  "Off After=99", "Screen Saver Speed=7", "Drive Standby=2", "Video Managed=1",
                  "Suspend=1", "Off=1", "Standby=70000", "Mouse=3", "PWProtected=1"}));
    const SaverSettingsRecord& s = SaverSettings;
    EXPECT_EQ(4464, s.SpinDownAfter);
    EXPECT_EQ(150, s.StandbyAfter);
    EXPECT_EQ(0, s.SuspendAfter);
    EXPECT_EQ(99, s.OffAfter);
    EXPECT_EQ(7, s.ScreenSaverSpeed);
    EXPECT_EQ(2, s.DriveStandby);
    EXPECT_EQ(1, s.VideoManaged);
    EXPECT_EQ(1, s.Suspend);
    EXPECT_EQ(1, s.Off);
    EXPECT_EQ(70000, s.Standby);
    EXPECT_EQ(3, s.Mouse);
    EXPECT_EQ(0, s.PWProtected);
    EXPECT_EQ(0, PWProtectedRestore);

    // A value that is not a number reads as 0, not as the default.
    LoadFrom(Ini({Section, "Spin Down After=soon", "Mouse=x"}));
    EXPECT_EQ(0, SaverSettings.SpinDownAfter);
    EXPECT_EQ(0, SaverSettings.Mouse);
}

TEST_F(Settings, LongTextsAreCut)
{
    std::string name(300, 'n'), path = "C:\\" + std::string(100, 'p');
    LoadFrom(Ini({Section, ("Screen Saver=" + name).c_str(), ("SCRNSAVE.EXE=" + path).c_str()}));
    EXPECT_EQ(name.substr(0, 254), SaverSettings.ScreenSaver);
    EXPECT_EQ(path.substr(0, 59), SaverSettings.ScrnsaveExe);
}

// The chained saver's own password flag is copied only by a saver run's load in Chained mode.
TEST_F(Settings, ChainedSaverPasswordIsCopiedOnlyInAChainedRun)
{
    const std::string marquee = Ini({Section, "Screen Saver=Marquee", "PWProtected=0",
                                     "[Screen Saver.Marquee]", "PWProtected=1"});
    const struct {
        int line;
        std::string before;
        bool chainedCopy;
        int32_t flag;
        std::string after;
    } rows[] = {
        {__LINE__, marquee, true, 1,
         Ini({Section, "Screen Saver=Marquee", "PWProtected=1", "[Screen Saver.Marquee]",
              "PWProtected=1"})},
        {__LINE__, marquee, false, 0, marquee},
        {__LINE__, Ini({Section, "Screen Saver=Marquee", "[Other]", "PWProtected=1"}), true, 0,
         Ini({Section, "Screen Saver=Marquee", "PWProtected=0", "[Other]", "PWProtected=1"})},
        {__LINE__, Ini({Section, "Screen Saver=kelvorin.scr", "[Screen Saver.kelvorin.scr]",
                        "PWProtected=1"}),
         true, 0,
         Ini({Section, "Screen Saver=kelvorin.scr", "[Screen Saver.kelvorin.scr]",
              "PWProtected=1"})},
        {__LINE__, Ini({Section, "Screen Saver=Nonesuch", "[Screen Saver.Nonesuch]",
                        "PWProtected=1"}),
         true, 0,
         Ini({Section, "Screen Saver=Nonesuch", "[Screen Saver.Nonesuch]", "PWProtected=1"})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        LoadFrom(row.before, row.chainedCopy);
        EXPECT_EQ(row.flag, SaverSettings.PWProtected);
        EXPECT_EQ(0, PWProtectedRestore);
        EXPECT_EQ(row.after, ControlIniContents());
    }
}

TEST_F(Settings, SaveAfterEmptyLoadWritesEveryKeyInOrder)
{
    LoadFrom("");
    SaveSettings("Marquee", "C:\\WINDOWS\\SYSTEM\\MARQUEE.SCR");
    EXPECT_EQ(Ini({Section, "Drive Standby=0", "Video Managed=0", "Suspend=0", "Off=0",
                   "Standby=0", "Mouse=1", "PWProtected=0", "Suspend After=0", "Standby After=0",
                   "Off After=0", "Spin Down After=1", "Screen Saver Speed=0",
                   "Screen Saver=Marquee", "SCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\MARQUEE.SCR"}),
              ControlIniContents());
    EXPECT_STREQ("Marquee", SaverSettings.ScreenSaver);
    EXPECT_EQ(SaverModeChained, SaverMode);
}

// Keys are replaced where they stand, new keys go to the end of the section,
// and everything else stays as it was.
TEST_F(Settings, SaveLeavesOtherSectionsAndKeysAlone)
{
    LoadFrom(Ini({"[Desktop]", "Pattern=(None)", Section, "Mouse=1", "Extra=keep me",
                  "Standby After=5", "[Screen Saver.Marquee]", "PWProtected=1", "Speed=3"}));
    SaverSettingsRecord& s = SaverSettings;
    s.DriveStandby = -1;
    s.Mouse = 3;
    s.PWProtected = 1;
    s.StandbyAfter = 65535;
    s.OffAfter = 12;
    SaveSettings(s.ScreenSaver, "");
    EXPECT_EQ(Ini({"[Desktop]", "Pattern=(None)", Section, "Mouse=3", "Extra=keep me",
                   "Standby After=65535", "Drive Standby=4294967295", "Video Managed=0",
                   "Suspend=0", "Off=0", "Standby=0", "PWProtected=1", "Suspend After=0",
                   "Off After=12", "Spin Down After=1", "Screen Saver Speed=0",
                   "Screen Saver=None", "SCRNSAVE.EXE=", "[Screen Saver.Marquee]",
                   "PWProtected=1", "Speed=3"}),
              ControlIniContents());
    EXPECT_EQ(SaverModeBlank, SaverMode);
}

TEST_F(Settings, SingleNumbersAreWrittenAndReadAtOnce)
{
    SetControlIni(Ini({"[Other]", "Off=9", Section, "Off=1"}));
    WriteSettingNumber(ApplicationSection(), "Off", 0);
    WriteSettingNumber(ApplicationSection(), "Standby After", 5);
    WriteSettingNumber("Other", "Big", 4294967295u);
    EXPECT_EQ(Ini({"[Other]", "Off=9", "Big=4294967295", Section, "Off=0", "Standby After=5"}),
              ControlIniContents());
    EXPECT_EQ(5u, ReadSettingNumber("Standby After", 1));
    SetControlIni(Ini({Section, "Standby After=7"}));
    EXPECT_EQ(7u, ReadSettingNumber("Standby After", 1));
    EXPECT_EQ(1u, ReadSettingNumber("Off After", 1));
}

} // namespace
