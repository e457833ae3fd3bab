// Stands in for a started saver program: writes the command line it received,
// its process id and whether a handle its parent named is usable here, then
// signals that handle (an event) so the parent knows the record is complete.
//   KELVORIN_LAUNCH_RECORD  file to write
//   KELVORIN_LAUNCH_EVENT   the event handle's value in the parent, decimal
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    char recordPath[MAX_PATH] = {};
    char eventText[32] = {};
    GetEnvironmentVariableA("KELVORIN_LAUNCH_RECORD", recordPath, MAX_PATH);
    GetEnvironmentVariableA("KELVORIN_LAUNCH_EVENT", eventText, sizeof eventText);
    HANDLE event = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(_strtoui64(eventText, nullptr, 10)));

    DWORD flags = 0;
    bool inherited = GetHandleInformation(event, &flags) && (flags & HANDLE_FLAG_INHERIT)
        && WaitForSingleObject(event, 0) == WAIT_TIMEOUT;

    FILE* record = fopen(recordPath, "wb");
    if (record == nullptr)
        return 1;
    fprintf(record, "%s\ninherited=%d\nprocess=%lu\n", GetCommandLineA(), inherited ? 1 : 0,
            GetCurrentProcessId());
    fclose(record);
    SetEvent(event);
    return 0;
}
