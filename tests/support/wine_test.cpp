// Shared helpers for tests that run under Wine.
#include "support/wine_test.h"

#include <cstdio>

std::wstring WinePath(const char* unixPath)
{
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

std::wstring SaverProgramPath()
{
    return WinePath(KELVORIN_BUILD_DIR "/kelvorin.scr");
}

std::wstring HelperProgramPath(const char* name)
{
    return WinePath(KELVORIN_HELPER_DIR) + L"\\" + std::wstring(name, name + strlen(name)) + L".exe";
}

bool ReadWholeFile(const std::string& path, std::string* contents)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    contents->clear();
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        contents->append(buffer, n);
    fclose(file);
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& contents)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(contents.data(), 1, contents.size(), file);
    fclose(file);
}

std::vector<std::string> FilesMatching(const std::string& directory, const char* pattern)
{
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + pattern).c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        paths.push_back(directory + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return paths;
}

void RemoveFileWhenFree(const std::string& path)
{
    PumpUntil([&] {
        return DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 3000);
}

std::string WindowsFilePath(const std::string& name)
{
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\" + name;
}

std::string ControlIniPath()
{
    return WindowsFilePath("control.ini");
}

void FlushProfileCache()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "control.ini");
}

void SetControlIni(const std::string& contents)
{
    FlushProfileCache();
    WriteWholeFile(ControlIniPath(), contents);
    FlushProfileCache();
}

void RemoveControlIni()
{
    FlushProfileCache();
    DeleteFileA(ControlIniPath().c_str());
    FlushProfileCache();
}

std::string ControlIniContents()
{
    FlushProfileCache();
    std::string contents;
    ReadWholeFile(ControlIniPath(), &contents);
    return contents;
}

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

bool ChildProcess::Start(const std::wstring& application, const std::wstring& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring writable = commandLine;
    return CreateProcessW(application.c_str(), &writable[0], nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &info) != FALSE;
}

long ChildProcess::Wait(DWORD milliseconds)
{
    if (info.hProcess == nullptr)
        return -1;
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return static_cast<long>(code);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (search->className && wcscmp(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND ChildProcess::FindWindowOfClass(const wchar_t* className, DWORD milliseconds)
{
    WindowSearch search = {info.dwProcessId, className, nullptr};
    PumpUntil([&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, milliseconds);
    return search.found;
}

ChildProcess::~ChildProcess()
{
    if (info.hProcess) {
        if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}

std::string Utf8(const wchar_t* text)
{
    if (text == nullptr)
        return "";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}
