// kelvorin.scr: a power-saving screen saver.
#include "app/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return ProgramEntry();
}
