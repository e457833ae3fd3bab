// Shared helpers for tests that run under Wine: paths, files, control.ini,
// other processes and message pumping.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A build-tree path (as CMake knows it) as Wine sees it, on drive Z:.
std::wstring WinePath(const char* unixPath);
// The built kelvorin.scr and the helper programs of the tests.
std::wstring SaverProgramPath();
std::wstring HelperProgramPath(const char* name);

// Whole-file access; ReadWholeFile returns false when the file does not exist.
bool ReadWholeFile(const std::string& path, std::string* contents);
void WriteWholeFile(const std::string& path, const std::string& contents);

// The paths of the files in `directory` (ending in a backslash) that match
// `pattern`, which may hold wildcards.
std::vector<std::string> FilesMatching(const std::string& directory, const char* pattern);
// Deletes a file, giving a program that may still be ending a moment to let go of it.
void RemoveFileWhenFree(const std::string& path);

// A file in the prefix's Windows directory, and control.ini there.
std::string WindowsFilePath(const std::string& name);
std::string ControlIniPath();
// Replaces control.ini by exactly these bytes and drops Wine's cached copy.
void SetControlIni(const std::string& contents);
void RemoveControlIni();
std::string ControlIniContents();     // empty when there is no file
void FlushProfileCache();

// Wide text as UTF-8, for comparing and printing.
std::string Utf8(const wchar_t* text);

// Handles messages for about `milliseconds`, or until `until` holds.
void PumpMessages(DWORD milliseconds);
template <typename Predicate>
bool PumpUntil(Predicate until, DWORD milliseconds = 5000)
{
    DWORD start = GetTickCount();
    while (!until()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        PumpMessages(10);
    }
    return true;
}

// A process started with exactly this command line.
struct ChildProcess {
    PROCESS_INFORMATION info = {};
    bool Start(const std::wstring& application, const std::wstring& commandLine);
    // Waits for the exit; returns the exit code, or -1 after a time-out (then it is killed).
    long Wait(DWORD milliseconds = 10000);
    // The first visible top-level window of the process with this class (null: any).
    HWND FindWindowOfClass(const wchar_t* className, DWORD milliseconds = 10000);
    ~ChildProcess();
};
