// The drive-standby device against a stand-in device plugged into the seams.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <string>
#include <vector>

#include "power/standby_device.h"
#include "support/stand_ins.h"

namespace {

// A stand-in device: opening gives `handle` (INVALID_HANDLE_VALUE: no device),
// and it accepts exactly the codes in `accepted`. The arguments that never vary
// are checked on the spot.
struct FakeDevice {
    HANDLE handle = reinterpret_cast<HANDLE>(0x4321);
    std::set<DWORD> accepted;
    int opens = 0;
    std::vector<std::pair<HANDLE, DWORD>> controls;
    std::vector<HANDLE> closed;
};
FakeDevice Device;

HANDLE WINAPI FakeOpen(LPCSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                       DWORD disposition, DWORD attributes, HANDLE templateFile)
{
    EXPECT_STREQ("\\\\.\\kelvorin", path);
    EXPECT_EQ(static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE), access);
    EXPECT_EQ(static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE), sharing);
    EXPECT_TRUE(security && security->nLength == sizeof *security &&
                !security->lpSecurityDescriptor && security->bInheritHandle == TRUE);
    EXPECT_EQ(static_cast<DWORD>(OPEN_EXISTING), disposition);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL), attributes);
    EXPECT_EQ(nullptr, templateFile);
    ++Device.opens;
    return Device.handle;
}

BOOL WINAPI FakeControl(HANDLE device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                        DWORD outputSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped)
{
    EXPECT_TRUE(!input && !inputSize && !output && !outputSize);
    EXPECT_EQ(&StandbyDeviceBytesReturned, bytesReturned);
    EXPECT_EQ(nullptr, overlapped);
    Device.controls.push_back({device, code});
    return Device.accepted.count(code) ? TRUE : FALSE;
}

BOOL WINAPI FakeClose(HANDLE device)
{
    Device.closed.push_back(device);
    return TRUE;
}

class StandbyDevice : public testing::Test {
protected:
    void SetUp() override
    {
        Device = FakeDevice();
        StandbyDeviceHandle = INVALID_HANDLE_VALUE;
        InstallStandIns({nullptr, nullptr, nullptr, FakeOpen, FakeControl, FakeClose});
    }
    void TearDown() override
    {
        RemoveStandIns();
    }
};

TEST_F(StandbyDevice, OpensOnce)
{
    EXPECT_EQ(1, OpenStandbyDevice());
    EXPECT_EQ(1, OpenStandbyDevice());
    EXPECT_EQ(Device.handle, StandbyDeviceHandle);
    EXPECT_EQ(1, Device.opens);
}

TEST_F(StandbyDevice, CodesTravelWithoutData)
{
    struct Row {
        int line;
        DWORD code;
        bool accepted;
        int32_t expected;
    };
    const Row rows[] = {
        {__LINE__, SpinDown, true, TRUE},
        {__LINE__, SpinUp, true, TRUE},
        {__LINE__, SpinDown, false, 0},
        {__LINE__, SpinUp, false, 0},
    };
    ASSERT_EQ(1, OpenStandbyDevice());
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        Device.controls.clear();
        Device.accepted = row.accepted ? std::set<DWORD>{row.code} : std::set<DWORD>{};
        EXPECT_EQ(row.expected, ControlStandbyDevice(row.code));
        EXPECT_EQ((std::vector<std::pair<HANDLE, DWORD>>{{Device.handle, row.code}}),
                  Device.controls);
    }
}

TEST_F(StandbyDevice, NothingReachesADeviceThatIsNotOpen)
{
    // Never opened, failed to open, and closed after an open.
    Device.accepted = {SpinDown, SpinUp};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        if (round == 1) {
            Device.handle = INVALID_HANDLE_VALUE;
            EXPECT_EQ(0, OpenStandbyDevice());
        }
        if (round == 2) {
            Device.handle = reinterpret_cast<HANDLE>(0x4321);
            EXPECT_EQ(1, OpenStandbyDevice());
            CloseStandbyDevice();
            EXPECT_EQ(std::vector<HANDLE>({Device.handle}), Device.closed);
        }
        EXPECT_EQ(INVALID_HANDLE_VALUE, StandbyDeviceHandle);
        EXPECT_EQ(0, ControlStandbyDevice(SpinDown));
        EXPECT_EQ(0, ControlStandbyDevice(SpinUp));
        CloseStandbyDevice();
        EXPECT_EQ(INVALID_HANDLE_VALUE, StandbyDeviceHandle);
        EXPECT_TRUE(Device.controls.empty());
        EXPECT_EQ(round == 2 ? 1u : 0u, Device.closed.size());
        EXPECT_EQ(round, Device.opens);
    }
    // After a failed open and after a close, the next open tries again.
    EXPECT_EQ(1, OpenStandbyDevice());
    EXPECT_EQ(3, Device.opens);
    EXPECT_EQ(TRUE, ControlStandbyDevice(SpinDown));
}

} // namespace
