// Settings moving into the user's registry key once the package maps them there:
// from which old file, only once, exactly as text, and with both files untouched.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "host/host.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/profile_mapping.h"
#include "support/wine_test.h"

namespace {

using Values = std::map<std::string, std::string>;

const std::string Shared = "[other]\r\nkept=yes\r\n[Screen Saver.Kelvorin]\r\nStandby After=7\r\n"
                           "Screen Saver=Gone  Saver (v2)\r\nSCRNSAVE.EXE=\"C:\\x y\\gone.scr\"\r\nMouse=\r\n";
const std::string Own = "[Screen Saver.Kelvorin]\r\nStandby After=12\r\nVideo Managed=1\r\n";
const std::string NoSection = "[other]\r\nkept=yes\r\n";
const Values FromShared = {{"Standby After", "7"}, {"Screen Saver", "Gone  Saver (v2)"},
                           {"SCRNSAVE.EXE", "\"C:\\x y\\gone.scr\""}, {"Mouse", ""}};
const Values FromOwn = {{"Standby After", "12"}, {"Video Managed", "1"}};
const Values Saved = {{"Standby After", "3"}};

std::string VirtualStorePath()
{
    char local[MAX_PATH];
    GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    return std::string(local) + "\\VirtualStore\\windows\\control.ini";
}

std::string Contents(const std::string& path)
{
    std::string contents;
    ReadWholeFile(path, &contents);
    return contents;
}

void PlaceFile(const std::string& path, const char* contents)
{
    FlushProfileCache();
    DeleteFileA(path.c_str());
    if (contents)
        WriteWholeFile(path, contents);
}

class CarryOverTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = VirtualStorePath();
        for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
            CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
        DeleteFileA(path.c_str());
    }
    void TearDown() override { DeleteFileA(VirtualStorePath().c_str()); }
};

TEST_F(CarryOverTest, TheUsersOldSettingsMoveOnceIntoANewMappedKey)
{
    const struct {
        const char* name;
        bool mapped;
        const char* shared;         // control.ini in the Windows folder; null: none
        const char* own;            // the user's virtualized copy; null: none
        const Values* before;       // the user's key before; null: none
        bool ownLocked;             // the copy is there but cannot be read
        Values after;
        int standbyAfter;           // as the saver run then loads it
    } rows[] = {
        {"no old file", true, nullptr, nullptr, nullptr, false, {}, 0},
        {"the shared file only", true, Shared.c_str(), nullptr, nullptr, false, FromShared, 7},
        {"the user's copy only", true, nullptr, Own.c_str(), nullptr, false, FromOwn, 12},
        {"both: the user's copy wins", true, Shared.c_str(), Own.c_str(), nullptr, false, FromOwn, 12},
        {"a key saved before stays", true, Shared.c_str(), Own.c_str(), &Saved, false, Saved, 3},
        {"files without the section", true, NoSection.c_str(), NoSection.c_str(), nullptr, false, {}, 0},
        {"the user's copy cannot be read", true, Shared.c_str(), Own.c_str(), nullptr, true, {}, 0},
        {"no package: the file stays the store", false, Shared.c_str(), Own.c_str(), nullptr, false, {}, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RemoveProfileMapping();
        PlaceFile(ControlIniPath(), row.shared);
        PlaceFile(VirtualStorePath(), row.own);
        if (row.mapped)
            InstallProfileMapping();
        if (row.before)
            SetUserSettings(*row.before);
        HANDLE lock = row.ownLocked ? CreateFileA(VirtualStorePath().c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
        CarryOverSettings();
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        bool exists;
        EXPECT_EQ(row.after, UserSettings(&exists));
        EXPECT_EQ(row.before || !row.after.empty(), exists) << "an empty key would stop a later copy";
        EXPECT_EQ(row.shared ? row.shared : "", Contents(ControlIniPath()));
        EXPECT_EQ(row.own ? row.own : "", Contents(VirtualStorePath()));
        // A second run copies nothing, whatever the files hold by then.
        PlaceFile(VirtualStorePath(), "[Screen Saver.Kelvorin]\r\nOff After=9\r\n");
        CarryOverSettings();
        if (exists)
            EXPECT_EQ(row.after, UserSettings()) << "second run";
        LoadSettings(true);
        EXPECT_EQ(row.standbyAfter, SaverSettings.StandbyAfter);
    }
}

// Under the mapping a failed save names the user's key, and no hint to install the package.
TEST_F(CarryOverTest, UnderTheMappingAFailedSaveNamesTheUsersKey)
{
    InstallProfileMapping();
    wchar_t text[1024];
    FormatSaveFailure(ERROR_ACCESS_DENIED, text, 1024);
    const std::string shown = Utf8(text);
    EXPECT_NE(std::string::npos, shown.find("HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Kelvorin.\r\n")) << shown;
    EXPECT_EQ(std::string::npos, shown.find("package")) << shown;
}

} // namespace
