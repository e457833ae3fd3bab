// The main program of every test executable. Each test finds control.ini as the
// one before it left it: the file is put back byte for byte after every test.
// A run starts without one, and without saver files in the system directory
// (the prefix has none of its own), whatever a run that ended inside a test left.
#include <gtest/gtest.h>

#include "host/host.h"
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
        if (existed_)
            SetControlIni(saved_);
        else
            RemoveControlIni();
    for (const std::string& path : FilesMatching(SystemDirectory() + "\\", "*.scr"))
        RemoveFileWhenFree(path);
    }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // A test of a read-only file may have ended before it could undo that.
    SetFileAttributesA(ControlIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveControlIni();
    testing::UnitTest::GetInstance()->listeners().Append(new ControlIniKeeper);
    // The module instance and application name are what the program would have.
    ModuleInstance = GetModuleHandleW(nullptr);
    LoadStringW(ModuleInstance, 1007, ApplicationName, 40);
    return RUN_ALL_TESTS();
}
