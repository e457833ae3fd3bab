// The saver catalogue over real files in the prefix's system directory:
// descriptions, order, and the path of every record.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "chain/catalog.h"
#include "host/host.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

class CatalogTest : public testing::Test {
protected:
    SystemFiles files;

    void SetUp() override { ReleaseSaverCatalog(); }
    void TearDown() override { ReleaseSaverCatalog(); }
    static std::vector<std::string> Descriptions()
    {
        std::vector<std::string> texts;
        for (int k = 0; k < SaverCatalog.count; ++k)
            texts.push_back(SaverCatalog.records[k].description);
        return texts;
    }
    static std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (int k = 0; SaverCatalogPath(k) != nullptr; ++k)
            paths.push_back(SaverCatalogPath(k));
        return paths;
    }
    // Puts records with these descriptions and paths in place, as a collect would.
    static void HoldRecords(const std::vector<std::pair<std::string, std::string>>& records)
    {
        for (const auto& record : records) {
            CollectSaver(record.second.c_str());
            lstrcpyA(SaverCatalog.records[SaverCatalog.count - 1].description, record.first.c_str());
        }
        ASSERT_EQ(records.size(), SaverCatalog.count);
    }
};

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('\\') + 1);
}

// The system directory's copy and the module's own file, wherever it lies, each
// held once; a module path too long for a record is not held; a file that
// another program holds open without sharing cannot be read. Released, nothing is held.
TEST_F(CatalogTest, TheModulesOwnFileIsHeldOnceWhereverItLies)
{
    const std::string outside = WindowsFilePath("kelvorin.scr"), inside = SystemFilePath("kelvorin.scr");
    std::string upper = inside, tooLong = WindowsFilePath("");
    CharUpperA(&upper[0]);
    tooLong += std::string(sizeof SaverCatalogEntry::path - tooLong.size() - 4, 'k') + ".scr";
    ASSERT_TRUE(CopyFileW(SaverProgramPath().c_str(), std::wstring(outside.begin(), outside.end()).c_str(), FALSE));
    const struct {
        std::string own;
        bool inSystem, held;                // a copy in the system directory; held open there
        std::vector<std::string> paths, descriptions;
    } rows[] = {
        {"", false, false, {}, {}},
        {"", true, false, {inside}, {"kelvorin.scr"}},
        {"", true, true, {inside}, {""}},
        {outside, true, false, {outside, inside}, {"kelvorin.scr", "kelvorin.scr"}},
        {inside, true, false, {inside}, {"kelvorin.scr"}},
        {upper, true, false, {inside}, {"kelvorin.scr"}},
        {tooLong, true, false, {inside}, {"kelvorin.scr"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.own + (row.inSystem ? ", in the system directory" : "") + (row.held ? ", held" : ""));
        files.RemoveAll();
        if (row.inSystem)
            files.Copy(SaverProgramPath(), "kelvorin.scr");
        HANDLE held = row.held ? CreateFileA(inside.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        lstrcpyA(ModulePath, row.own.c_str());
        BuildSaverCatalog();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        std::vector<std::string> paths = Paths();
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(row.paths, paths);
        EXPECT_EQ(row.descriptions, Descriptions());
        EXPECT_EQ(nullptr, SaverCatalogPath(-1));
        ReleaseSaverCatalog();
        EXPECT_EQ(nullptr, SaverCatalog.records);
        EXPECT_EQ(nullptr, SaverCatalogPath(0));
    }
    ModulePath[0] = '\0';
    DeleteFileA(outside.c_str());
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
    // Hidden and system files, as a directory listing leaves them out.
    for (const char* name : {"hidden.scr", "system.scr"})
        files.Write(name, PortableImage(128));
    SetFileAttributesA(SystemFilePath("hidden.scr").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(SystemFilePath("system.scr").c_str(), FILE_ATTRIBUTE_SYSTEM);

    BuildSaverCatalog();
    const std::vector<std::string> list = Descriptions(), paths = Paths();
    ASSERT_EQ(expected.size(), list.size());
    std::vector<std::string> seen;
    for (size_t k = 0; k < list.size(); ++k) {
        SCOPED_TRACE(testing::Message() << "record " << k << ", " << paths[k]);
        EXPECT_EQ(SystemDirectory(), paths[k].substr(0, paths[k].rfind('\\')));
        EXPECT_EQ(expected[NameOf(paths[k])], list[k]);
        if (k > 0)
            EXPECT_LE(strcmp(list[k - 1].c_str(), list[k].c_str()), 0) << "sorted";
        seen.push_back(NameOf(paths[k]));
    }
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> names;
    for (const auto& entry : expected)
        names.push_back(entry.first);
    EXPECT_EQ(names, seen) << "every file held once";
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
    BuildSaverCatalog();

    EXPECT_EQ(std::vector<std::string>{fits.substr(0, SaverDescriptionSize - 1)}, Descriptions());
    EXPECT_EQ(std::vector<std::string>{SystemFilePath(fits)}, Paths());
    EXPECT_EQ(sizeof SaverCatalogEntry::path - 1, strlen(SaverCatalogPath(0)));
}

TEST_F(CatalogTest, SortKeepsEveryPathWithItsDescription)
{
    HoldRecords({{"zeta", "C:\\z"}, {"Alpha", "C:\\A"}, {"alpha", "C:\\a2"}, {"\xE9t\xE9", "C:\\e"},
                 {"", "C:\\empty"}, {"beta", "C:\\b1"}, {"beta", "C:\\b2"}, {"Zulu", "C:\\Z2"}});
    CollectSaver("c:\\a");    // held already, whatever its case
    SortSaverCatalog();

    EXPECT_EQ((std::vector<std::string>{"", "Alpha", "Zulu", "alpha", "beta", "beta", "zeta", "\xE9t\xE9"}),
              Descriptions());
    std::vector<std::string> paths = Paths();
    ASSERT_EQ(8u, paths.size());
    std::sort(paths.begin() + 4, paths.begin() + 6);
    EXPECT_EQ((std::vector<std::string>{"C:\\empty", "C:\\A", "C:\\Z2", "C:\\a2", "C:\\b1", "C:\\b2", "C:\\z", "C:\\e"}),
              paths) << "equal descriptions, both held";
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

} // namespace
