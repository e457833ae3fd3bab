// Starting another saver program: the exact application name and command line
// it receives, inherited handles, and the message when it cannot be started.
#include <gtest/gtest.h>

#include <string>

#include "chain/launcher.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Whether this process holds any handle of the process `id` or of one of its threads.
bool HoldsHandleOf(DWORD id)
{
    for (ULONG_PTR value = 4; value < 0x1000; value += 4) {
        HANDLE handle = reinterpret_cast<HANDLE>(value);
        if (GetProcessId(handle) == id || GetProcessIdOfThread(handle) == id)
            return true;
    }
    return false;
}

std::string TempPath(const char* name)
{
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

class Launcher : public testing::Test {
protected:
    FakeOutside outside_;
    HANDLE event_ = nullptr;
    std::string record_ = TempPath("kelvorin-launch.txt");
    // Copies of the helper: a saver file as the catalogue would list it, and one
    // whose name holds a blank.
    std::string saver_ = TempPath("A.SCR"), spaced_ = TempPath("Some Saver.SCR");
    // A saver whose path and " /S" fill the command buffer to its last character,
    // and one a character longer.
    std::string longest_ = PathOfLength(sizeof ChainedSaverCommandLine - 1 - 3),
                tooLong_ = PathOfLength(sizeof ChainedSaverCommandLine - 3);

    static std::string PathOfLength(size_t length)
    {
        std::string path = TempPath(".SCR");
        return path.insert(path.size() - 4, length - path.size(), 'K');
    }

    void SetUp() override
    {
        InstallFakeOutside(outside_);
        // Created before the start and inheritable: the started program must be able to use it.
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        event_ = CreateEventA(&inheritable, TRUE, FALSE, nullptr);
        SetEnvironmentVariableA("KELVORIN_LAUNCH_EVENT",
                                std::to_string(reinterpret_cast<ULONG_PTR>(event_)).c_str());
        SetEnvironmentVariableA("KELVORIN_LAUNCH_RECORD", record_.c_str());
        RemoveFiles();
    }
    void TearDown() override
    {
        RemoveStandIns();
        CloseHandle(event_);
        RemoveFiles();
    }
    // A run that crashed may have left them.
    void RemoveFiles()
    {
        for (const std::string& file : {record_, saver_, spaced_, longest_, tooLong_})
            RemoveFileWhenFree(file);
    }

    // Fills the buffers as the callers do and starts `path`.
    bool Launch(const std::string& path, const char* option, DWORD* processId = nullptr,
                bool quiet = false)
    {
        FillChainedSaverCommand(path.c_str(), option);
        return LaunchSaver(ChainedSaverPath, ChainedSaverCommandLine, processId, quiet);
    }
};

TEST_F(Launcher, StartsTheProgramWithItsSwitchAndInheritedHandles)
{
    std::string helper = Narrow(HelperProgramPath("record_launch"));
    for (const std::string& copy : {saver_, spaced_, longest_})
        ASSERT_TRUE(CopyFileA(helper.c_str(), copy.c_str(), FALSE));
    const struct {
        std::string path;
        const char* option;
        std::string commandLine;    // as the started program reads it
    } rows[] = {
        {saver_, " /S", saver_ + " /S"},
        {saver_, " /C", saver_ + " /C"},
        {helper, " /S", helper + " /S"},
        // One quoted argument, so the program reads its own switch.
        {spaced_, " /S", "\"" + spaced_ + "\" /S"},
        {spaced_, " /p 1234", "\"" + spaced_ + "\" /p 1234"},
        {longest_, " /S", longest_ + " /S"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path + row.option);
        ResetEvent(event_);
        DWORD started = 0;
        EXPECT_TRUE(Launch(row.path, row.option, &started));
        EXPECT_STREQ(row.path.c_str(), ChainedSaverPath);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event_, 10000))
            << "the started program could not signal the inherited event";
        std::string record;
        ASSERT_TRUE(ReadWholeFile(record_, &record));
        std::string expected = row.commandLine + "\ninherited=1\nprocess=";
        ASSERT_EQ(expected, record.substr(0, expected.size()));
        DWORD child = strtoul(record.c_str() + expected.size(), nullptr, 10);
        EXPECT_EQ(started, child);
        EXPECT_FALSE(HoldsHandleOf(child)) << "process or thread handle left open";
    }
    EXPECT_TRUE(outside_.boxes.empty());
}

// A program whose command would be cut short, and so could lose its switch,
// is not started: it fails as one that is missing.
TEST_F(Launcher, MissingProgramIsReported)
{
    std::string helper = Narrow(HelperProgramPath("record_launch"));
    ASSERT_TRUE(CopyFileA(helper.c_str(), tooLong_.c_str(), FALSE));
    for (const std::string& path : {TempPath("NOSUCH.SCR"), tooLong_}) {
        SCOPED_TRACE(path);
        outside_.boxes.clear();
        EXPECT_FALSE(Launch(path, " /S"));
        EXPECT_EQ(1u, outside_.boxes.size());
        EXPECT_EQ(nullptr, outside_.boxOwner);
        EXPECT_EQ("CreateProcess fail (2)", outside_.boxText);
        EXPECT_EQ("CreateProcess", outside_.boxCaption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), outside_.boxType);
        EXPECT_FALSE(Launch(path, " /p 1234", nullptr, true));
        EXPECT_EQ(1u, outside_.boxes.size()) << "a quiet launch shows no box";
    }
}

} // namespace
