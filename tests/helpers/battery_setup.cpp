// kelvorin.scr's own program run on a laptop, for tools/screenshots.sh: the
// shared stand-ins report a system battery, so the setup dialog shows
// its battery column. The display and the drive answer as the real calls do
// under Wine (the display gives no power escape, the drive device does not open).
#include "app/entry.h"
#include "support/stand_ins.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    FakeOutside laptop;
    laptop.battery = true;
    laptop.displayAnswers = laptop.deviceOpens = false;
    InstallFakeOutside(laptop);
    return ProgramEntry();
}
