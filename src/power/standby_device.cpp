// The drive-standby device "\\.\kelvorin": opened once per process, handed bare
// control codes without data.
#include "power/standby_device.h"

#include "host/outside.h"

HANDLE StandbyDeviceHandle = INVALID_HANDLE_VALUE;
DWORD StandbyDeviceBytesReturned = 0;

namespace {

const char StandbyDevicePath[] = "\\\\.\\kelvorin";

} // namespace

int32_t OpenStandbyDevice()
{
    if (StandbyDeviceHandle != INVALID_HANDLE_VALUE)
        return 1;
    // Inheritable, so that savers started later hold the device too.
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = TRUE;
    StandbyDeviceHandle = Outside::OpenDevice(StandbyDevicePath, GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return StandbyDeviceHandle != INVALID_HANDLE_VALUE ? 1 : 0;
}

int32_t ControlStandbyDevice(uint32_t code)
{
    if (StandbyDeviceHandle == INVALID_HANDLE_VALUE)
        return 0;
    return Outside::ControlDevice(StandbyDeviceHandle, code, nullptr, 0, nullptr, 0,
                                  &StandbyDeviceBytesReturned, nullptr);
}

void CloseStandbyDevice()
{
    if (StandbyDeviceHandle != INVALID_HANDLE_VALUE)
        Outside::CloseDevice(StandbyDeviceHandle);
    StandbyDeviceHandle = INVALID_HANDLE_VALUE;
}
