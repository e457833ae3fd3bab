// Starts another saver program with its run (" /S"), configure (" /C") or
// preview (" /p <window>") switch.
#pragma once
#include <windows.h>

extern char ChainedSaverPath[256];
extern char ChainedSaverCommandLine[256];

// Fills ChainedSaverPath with `path` and ChainedSaverCommandLine with the path
// and `switchText` (" /S", " /p 1234"), the path quoted there when it holds a
// blank or a tab. Both are cut short to fit their buffers.
void FillChainedSaverCommand(const char* path, const char* switchText);

// Starts `application` with `commandLine`; shows "CreateProcess fail (%ld)" when it
// cannot, unless `quiet` (a preview shows no box). Returns whether the program
// was started, and its process id in `processId` when one is given.
bool LaunchSaver(const char* application, char* commandLine, DWORD* processId = nullptr,
                 bool quiet = false);
