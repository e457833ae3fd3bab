// The main program of every test executable. Each test finds control.ini as the
// one before it left it: the file is put back byte for byte after every test,
// and the profile mapping a test installed is taken away.
// A run starts without one, without the profile mapping that sends it to the
// registry, and without what the tests put into the prefix, whatever a run
// that ended inside a test left.
#include <gtest/gtest.h>

#include "host/host.h"
#include "support/profile_mapping.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

class ControlIniKeeper : public testing::EmptyTestEventListener {
    bool existed_ = false;
    std::string saved_;

    void OnTestStart(const testing::TestInfo&) override
    {
        FlushProfileCache();
        existed_ = ReadWholeFile(ControlIniPath(), &saved_);
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        RemoveProfileMapping();
        if (existed_)
            SetControlIni(saved_);
        else
            RemoveControlIni();
    }
};

// The prefix has none of these of its own: saver files in the system directory,
// the chained-saver stand-in's copies in the Windows directory and its logs.
void RemoveTestFiles()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (const auto& place : {std::make_pair(SystemDirectory() + "\\", "*.scr"),
                              std::make_pair(WindowsFilePath(""), "kelvorin?chain*"),
                              std::make_pair(std::string(temp), "kelvorin*chain*")})
        for (const std::string& path : FilesMatching(place.first, place.second))
            RemoveFileWhenFree(path);
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // A test of a read-only file may have ended before it could undo that.
    SetFileAttributesA(ControlIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveProfileMapping();
    RemoveControlIni();
    RemoveTestFiles();
    testing::UnitTest::GetInstance()->listeners().Append(new ControlIniKeeper);
    // The module instance is what the program would have.
    ModuleInstance = GetModuleHandleW(nullptr);
    int failed = RUN_ALL_TESTS();
    RemoveTestFiles();
    return failed;
}
