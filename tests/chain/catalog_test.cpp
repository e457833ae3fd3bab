// The saver catalogue over real files in the prefix's system directory and the
// real saver list of dialog 2003: descriptions, order, and a path per position.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "chain/catalog.h"
#include "host/host.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/dialog_script.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class CatalogTest : public testing::Test {
protected:
    HWND dialog = nullptr;
    SystemFiles files;

    void SetUp() override
    {
        ReleaseSaverCatalog();
        dialog = CreateDialogParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_SETUP), nullptr,
                                    PlainDialogProc, 0);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override
    {
        ReleaseSaverCatalog();
        DestroyWindow(dialog);
    }
    std::vector<std::string> List() const { return ListItems(dialog, IDC_SAVER_LIST); }
    void AddItem(const std::string& text) const
    {
        SendDlgItemMessageA(dialog, IDC_SAVER_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Puts records with these descriptions and paths in place, as a collect would.
    void HoldRecords(const std::vector<std::pair<std::string, std::string>>& records)
    {
        for (size_t k = 0; k < records.size(); ++k)
            AddItem("listed.scr");
        CollectListedSavers(dialog, "C:\\none");
        SendDlgItemMessageA(dialog, IDC_SAVER_LIST, CB_RESETCONTENT, 0, 0);
        ASSERT_EQ(records.size(), SaverCatalog.count);
        for (size_t k = 0; k < records.size(); ++k) {
            lstrcpyA(SaverCatalog.records[k + 1].description, records[k].first.c_str());
            lstrcpyA(SaverCatalog.records[k + 1].path, records[k].second.c_str());
        }
    }
};

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('\\') + 1);
}

TEST_F(CatalogTest, OwnFileAloneIsListedByItsName)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    BuildSaverCatalog(dialog);

    EXPECT_EQ((std::vector<std::string>{"None", "kelvorin.scr"}), List());
    ASSERT_EQ(1, SaverCatalog.count);
    EXPECT_STREQ("None", SaverCatalogPath(0));
    EXPECT_EQ(SystemFilePath("kelvorin.scr"), SaverCatalogPath(1));
    EXPECT_EQ(nullptr, SaverCatalogPath(2));
    EXPECT_EQ(nullptr, SaverCatalogPath(-1));
}

// A module path too long for a record is not listed.
TEST_F(CatalogTest, TheModulesOwnFileIsListedOnceWhereverItLies)
{
    const std::string outside = WindowsFilePath("kelvorin.scr"), inside = SystemFilePath("kelvorin.scr");
    std::string upper = inside, tooLong = WindowsFilePath("");
    CharUpperA(&upper[0]);
    tooLong += std::string(sizeof SaverCatalog.records[0].path - tooLong.size() - 4, 'k') + ".scr";
    ASSERT_TRUE(CopyFileW(SaverProgramPath().c_str(), std::wstring(outside.begin(), outside.end()).c_str(), FALSE));
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    const struct {
        std::string own;
        std::vector<std::string> paths;    // behind positions 1, 2, ...
    } rows[] = {{outside, {outside, inside}}, {inside, {inside}}, {upper, {inside}}, {tooLong, {inside}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.own);
        lstrcpyA(ModulePath, row.own.c_str());
        SendDlgItemMessageA(dialog, IDC_SAVER_LIST, CB_RESETCONTENT, 0, 0);
        BuildSaverCatalog(dialog);
        std::vector<std::string> paths, listed = {"None"};
        for (int k = 1; SaverCatalogPath(k) != nullptr; ++k) {
            paths.push_back(SaverCatalogPath(k));
            listed.push_back("kelvorin.scr");
        }
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(row.paths, paths);
        EXPECT_EQ(listed, List());
        ReleaseSaverCatalog();
    }
    ModulePath[0] = '\0';
    DeleteFileA(outside.c_str());
}

// A saver file that another program holds open without sharing cannot be read.
TEST_F(CatalogTest, AFileThatCannotBeReadIsListedWithEmptyText)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    const std::string path = SystemFilePath("kelvorin.scr");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    BuildSaverCatalog(dialog);
    CloseHandle(held);
    EXPECT_EQ((std::vector<std::string>{"None", ""}), List());
    ASSERT_EQ(1, SaverCatalog.count);
    EXPECT_EQ(path, SaverCatalogPath(1));
}

TEST_F(CatalogTest, NoSaverFilesLeaveOnlyNone)
{
    BuildSaverCatalog(dialog);
    EXPECT_EQ(std::vector<std::string>{"None"}, List());
    EXPECT_STREQ("None", SaverCatalogPath(0));
}

TEST_F(CatalogTest, EveryFileIsDescribedSortedAndKeepsItsPath)
{
    const std::string star = "SCRNSAVE : Starfield";
    std::map<std::string, std::string> expected = {
        {"kelvorin.scr", "kelvorin.scr"},
        {"pe128.scr", "pe128.scr"},
        {"pe252.scr", ""},
        {"short.scr", ""},
        {"star.scr", "[16-bit] Starfield"},
        {"blanks.scr", "[16-bit] Starfield"},
        {"ten.scr", "[16-bit] Ten"},
        {"eleven.scr", ""},
        {"direct.scr", ""},
        {"capital.scr", ""},
        {"at300.scr", ""},
        {"second.scr", "[16-bit] Second block"},
        {"spanning.scr", ""},
        {"endless.scr", "[16-bit] Runs to the end"},
        {"long.scr", "[16-bit] A very long description that g"},
        {"Upper.scr", "Upper.scr"},
    };
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    files.Write("pe128.scr", PortableImage(128));
    files.Write("pe252.scr", PortableImage(252, 300));
    files.Write("short.scr", PortableImage(128, 254));
    files.Write("star.scr", SixteenBitSaver("xx" + star + std::string("\0tail", 5)));
    files.Write("blanks.scr", SixteenBitSaver(std::string("SCRNSAVE   :  Starfield\0", 24)));
    files.Write("ten.scr", SixteenBitSaver("SCRNSAVE" + std::string(10, ' ') + ":Ten" + std::string(1, '\0')));
    files.Write("eleven.scr", SixteenBitSaver("SCRNSAVE" + std::string(11, ' ') + ":Eleven"));
    files.Write("direct.scr", SixteenBitSaver("SCRNSAVE:Direct"));
    files.Write("capital.scr", SixteenBitSaver("SSCRNSAVE :Capital"));
    std::string at300 = SixteenBitSaver(std::string(1024, '\0'));
    at300.replace(300, star.size(), star);
    files.Write("at300.scr", at300);
    files.Write("second.scr", SixteenBitSaver(std::string(1024, 'x') + "SCRNSAVE :Second block"));
    files.Write("spanning.scr", SixteenBitSaver(std::string(1020, 'x') + "SCRNSAVE :Split"));
    files.Write("endless.scr", SixteenBitSaver(std::string(990, 'x') + "SCRNSAVE :Runs to the end"));
    files.Write("long.scr", SixteenBitSaver("SCRNSAVE :A very long description that goes on"));
    files.Write("Upper.scr", PortableImage(128));

    BuildSaverCatalog(dialog);
    std::vector<std::string> list = List();
    ASSERT_EQ(expected.size() + 1, list.size());
    ASSERT_EQ(expected.size(), SaverCatalog.count);
    EXPECT_EQ("None", list[0]);
    EXPECT_STREQ("None", SaverCatalogPath(0));
    std::vector<std::string> seen;
    for (size_t k = 1; k < list.size(); ++k) {
        std::string path = SaverCatalogPath(static_cast<int>(k));
        SCOPED_TRACE(testing::Message() << "position " << k << ", " << path);
        EXPECT_EQ(SystemDirectory(), path.substr(0, path.rfind('\\')));
        EXPECT_EQ(expected[NameOf(path)], list[k]);
        EXPECT_EQ(list[k], SaverCatalog.records[k].description);
        if (k > 1)
            EXPECT_LE(strcmp(list[k - 1].c_str(), list[k].c_str()), 0) << "sorted";
        seen.push_back(NameOf(path));
    }
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> names;
    for (const auto& entry : expected)
        names.push_back(entry.first);
    EXPECT_EQ(names, seen) << "every file listed once";
    // Upper case sorts before "[", which sorts before lower case.
    auto position = [&](const std::string& text) { return std::find(list.begin(), list.end(), text) - list.begin(); };
    EXPECT_LT(position("Upper.scr"), position("[16-bit] Second block"));
    EXPECT_LT(position("[16-bit] Ten"), position("kelvorin.scr"));
}

TEST_F(CatalogTest, PathsThatDoNotFitARecordAreSkipped)
{
    const size_t room = sizeof SaverCatalogEntry::path - 1 - SystemDirectory().size() - 1;
    const std::string fits = std::string(room - 4, 'f') + ".scr";
    const std::string tooLong = std::string(room - 3, 'g') + ".scr";
    const std::string farTooLong = std::string(70, 'h') + ".scr";
    files.Write(fits, PortableImage(128));
    files.Write(tooLong, PortableImage(128));
    files.Write(farTooLong, PortableImage(128));
    BuildSaverCatalog(dialog);

    std::vector<std::string> list = List();
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ(fits.substr(0, SaverDescriptionSize - 1), list[1]);
    EXPECT_EQ(SystemFilePath(fits), SaverCatalogPath(1));
    EXPECT_EQ(sizeof SaverCatalogEntry::path - 1, strlen(SaverCatalogPath(1)));
}

TEST_F(CatalogTest, CollectAppendsEveryListedNameAfterTheHeldRecords)
{
    for (const char* name : {"a.scr", "b.scr"})
        AddItem(name);
    CollectListedSavers(dialog, "C:\\savers");
    ASSERT_EQ(2, SaverCatalog.count);
    SendDlgItemMessageA(dialog, IDC_SAVER_LIST, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : {std::string("c.scr"), std::string(60, 'x'), std::string("d.scr")})
        AddItem(name);
    CollectListedSavers(dialog, "C:\\more");

    ASSERT_EQ(4, SaverCatalog.count);
    EXPECT_STREQ("C:\\savers\\a.scr", SaverCatalog.records[1].path);
    EXPECT_STREQ("C:\\savers\\b.scr", SaverCatalog.records[2].path);
    EXPECT_STREQ("C:\\more\\c.scr", SaverCatalog.records[3].path);
    EXPECT_STREQ("C:\\more\\d.scr", SaverCatalog.records[4].path);
    for (int k = 0; k <= 4; ++k)
        EXPECT_STREQ("", SaverCatalog.records[k].description) << "zero-filled record " << k;
}

TEST_F(CatalogTest, FillSortsManyRecordsAndKeepsTheirPathsWithThem)
{
    HoldRecords({{"zeta", "C:\\z"}, {"Alpha", "C:\\A"}, {"alpha", "C:\\a"}, {"\xE9t\xE9", "C:\\e"},
                 {"", "C:\\empty"}, {"beta", "C:\\b1"}, {"beta", "C:\\b2"}, {"Zulu", "C:\\Z"}});
    FillSaverList(dialog);

    EXPECT_EQ((std::vector<std::string>{"None", "", "Alpha", "Zulu", "alpha", "beta", "beta", "zeta", "\xE9t\xE9"}),
              List());
    ASSERT_EQ(8, SaverCatalog.count);
    const std::vector<std::string> paths = {"None", "C:\\empty", "C:\\A", "C:\\Z", "C:\\a"};
    for (size_t k = 0; k < paths.size(); ++k)
        EXPECT_EQ(paths[k], SaverCatalogPath(static_cast<int>(k)));
    std::vector<std::string> equal = {SaverCatalogPath(5), SaverCatalogPath(6)};
    std::sort(equal.begin(), equal.end());
    EXPECT_EQ((std::vector<std::string>{"C:\\b1", "C:\\b2"}), equal) << "equal descriptions, both listed";
    EXPECT_STREQ("C:\\z", SaverCatalogPath(7));
    EXPECT_STREQ("C:\\e", SaverCatalogPath(8));
}

TEST_F(CatalogTest, CompareDescriptionsLikeStrcmpOverUnsignedBytes)
{
    auto entry = [](const char* description) {
        SaverCatalogEntry record = {};
        lstrcpyA(record.description, description);
        return record;
    };
    EXPECT_EQ(0, CompareDescriptions(entry("same"), entry("same")));
    EXPECT_LT(CompareDescriptions(entry("Z"), entry("a")), 0);
    EXPECT_LT(CompareDescriptions(entry("ab"), entry("abc")), 0);
    EXPECT_GT(CompareDescriptions(entry("\x80"), entry("z")), 0);
    EXPECT_LT(CompareDescriptions(entry(""), entry("[16-bit] A")), 0);
}

TEST_F(CatalogTest, WithoutStorageNoneIsStillListedAndReadsBackAsNone)
{
    AddItem("left over");
    FillSaverList(dialog);
    EXPECT_EQ((std::vector<std::string>{"None", "left over"}), List());
    EXPECT_STREQ("None", SaverCatalogPath(0));
    EXPECT_EQ(nullptr, SaverCatalogPath(1));
}

TEST_F(CatalogTest, ReleaseDropsTheRecords)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    BuildSaverCatalog(dialog);
    ReleaseSaverCatalog();
    EXPECT_EQ(nullptr, SaverCatalog.records);
    EXPECT_EQ(0, SaverCatalog.count);
    EXPECT_STREQ("None", SaverCatalogPath(0));
}

} // namespace
