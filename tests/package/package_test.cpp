// The MSI packages as an administrator rolls them out: msiexec installs
// kelvorin.scr into the system folder of the package's architecture for the
// whole machine, the setup dialog offers it, a later version replaces it, and
// uninstalling takes the file away and leaves control.ini alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

std::string Wow64Directory()
{
    char directory[MAX_PATH] = {};
    GetSystemWow64DirectoryA(directory, MAX_PATH);
    return directory;
}

struct PackageRow {
    const char* package;            // the .msi and the kelvorin.scr it holds, as CMake knows them
    const char* saver;
    const wchar_t* upgradeCode;     // fixed for good in packaging/kelvorin.wxs
    std::string (*folder)();        // where it installs kelvorin.scr
    bool listed;                    // this build's setup dialog lists that folder
};
void PrintTo(const PackageRow& row, std::ostream* out) { *out << row.package; }

// A 64-bit build also installs the 32-bit package of the 32-bit build tree.
const PackageRow Packages[] = {
#ifdef _WIN64
    {KELVORIN_PACKAGE, KELVORIN_BUILD_DIR "/kelvorin.scr", L"{C2BD6122-8678-46BC-AD96-351D5576063D}", SystemDirectory,
     true},
    {KELVORIN_WOW64_PACKAGE, KELVORIN_WOW64_SAVER, L"{F379FBF4-44E6-49EF-B21A-D2801FD0A3A3}", Wow64Directory,
     false},
#else
    {KELVORIN_PACKAGE, KELVORIN_BUILD_DIR "/kelvorin.scr", L"{F379FBF4-44E6-49EF-B21A-D2801FD0A3A3}", SystemDirectory,
     true},
#endif
};

long Msiexec(const char* action, const char* package)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    ChildProcess installer;
    if (!installer.Start(std::wstring(system) + L"\\msiexec.exe",
                         L"msiexec " + std::wstring(action, action + strlen(action)) + L" \"" + WinePath(package) + L"\" /qn"))
        return -1;
    return installer.Wait(60000);
}

std::vector<std::wstring> InstalledProducts(const wchar_t* upgradeCode)
{
    std::vector<std::wstring> products;
    wchar_t product[39];
    for (DWORD index = 0; MsiEnumRelatedProductsW(upgradeCode, 0, index, product) == ERROR_SUCCESS; ++index)
        products.push_back(product);
    return products;
}

// A property of a product installed for the whole machine; empty when there is none.
std::wstring MachineProductInfo(const std::wstring& product, const wchar_t* property)
{
    wchar_t value[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    MsiGetProductInfoExW(product.c_str(), nullptr, MSIINSTALLCONTEXT_MACHINE, property, value, &size);
    return value;
}

// What a crashed earlier run, or a failed check, leaves: a product, or the file alone.
void RemoveLeftovers(const PackageRow& row)
{
    for (const std::wstring& product : InstalledProducts(row.upgradeCode))
        MsiConfigureProductExW(product.c_str(), 0, INSTALLSTATE_ABSENT, L"REBOOT=ReallySuppress");
    DeleteFileA((row.folder() + "\\kelvorin.scr").c_str());
}

class PackageTest : public testing::TestWithParam<PackageRow> {
protected:
    void SetUp() override { RemoveLeftovers(GetParam()); }
    void TearDown() override { RemoveLeftovers(GetParam()); }
};

TEST_P(PackageTest, InstallsTheSaverAndUninstallRemovesItAlone)
{
    const PackageRow& row = GetParam();
    const std::string installed = row.folder() + "\\kelvorin.scr";
    const std::string settings = "[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\n\r\n[other]\r\nkept=yes\r\n";
    SetControlIni(settings);

    ASSERT_EQ(0, Msiexec("/i", row.package));
    std::string built, copied;
    ASSERT_TRUE(ReadWholeFile(std::string("Z:") + row.saver, &built)) << row.saver;
    ReadWholeFile(installed, &copied);
    EXPECT_TRUE(built == copied) << installed << " is not the build's kelvorin.scr";
    const std::vector<std::wstring> products = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(1u, products.size());
    EXPECT_EQ(L"2.1", MachineProductInfo(products[0], L"VersionString")) << "per machine, version 2.1";
    const std::wstring icon = MachineProductInfo(products[0], L"ProductIcon");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(icon.c_str())) << "no icon in Programs and Features";
    if (row.listed) {
        std::vector<std::string> list;
        RunDialogScript(IDD_SETUP, SetupDialogProc,
                        {[&](HWND dialog) { list = ListItems(dialog, IDC_SAVER_LIST); return true; },
                         [](HWND dialog) { Click(dialog, IDCANCEL); return true; }});
        EXPECT_NE(list.end(), std::find(list.begin(), list.end(), "kelvorin.scr"));
    }

    ASSERT_EQ(0, Msiexec("/x", row.package));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(installed.c_str()));
    EXPECT_TRUE(InstalledProducts(row.upgradeCode).empty());
    EXPECT_EQ(settings, ControlIniContents());
}

INSTANTIATE_TEST_SUITE_P(Packages, PackageTest, testing::ValuesIn(Packages));

// Only this build's package has a later version, made for the test.
class LaterVersionTest : public testing::Test {
protected:
    void SetUp() override { RemoveLeftovers(Packages[0]); }
    void TearDown() override { RemoveLeftovers(Packages[0]); }
};

TEST_F(LaterVersionTest, ReplacesThisOne)
{
    const PackageRow& row = Packages[0];
    ASSERT_EQ(0, Msiexec("/i", row.package));
    const std::vector<std::wstring> first = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(0, Msiexec("/i", KELVORIN_LATER_PACKAGE));
    const std::vector<std::wstring> later = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(1u, later.size()) << "the earlier version is still installed";
    EXPECT_NE(first, later);
    EXPECT_EQ(KELVORIN_LATER_VERSION, MachineProductInfo(later[0], L"VersionString"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((row.folder() + "\\kelvorin.scr").c_str()));
}

}  // namespace
