// Starts another saver program with its run (" /S"), configure (" /C") or
// preview (" /p <window>") switch.
#pragma once
#include <windows.h>

extern char ChainedSaverPath[256];
extern char ChainedSaverCommandLine[256];

// Fills ChainedSaverPath with `path` and ChainedSaverCommandLine with the path
// and `switchText` (" /S", " /p 1234"), the path quoted there when it holds a
// blank or a tab. When either does not fit its buffer, both are left empty and
// the answer is false; LaunchSaver then fails as for a missing program.
bool FillChainedSaverCommand(const char* path, const char* switchText);

// Starts `application` with `commandLine` (an empty one fails with
// ERROR_FILE_NOT_FOUND); shows "CreateProcess fail (%ld)" when it
// cannot, unless `quiet` (a preview shows no box). Returns whether the program
// was started, and its process id in `processId` when one is given.
bool LaunchSaver(const char* application, char* commandLine, DWORD* processId = nullptr,
                 bool quiet = false);
