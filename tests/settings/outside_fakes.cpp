// Stand-ins for the display driver, the drive device and message boxes, behind
// the seams of host/outside.h.
#include "settings/outside_fakes.h"

#include <cstring>

#include "host/outside.h"
#include "power/display_power.h"
#include "power/standby_device.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

FakeOutside Fake;

namespace {

HDC const FakeDisplayContext = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x4B10));
HANDLE const FakeDeviceHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4B20));
constexpr size_t VbePmBlockSize = 28;
constexpr size_t StatusOffset = 0;      // AL of the EAX image
constexpr size_t ResultOffset = 5;      // BH of the EBX image

bool Installed;

HDC WINAPI FakeCreateDisplayContext(LPCSTR, LPCSTR, LPCSTR, const DEVMODEA*)
{
    return FakeDisplayContext;
}

int WINAPI FakeDriverEscape(HDC, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output)
{
    if (escape == QUERYESCSUPPORT && inputSize >= 4) {
        int32_t asked = 0;
        memcpy(&asked, input, sizeof asked);
        return Fake.displayAnswers && asked == ESCAPE_VBEPM_CALL;
    }
    if (escape == ESCAPE_VBEPM_CALL && Fake.displayAnswers && outputSize >= static_cast<int>(VbePmBlockSize)) {
        output[StatusOffset] = static_cast<char>(Fake.status);
        output[ResultOffset] = static_cast<char>(Fake.capabilities);
        return 1;
    }
    return 0;
}

BOOL WINAPI FakeDeleteDisplayContext(HDC)
{
    return TRUE;
}

HANDLE WINAPI FakeOpenDevice(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    ++Fake.deviceOpenCalls;
    return Fake.deviceOpens ? FakeDeviceHandle : INVALID_HANDLE_VALUE;
}

BOOL WINAPI FakeControlDevice(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)
{
    return TRUE;
}

BOOL WINAPI FakeCloseDevice(HANDLE)
{
    return TRUE;
}

int WINAPI FakeShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT)
{
    ++Fake.messageBoxes;
    Fake.lastMessageOwner = owner;
    Fake.lastMessage = Utf8(text);
    Fake.lastCaption = Utf8(caption);
    return IDOK;
}

// On the mains, with a charged battery or none.
BOOL WINAPI FakeReadPowerStatus(LPSYSTEM_POWER_STATUS status)
{
    *status = SYSTEM_POWER_STATUS{};
    status->ACLineStatus = 1;
    status->BatteryFlag = Fake.batteryUnknown ? 255 : Fake.battery ? 1 : 128;
    status->BatteryLifePercent = Fake.battery ? 100 : 255;
    return Fake.powerStatusFails ? FALSE : TRUE;
}

void ResetPowerGlobals()
{
    DisplayContext = nullptr;
    DisplayPowerInterface = NoPowerEscape;
    DisplayPowerStatus = 0;
    StandbyDeviceHandle = INVALID_HANDLE_VALUE;
}

} // namespace

void InstallFakeOutside(const FakeOutside& settings)
{
    Fake = settings;
    InstallStandIns({FakeCreateDisplayContext, FakeDriverEscape, FakeDeleteDisplayContext,
                     FakeOpenDevice, FakeControlDevice, FakeCloseDevice, nullptr, nullptr,
                     FakeReadPowerStatus, nullptr, FakeShowMessageBox});
    Installed = true;
    ResetPowerGlobals();
}

void RemoveFakeOutside()
{
    if (!Installed)
        return;
    ResetPowerGlobals();
    RemoveStandIns();
    Installed = false;
}
