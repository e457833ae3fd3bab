// Calls that leave the system, pointing at the real system calls.
#include "host/outside.h"

namespace Outside {

HDC(WINAPI* CreateDisplayContext)(LPCSTR, LPCSTR, LPCSTR, const DEVMODEA*) = CreateDCA;
int(WINAPI* DriverEscape)(HDC, int, int, LPCSTR, int, LPSTR) = ExtEscape;
BOOL(WINAPI* DeleteDisplayContext)(HDC) = DeleteDC;

HANDLE(WINAPI* OpenDevice)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
    = CreateFileA;
BOOL(WINAPI* ControlDevice)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)
    = DeviceIoControl;
BOOL(WINAPI* CloseDevice)(HANDLE) = CloseHandle;

HPOWERNOTIFY(WINAPI* RegisterPowerSetting)(HANDLE, LPCGUID, DWORD) = RegisterPowerSettingNotification;
BOOL(WINAPI* UnregisterPowerSetting)(HPOWERNOTIFY) = UnregisterPowerSettingNotification;

BOOL(WINAPI* ReadPowerStatus)(LPSYSTEM_POWER_STATUS) = GetSystemPowerStatus;

int(WINAPI* SystemMetric)(int) = GetSystemMetrics;

int(WINAPI* ShowMessageBox)(HWND, LPCWSTR, LPCWSTR, UINT) = MessageBoxW;

} // namespace Outside
