// Starts another saver program with its run (" /S"), configure (" /C") or
// preview (" /p <window>") switch.
#pragma once

extern char ChainedSaverPath[256];
extern char ChainedSaverCommandLine[256];

// Starts `application` with `commandLine`; shows "CreateProcess fail (%ld)" when it
// cannot, unless `quiet` (a preview shows no box). Returns whether the program
// was started.
bool LaunchSaver(const char* application, char* commandLine, bool quiet = false);
