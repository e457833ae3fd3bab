// Starts another saver program as a process of its own.
#include "chain/launcher.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "host/texts.h"
#include "resources/resource.h"

char ChainedSaverPath[256];
char ChainedSaverCommandLine[256];

namespace {

static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68,
              "a 32-bit start-up record is 68 bytes");

wchar_t LaunchMessage[160];

void ShowLaunchFailure(DWORD error)
{
    FormatText(LaunchMessage, sizeof LaunchMessage / sizeof LaunchMessage[0], IDS_LAUNCH_FAILED,
               static_cast<long>(static_cast<int32_t>(error)));
    ShowTextBox(nullptr, LaunchMessage, IDS_LAUNCH_FAILED_CAPTION, MB_OK);
}

} // namespace

bool FillChainedSaverCommand(const char* path, const char* switchText)
{
    // A program reads its own path up to the first blank unless it is quoted, and
    // would take the rest of the path for its switch.
    const char* quote = strpbrk(path, " \t") ? "\"" : "";
    int pathLength = snprintf(ChainedSaverPath, sizeof ChainedSaverPath, "%s", path);
    int commandLength = snprintf(ChainedSaverCommandLine, sizeof ChainedSaverCommandLine,
                                 "%s%s%s%s", quote, path, quote, switchText);
    // A command cut short could lose its switch and start the wrong mode.
    if (pathLength < 0 || static_cast<size_t>(pathLength) >= sizeof ChainedSaverPath
        || commandLength < 0
        || static_cast<size_t>(commandLength) >= sizeof ChainedSaverCommandLine) {
        ChainedSaverPath[0] = '\0';
        ChainedSaverCommandLine[0] = '\0';
        return false;
    }
    return true;
}

bool LaunchSaver(const char* application, char* commandLine, DWORD* processId, bool quiet)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    // An empty command is one that did not fit its buffer: no such program.
    DWORD error = ERROR_FILE_NOT_FOUND;
    // Handles are inherited on purpose: a started saver gets what this process holds.
    if (commandLine[0] == '\0'
        || !CreateProcessA(application, commandLine, nullptr, nullptr, TRUE,
                           NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        if (commandLine[0] != '\0')
            error = GetLastError();
        if (!quiet)
            ShowLaunchFailure(error);
        return false;
    }
    if (processId)
        *processId = process.dwProcessId;
    // Nothing ever waits for or signals the started saver.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
