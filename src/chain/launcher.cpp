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

void FillChainedSaverCommand(const char* path, const char* switchText)
{
    snprintf(ChainedSaverPath, sizeof ChainedSaverPath, "%s", path);
    // A program reads its own path up to the first blank unless it is quoted, and
    // would take the rest of the path for its switch.
    const char* quote = strpbrk(ChainedSaverPath, " \t") ? "\"" : "";
    snprintf(ChainedSaverCommandLine, sizeof ChainedSaverCommandLine, "%s%s%s%s", quote,
             ChainedSaverPath, quote, switchText);
}

bool LaunchSaver(const char* application, char* commandLine, DWORD* processId, bool quiet)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    // Handles are inherited on purpose: a started saver gets what this process holds.
    if (!CreateProcessA(application, commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        if (!quiet)
            ShowLaunchFailure(GetLastError());
        return false;
    }
    if (processId)
        *processId = process.dwProcessId;
    // Nothing ever waits for or signals the started saver.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
