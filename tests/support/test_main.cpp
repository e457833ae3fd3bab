// The main program of every test executable. Each test finds control.ini as the
// one before it left it: the file is put back byte for byte after every test,
// or at the start of the next run when this one ended inside a test.
#include <gtest/gtest.h>

#include "host/host.h"
#include "support/wine_test.h"

namespace {

// control.ini as it was before the running test: "+" and its bytes, or "-" when
// there was none. Only there while a test runs.
std::string KeptIniPath()
{
    return WindowsFilePath("kelvorin-control.kept");
}

void PutControlIniBack(const std::string& kept)
{
    // A test of a read-only file may have ended before it could undo that.
    SetFileAttributesA(ControlIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!kept.empty() && kept[0] == '+')
        SetControlIni(kept.substr(1));
    else
        RemoveControlIni();
    DeleteFileA(KeptIniPath().c_str());
}

class ControlIniKeeper : public testing::EmptyTestEventListener {
    std::string kept_;

    void OnTestStart(const testing::TestInfo&) override
    {
        FlushProfileCache();
        std::string contents;
        kept_ = ReadWholeFile(ControlIniPath(), &contents) ? "+" + contents : "-";
        WriteWholeFile(KeptIniPath(), kept_);
    }
    void OnTestEnd(const testing::TestInfo&) override { PutControlIniBack(kept_); }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::string kept;
    if (ReadWholeFile(KeptIniPath(), &kept))
        PutControlIniBack(kept);
    testing::UnitTest::GetInstance()->listeners().Append(new ControlIniKeeper);
    // The module instance and application name are what the program would have.
    ModuleInstance = GetModuleHandleW(nullptr);
    LoadStringW(ModuleInstance, 1007, ApplicationName, 40);
    return RUN_ALL_TESTS();
}
