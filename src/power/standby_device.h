// The drive-standby device "\\.\kelvorin": spins the drive down and up.
#pragma once
#include <windows.h>

#include <cstdint>

enum StandbyDeviceCode : uint32_t {
    SpinDown = 1,
    SpinUp = 2,
};

extern HANDLE StandbyDeviceHandle;      // INVALID_HANDLE_VALUE while not open
extern DWORD StandbyDeviceBytesReturned; // receives each request's byte count; not read

int32_t OpenStandbyDevice();
int32_t ControlStandbyDevice(uint32_t code);
void CloseStandbyDevice();
