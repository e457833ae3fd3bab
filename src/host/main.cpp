// kelvorin.scr: a power-saving screen saver.
#include "host/host.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return ProgramEntry();
}
