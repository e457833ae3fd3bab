// Calls that leave the system: the display driver, the drive-standby device,
// the power-setting notices, the power source, the virtual screen's metrics and
// modal message boxes. Each points at the real system call;
// tests point them at stand-ins of their own and put them back afterwards.
#pragma once
#include <windows.h>

namespace Outside {

// Display driver (a device context for the whole display and its escapes)
extern HDC(WINAPI* CreateDisplayContext)(LPCSTR driver, LPCSTR device, LPCSTR output,
                                         const DEVMODEA* initData);
extern int(WINAPI* DriverEscape)(HDC dc, int escape, int inputSize, LPCSTR input,
                                 int outputSize, LPSTR output);
extern BOOL(WINAPI* DeleteDisplayContext)(HDC dc);

// Drive-standby device
extern HANDLE(WINAPI* OpenDevice)(LPCSTR path, DWORD access, DWORD sharing,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                  DWORD attributes, HANDLE templateFile);
extern BOOL(WINAPI* ControlDevice)(HANDLE device, DWORD code, LPVOID input, DWORD inputSize,
                                   LPVOID output, DWORD outputSize, LPDWORD bytesReturned,
                                   LPOVERLAPPED overlapped);
extern BOOL(WINAPI* CloseDevice)(HANDLE device);

// Power-setting notices, whose registration only Windows itself sees
extern HPOWERNOTIFY(WINAPI* RegisterPowerSetting)(HANDLE recipient, LPCGUID setting, DWORD flags);
extern BOOL(WINAPI* UnregisterPowerSetting)(HPOWERNOTIFY notice);

// The power source and the system battery
extern BOOL(WINAPI* ReadPowerStatus)(LPSYSTEM_POWER_STATUS status);

// System metrics, for the virtual screen that the monitors make up
extern int(WINAPI* SystemMetric)(int index);

// Modal message boxes, wide: their texts come from the string table in any language.
extern int(WINAPI* ShowMessageBox)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

} // namespace Outside
