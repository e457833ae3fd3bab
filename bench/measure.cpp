// Runs one saver for the benchmark and measures it from outside:
//   measure SECONDS PROGRAM PREFIX
// starts "PROGRAM /s", times how long until its saver window is visible, lets it
// run SECONDS from its start, reads its peak working set, posts a key to its
// window and times how long until the process has ended.
// CPU time comes from the Linux scheduler: the Wine process that runs PROGRAM in
// the Wine prefix PREFIX (a Linux path) is found under /proc, and the run time
// and run count in its threads' schedstat files (nanoseconds; one count each
// time the scheduler puts a thread on a processor) are read when the window
// shows, when it has settled 2 s later, and at the end of the run; the idle
// figures are those from settled to the end, per minute. Windows' own process
// times come in 10 ms clock ticks under Wine, too coarse for an idle saver.
// With KELVORIN_BENCH_DISPLAY_OFF set in the environment, the saver is told when
// its window shows, as Windows would tell it, that the display went off.
// Prints one line: start_ms startup_cpu_ms settle_cpu_ms idle_cpu_ms_per_minute
// idle_runs_per_minute peak_kib wake_ms exit_code cpu_ms, or an error on stderr.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

const wchar_t SaverClassName[] = L"WindowsScreenSaverClass";
const DWORD WindowPollMilliseconds = 1;
const DWORD WindowTimeoutMilliseconds = 20000;
const DWORD ExitTimeoutMilliseconds = 20000;
// The first tick and the window's first rounds with the X server come after it
// shows; the idle part begins this long after.
const DWORD SettleMilliseconds = 2000;
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

// A Linux file read whole through Wine's drive Z: (files under /proc tell no
// size, so read until the end).
std::string ReadLinuxFile(const std::wstring& path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

bool IsNumber(const wchar_t* name)
{
    for (const wchar_t* c = name; *c; ++c)
        if (!iswdigit(*c))
            return false;
    return *name != 0;
}

// Calls `visit` with the numeric entries of a /proc folder, as Z: paths.
template <typename Visit>
void ForEachNumbered(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsNumber(entry.cFileName) && !visit(folder + L"\\" + entry.cFileName))
            break;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// The /proc folder of the Wine process that runs the program `name` in the
// prefix (Wine names the process after its executable, cut to 15 characters);
// empty when there is none. Other prefixes may run a program of the same name.
std::wstring LinuxProcessFolder(const wchar_t* name, const std::string& prefix)
{
    std::string comm;
    for (const wchar_t* c = name; *c && comm.size() < 15; ++c)
        comm += static_cast<char>(*c);
    comm += '\n';
    const std::string variable = std::string("WINEPREFIX=") + prefix + '\0';
    std::wstring found;
    ForEachNumbered(L"Z:\\proc", [&](const std::wstring& folder) {
        if (ReadLinuxFile(folder + L"\\comm") != comm)
            return true;
        const std::string environment = '\0' + ReadLinuxFile(folder + L"\\environ");
        if (environment.find('\0' + variable) == std::string::npos)
            return true;
        found = folder;
        return false;
    });
    return found;
}

struct SchedulerFigures {
    double runMs;               // time on a processor
    unsigned long long runs;    // times put on a processor
};

// The sum over the process's threads.
SchedulerFigures ReadScheduler(const std::wstring& processFolder)
{
    SchedulerFigures figures = {0, 0};
    ForEachNumbered(processFolder + L"\\task", [&](const std::wstring& thread) {
        unsigned long long runNs = 0, waitNs = 0, runs = 0;
        if (sscanf(ReadLinuxFile(thread + L"\\schedstat").c_str(), "%llu %llu %llu", &runNs, &waitNs, &runs) == 3) {
            figures.runMs += static_cast<double>(runNs) / 1e6;
            figures.runs += runs;
        }
        return true;
    });
    return figures;
}

// The report goes as Windows sends it: a POWERBROADCAST_SETTING for the console
// display state, in the saver's own memory.
bool ReportDisplayOff(HANDLE process, HWND window)
{
    const struct {
        GUID setting;
        DWORD length;
        DWORD state;
    } notice = {{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof(DWORD), 0};
    void* remote = VirtualAllocEx(process, nullptr, sizeof notice, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR result = 0;
    return remote && WriteProcessMemory(process, remote, &notice, sizeof notice, nullptr)
           && SendMessageTimeoutW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                  reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &result);
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
    if (argc != 4 && argc != 5)
        return Fail("usage: measure SECONDS PROGRAM PREFIX [XSERVER_PID]", &info);
    // The X server's figures over the same idle time, when its Linux process id is given.
    const std::wstring xServer = argc == 5 ? L"Z:\\proc\\" + std::wstring(argv[4]) : L"";
    const DWORD runMilliseconds = static_cast<DWORD>(_wtoi(argv[1])) * 1000;
    std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\" /s";
    const wchar_t* programName = wcsrchr(argv[2], L'\\') ? wcsrchr(argv[2], L'\\') + 1 : argv[2];
    std::string prefix;
    for (const wchar_t* c = argv[3]; *c; ++c)
        prefix += static_cast<char>(*c);

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
    if (_wgetenv(L"KELVORIN_BENCH_DISPLAY_OFF") && !ReportDisplayOff(info.hProcess, search.found))
        return Fail("cannot report the display off", &info);
    const std::wstring linuxProcess = LinuxProcessFolder(programName, prefix);
    if (linuxProcess.empty())
        return Fail("no Linux process of the saver under /proc", &info);
    const SchedulerFigures atStart = ReadScheduler(linuxProcess);
    Sleep(SettleMilliseconds);
    const SchedulerFigures settled = ReadScheduler(linuxProcess);
    const SchedulerFigures xSettled = xServer.empty() ? SchedulerFigures{} : ReadScheduler(xServer);
    const LARGE_INTEGER idleFrom = Now();
    if (Milliseconds(started, idleFrom) >= runMilliseconds)
        return Fail("the run is shorter than start-up and settling", &info);

    const double elapsed = Milliseconds(started, Now());
    if (elapsed < runMilliseconds)
        Sleep(static_cast<DWORD>(runMilliseconds - elapsed));
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
        return Fail("the saver ended by itself", &info);
    const SchedulerFigures atEnd = ReadScheduler(linuxProcess);
    const SchedulerFigures xAtEnd = xServer.empty() ? SchedulerFigures{} : ReadScheduler(xServer);
    const double idleMinutes = Milliseconds(idleFrom, Now()) / 60000.0;
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

    printf("%.1f %.2f %.2f %.2f %.1f %lu %.1f %lu %.2f %.2f\n", startMs, atStart.runMs,
           settled.runMs - atStart.runMs, (atEnd.runMs - settled.runMs) / idleMinutes,
           static_cast<double>(atEnd.runs - settled.runs) / idleMinutes,
           static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024), wakeMs, exitCode, atEnd.runMs,
           (xAtEnd.runMs - xSettled.runMs) / idleMinutes);
    return 0;
}
