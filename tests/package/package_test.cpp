// The MSI packages as an administrator rolls them out: msiexec installs
// kelvorin.scr into the system folder of the package's architecture, registers
// it for Programs and Features, the setup dialog offers it, a later version
// replaces it, and uninstalling takes the file away and leaves control.ini alone.
#include <gtest/gtest.h>
#include <msi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/host.h"
#include "resources/resource.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

// Fixed for good in packaging/kelvorin.wxs: a later version finds the earlier one by it.
const wchar_t X86UpgradeCode[] = L"{F379FBF4-44E6-49EF-B21A-D2801FD0A3A3}";
const wchar_t X64UpgradeCode[] = L"{C2BD6122-8678-46BC-AD96-351D5576063D}";
const DWORD InstallerMilliseconds = 60000;

std::string Wow64Directory()
{
    char directory[MAX_PATH] = {};
    GetSystemWow64DirectoryA(directory, MAX_PATH);
    return directory;
}

struct PackageRow {
    const char* name;
    const char* package;            // the .msi, as CMake knows it
    const char* saver;              // the kelvorin.scr it was made from
    const wchar_t* upgradeCode;
    const wchar_t* productName;     // in Programs and Features
    std::string (*folder)();        // where it installs kelvorin.scr
    bool listed;                    // this build's setup dialog lists that folder
};

void PrintTo(const PackageRow& row, std::ostream* out)
{
    *out << row.name;
}

// The package of this build; a 64-bit build also installs the 32-bit package
// of the 32-bit build tree, which goes to SysWOW64.
const PackageRow Packages[] = {
#ifdef _WIN64
    {"64-bit package", KELVORIN_PACKAGE, KELVORIN_BUILD_DIR "/kelvorin.scr", X64UpgradeCode,
     L"Kelvorin (64-bit)", SystemDirectory, true},
    {"32-bit package", KELVORIN_WOW64_PACKAGE, KELVORIN_WOW64_SAVER, X86UpgradeCode,
     L"Kelvorin", Wow64Directory, false},
#else
    {"32-bit package", KELVORIN_PACKAGE, KELVORIN_BUILD_DIR "/kelvorin.scr", X86UpgradeCode,
     L"Kelvorin", SystemDirectory, true},
#endif
};

// Runs "msiexec <action> <package> /qn"; returns its exit code.
long Msiexec(const char* action, const char* package)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\msiexec.exe";
    const std::wstring line = L"msiexec " + std::wstring(action, action + strlen(action)) + L" \"" +
                              WinePath(package) + L"\" /qn";
    ChildProcess installer;
    if (!installer.Start(program, line))
        return -1;
    return installer.Wait(InstallerMilliseconds);
}

// The product codes installed under this upgrade code.
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
    if (MsiGetProductInfoExW(product.c_str(), nullptr, MSIINSTALLCONTEXT_MACHINE, property, value, &size) !=
        ERROR_SUCCESS)
        return L"";
    return value;
}

// The file's fixed version as major.minor, or 0 when it has none.
DWORD FileVersion(const std::string& path)
{
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return 0;
    return fixed->dwFileVersionMS;
}

std::vector<std::string> SetupDialogSaverList()
{
    std::vector<std::string> list;
    RunDialogScript(IDD_SETUP, SetupDialogProc,
                    {[&](HWND dialog) {
                         list = ListItems(dialog, IDC_SAVER_LIST);
                         return true;
                     },
                     [](HWND dialog) {
                         Click(dialog, IDCANCEL);
                         return true;
                     }});
    return list;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A build-tree path as Wine sees it, for the narrow file functions.
std::string BuildFile(const char* unixPath)
{
    const std::wstring path = WinePath(unixPath);
    return std::string(path.begin(), path.end());
}

std::string InstalledSaver(const PackageRow& row)
{
    return row.folder() + "\\kelvorin.scr";
}

// What a crashed earlier run may have left: an installed product, or the file alone.
void RemoveLeftovers(const PackageRow& row)
{
    for (const std::wstring& product : InstalledProducts(row.upgradeCode))
        MsiConfigureProductExW(product.c_str(), 0, INSTALLSTATE_ABSENT, L"REBOOT=ReallySuppress");
    DeleteFileA(InstalledSaver(row).c_str());
}

class PackageTest : public testing::TestWithParam<PackageRow> {
protected:
    std::string installed;

    void SetUp() override
    {
        const PackageRow& row = GetParam();
        installed = InstalledSaver(row);
        ASSERT_TRUE(Exists(BuildFile(row.package))) << row.package << " is missing; tools/test.sh builds it";
        RemoveLeftovers(row);
    }
    // A failed check leaves nothing behind for the tests that follow.
    void TearDown() override { RemoveLeftovers(GetParam()); }
};

TEST_P(PackageTest, InstallsTheSaverAndUninstallRemovesItAlone)
{
    const PackageRow& row = GetParam();
    const std::string settings =
        "[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\n\r\n[other]\r\nkept=yes\r\n";
    SetControlIni(settings);

    ASSERT_EQ(0, Msiexec("/i", row.package));
    std::string built, copied;
    ASSERT_TRUE(ReadWholeFile(BuildFile(row.saver), &built));
    ASSERT_TRUE(ReadWholeFile(installed, &copied)) << installed;
    EXPECT_EQ(built.size(), copied.size());
    EXPECT_TRUE(built == copied) << "the installed file is the build's kelvorin.scr";
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(1, 2)), FileVersion(installed));

    const std::vector<std::wstring> products = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(1u, products.size());
    EXPECT_EQ(L"2.1", MachineProductInfo(products[0], L"VersionString")) << "per machine, 2.1";
    EXPECT_EQ(row.productName, MachineProductInfo(products[0], L"ProductName"));
    EXPECT_EQ(L"Kelvorin Software", MachineProductInfo(products[0], L"Publisher"));
    const std::wstring icon = MachineProductInfo(products[0], L"ProductIcon");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(icon.c_str())) << "Programs and Features icon";
    if (row.listed) {
        const std::vector<std::string> list = SetupDialogSaverList();
        EXPECT_NE(list.end(), std::find(list.begin(), list.end(), "kelvorin.scr"));
    }

    ASSERT_EQ(0, Msiexec("/x", row.package));
    EXPECT_FALSE(Exists(installed));
    EXPECT_TRUE(InstalledProducts(row.upgradeCode).empty());
    EXPECT_EQ(settings, ControlIniContents());
}

INSTANTIATE_TEST_SUITE_P(Packages, PackageTest, testing::ValuesIn(Packages),
                         [](const testing::TestParamInfo<PackageRow>& info) {
                             return std::string(info.param.name).substr(0, 2) + "bit";
                         });

TEST(PackageUpgrade, LaterVersionReplacesThisOne)
{
    const PackageRow& row = Packages[0];
    const std::string installed = InstalledSaver(row);
    RemoveLeftovers(row);
    struct Leftovers {
        const PackageRow& row;
        ~Leftovers() { RemoveLeftovers(row); }
    } removedAtTheEnd{row};

    ASSERT_EQ(0, Msiexec("/i", row.package));
    const std::vector<std::wstring> first = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(0, Msiexec("/i", KELVORIN_LATER_PACKAGE));
    const std::vector<std::wstring> later = InstalledProducts(row.upgradeCode);
    ASSERT_EQ(1u, first.size());
    ASSERT_EQ(1u, later.size()) << "the earlier version is gone";
    EXPECT_NE(first[0], later[0]);
    EXPECT_EQ(KELVORIN_LATER_VERSION, MachineProductInfo(later[0], L"VersionString"));
    EXPECT_TRUE(Exists(installed));

    ASSERT_EQ(0, Msiexec("/x", KELVORIN_LATER_PACKAGE));
    EXPECT_FALSE(Exists(installed));
}

}  // namespace
