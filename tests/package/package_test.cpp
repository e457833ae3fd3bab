// The MSI packages as an administrator rolls them out: msiexec installs
// kelvorin.scr into the system folder of the package's architecture for the
// whole machine, the setup dialog offers it, a later version replaces it, and
// uninstalling takes the file away and leaves control.ini alone. Each package
// maps the settings to the user's registry key in the views it writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/profile_mapping.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

struct PackageRow {
    const char* package;            // the .msi and the kelvorin.scr it holds, as CMake knows them
    const char* saver;
    const wchar_t* upgradeCode;     // fixed for good in packaging/kelvorin.wxs
    const char* installed;          // where it puts kelvorin.scr, within the Windows directory
    bool view64, view32;            // the registry views that get the mapping, as this build sees them
};
void PrintTo(const PackageRow& row, std::ostream* out) { *out << row.package; }

const wchar_t UpgradeCode32[] = L"{F379FBF4-44E6-49EF-B21A-D2801FD0A3A3}";
// A 64-bit build also installs the 32-bit package of the 32-bit build tree.
const PackageRow Packages[] = {
#ifdef _WIN64
    {KELVORIN_PACKAGE, KELVORIN_PACKED_SAVER, L"{C2BD6122-8678-46BC-AD96-351D5576063D}",
     "system32\\kelvorin.scr", true, true},
    {KELVORIN_WOW64_PACKAGE, KELVORIN_WOW64_SAVER, UpgradeCode32, "syswow64\\kelvorin.scr", false, true},
#else
    // Without WOW64 there is one view, whichever is asked for.
    {KELVORIN_PACKAGE, KELVORIN_PACKED_SAVER, UpgradeCode32, "system32\\kelvorin.scr", true, true},
#endif
};

long Msiexec(const wchar_t* action, const char* package)
{
    const std::string program = SystemFilePath("msiexec.exe");
    ChildProcess installer;
    if (!installer.Start(std::wstring(program.begin(), program.end()),
                         std::wstring(L"msiexec ") + action + L" \"" + WinePath(package) + L"\" /qn"))
        return -1;
    return installer.Wait(60000);
}

// The products of `upgradeCode` installed for the whole machine, each as its `property`,
// or as its product code when that is null.
std::vector<std::wstring> InstalledProducts(const wchar_t* upgradeCode, const wchar_t* property = nullptr)
{
    std::vector<std::wstring> values;
    wchar_t product[39], value[MAX_PATH];
    for (DWORD index = 0; MsiEnumRelatedProductsW(upgradeCode, 0, index, product) == ERROR_SUCCESS; ++index) {
        DWORD size = MAX_PATH;
        value[0] = L'\0';
        MsiGetProductInfoExW(product, nullptr, MSIINSTALLCONTEXT_MACHINE, property, value, &size);
        values.push_back(property ? value : product);
    }
    return values;
}

// Removes what a crashed earlier run, or a failed check, leaves: a product, or the file alone.
class PackageTest : public testing::Test {
protected:
    void SetUp() override { RemoveLeftovers(); }
    void TearDown() override { RemoveLeftovers(); }
    static void RemoveLeftovers()
    {
        for (const PackageRow& row : Packages) {
            for (const std::wstring& product : InstalledProducts(row.upgradeCode))
                MsiConfigureProductExW(product.c_str(), 0, INSTALLSTATE_ABSENT, L"REBOOT=ReallySuppress");
            DeleteFileA(WindowsFilePath(row.installed).c_str());
        }
        RemoveProfileMapping();
    }
    static void ExpectMapping(bool view64, bool view32)
    {
        EXPECT_EQ(view64, ProfileMappingIn(KEY_WOW64_64KEY)) << "the 64-bit view";
        EXPECT_EQ(view32, ProfileMappingIn(KEY_WOW64_32KEY)) << "the 32-bit view";
    }
};
class EveryPackageTest : public PackageTest, public testing::WithParamInterface<PackageRow> {};

TEST_P(EveryPackageTest, InstallsTheSaverAndUninstallRemovesItAlone)
{
    const PackageRow& row = GetParam();
    const std::string installed = WindowsFilePath(row.installed);
    const std::string settings = "[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\n\r\n[other]\r\nkept=yes\r\n";
    SetControlIni(settings);

    ASSERT_EQ(0, Msiexec(L"/i", row.package));
    std::string built, copied;
    ASSERT_TRUE(ReadWholeFile(std::string("Z:") + row.saver, &built)) << row.saver;
    EXPECT_TRUE(ReadWholeFile(installed, &copied) && built == copied) << installed << " is not the build's saver";
    EXPECT_EQ(std::vector<std::wstring>{L"2.1"}, InstalledProducts(row.upgradeCode, L"VersionString"))
        << "one product for the whole machine, version 2.1";
    for (const std::wstring& icon : InstalledProducts(row.upgradeCode, L"ProductIcon"))
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(icon.c_str())) << "no icon in Programs and Features";
    if (installed == SystemFilePath("kelvorin.scr")) {     // where this build's setup dialog looks
        std::vector<std::string> list;
        RunDialogScript(IDD_SETUP, SetupDialogProc,
                        {[&](HWND dialog) { list = ListItems(dialog, IDC_SAVER_LIST); return true; },
                         [](HWND dialog) { Click(dialog, IDCANCEL); return true; }});
        EXPECT_NE(list.end(), std::find(list.begin(), list.end(), "kelvorin.scr"));
    }
    ExpectMapping(row.view64, row.view32);

    SetUserSettings({{"Standby After", "5"}});
    ASSERT_EQ(0, Msiexec(L"/x", row.package));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(installed.c_str()));
    EXPECT_TRUE(InstalledProducts(row.upgradeCode).empty());
    EXPECT_EQ(settings, ControlIniContents());
    ExpectMapping(false, false);
    EXPECT_EQ("5", UserSettings()["Standby After"]) << "a user's settings stay";
}

INSTANTIATE_TEST_SUITE_P(Packages, EveryPackageTest, testing::ValuesIn(Packages));

// Only this build's package has a later version, made for the test.
TEST_F(PackageTest, ALaterVersionReplacesThisOne)
{
    ASSERT_EQ(0, Msiexec(L"/i", Packages[0].package));
    SetUserSettings({{"Standby After", "5"}});
    ASSERT_EQ(0, Msiexec(L"/i", KELVORIN_LATER_PACKAGE));
    EXPECT_EQ(std::vector<std::wstring>{KELVORIN_LATER_VERSION},
              InstalledProducts(Packages[0].upgradeCode, L"VersionString"))
        << "only the later version is installed";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(WindowsFilePath(Packages[0].installed).c_str()));
    ExpectMapping(Packages[0].view64, Packages[0].view32);
    EXPECT_EQ("5", UserSettings()["Standby After"]) << "a user's settings stay";
}

#ifdef _WIN64
// The 32-bit view's mapping is one component of both packages: it stays while either does.
TEST_F(PackageTest, WithBothPackagesRemovingOneKeepsTheMapping)
{
    for (int removed : {0, 1}) {
        SCOPED_TRACE(Packages[removed].package);
        ASSERT_EQ(0, Msiexec(L"/i", Packages[0].package));
        ASSERT_EQ(0, Msiexec(L"/i", Packages[1].package));
        ASSERT_EQ(0, Msiexec(L"/x", Packages[removed].package));
        ExpectMapping(Packages[1 - removed].view64, true);
        ASSERT_EQ(0, Msiexec(L"/x", Packages[1 - removed].package));
        ExpectMapping(false, false);
    }
}
#endif

}  // namespace
