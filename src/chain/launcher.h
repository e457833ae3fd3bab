// Starts another saver program with its run (" /S") or configure (" /C") switch.
#pragma once
#include <windows.h>

extern char ChainedSaverPath[256];
extern char ChainedSaverCommandLine[256];

// Starts `application` with `commandLine`; shows "CreateProcess fail (%ld)" when it
// cannot. Returns whether the program was started, and its process id in
// `processId` when one is given.
bool LaunchSaver(const char* application, char* commandLine, DWORD* processId = nullptr);
