// Runs one saver for the benchmark and measures it from outside:
//   measure SECONDS PROGRAM
// starts "PROGRAM /s", times how long until its saver window is visible, lets it
// run SECONDS from its start, reads its CPU time and peak working set, posts a
// key to its window and times how long until the process has ended. Prints one
// line: start_ms cpu_ms cpu_after_start_ms peak_kib wake_ms exit_code, or an
// error on stderr.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

const wchar_t SaverClassName[] = L"WindowsScreenSaverClass";
const DWORD WindowPollMilliseconds = 1;
const DWORD WindowTimeoutMilliseconds = 20000;
const DWORD ExitTimeoutMilliseconds = 20000;
const int FailureExitCode = 2;

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchSaverWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && IsWindowVisible(window) && wcscmp(className, SaverClassName) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// User plus kernel time in milliseconds.
double CpuMilliseconds(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return -1;
    ULARGE_INTEGER k{{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u{{user.dwLowDateTime, user.dwHighDateTime}};
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}

int Fail(const char* what, PROCESS_INFORMATION* info)
{
    fprintf(stderr, "measure: %s (error %lu)\n", what, GetLastError());
    if (info->hProcess) {
        TerminateProcess(info->hProcess, 1);
        CloseHandle(info->hThread);
        CloseHandle(info->hProcess);
    }
    return FailureExitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    PROCESS_INFORMATION info = {};
    if (argc != 3)
        return Fail("usage: measure SECONDS PROGRAM", &info);
    const DWORD runMilliseconds = static_cast<DWORD>(_wtoi(argv[1])) * 1000;
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\" /s";

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    const LARGE_INTEGER started = Now();
    if (!CreateProcessW(argv[2], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return Fail("cannot start the saver", &info);

    WindowSearch search = {info.dwProcessId, nullptr};
    while (EnumWindows(MatchSaverWindow, reinterpret_cast<LPARAM>(&search)), search.found == nullptr) {
        if (Milliseconds(started, Now()) > WindowTimeoutMilliseconds)
            return Fail("no visible saver window", &info);
        Sleep(WindowPollMilliseconds);
    }
    const double startMs = Milliseconds(started, Now());
    const double cpuAtStartMs = CpuMilliseconds(info.hProcess);

    const double elapsed = Milliseconds(started, Now());
    if (elapsed < runMilliseconds)
        Sleep(static_cast<DWORD>(runMilliseconds - elapsed));
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
        return Fail("the saver ended by itself", &info);
    const double cpuMs = CpuMilliseconds(info.hProcess);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory))
        return Fail("cannot read the working set", &info);

    const LARGE_INTEGER keyed = Now();
    PostMessageW(search.found, WM_KEYDOWN, 'A', 0);
    if (WaitForSingleObject(info.hProcess, ExitTimeoutMilliseconds) != WAIT_OBJECT_0)
        return Fail("the saver did not end on a key", &info);
    const double wakeMs = Milliseconds(keyed, Now());
    DWORD exitCode = 0;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    printf("%.1f %.1f %.1f %lu %.1f %lu\n", startMs, cpuMs, cpuMs - cpuAtStartMs,
           static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024), wakeMs, exitCode);
    return 0;
}
