// The logo painter: a black window with the logo at a new random place on
// every paint, in Logo mode only.
#include "saver/random.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

namespace {

const wchar_t LogoResourceName[] = L"BITMAP_1";

} // namespace

void PrepareLogo(HWND window, HINSTANCE module)
{
    SaverRunStateRecord& run = SaverRunState;
    run.LogoBitmap = LoadBitmapW(module, LogoResourceName);
    HDC windowDC = GetDC(window);
    run.LogoDC = CreateCompatibleDC(windowDC);
    ReleaseDC(window, windowDC);
    run.LogoDCFormerObject = run.LogoBitmap ? SelectObject(run.LogoDC, run.LogoBitmap) : nullptr;
    BITMAP description = {};
    if (run.LogoBitmap && GetObjectW(run.LogoBitmap, sizeof description, &description)) {
        run.LogoWidth = description.bmWidth;
        run.LogoHeight = description.bmHeight;
    }
}

void ReleaseLogo()
{
    SaverRunStateRecord& run = SaverRunState;
    if (run.LogoDC) {
        if (run.LogoDCFormerObject)
            SelectObject(run.LogoDC, run.LogoDCFormerObject);
        DeleteDC(run.LogoDC);
    }
    if (run.LogoBitmap)
        DeleteObject(run.LogoBitmap);
    run.LogoDC = nullptr;
    run.LogoDCFormerObject = nullptr;
    run.LogoBitmap = nullptr;
}

void EraseLogoBackground(HWND window, HDC dc)
{
    if (SaverMode != SaverModeLogo)
        return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Draws through a device context of its own; the paint itself is validated by
// the default procedure afterwards.
void PaintLogoFrame(HWND window)
{
    const SaverRunStateRecord& run = SaverRunState;
    if (run.DisplayStage == DisplayStageSuspend || run.DisplayStage == DisplayStageOff)
        return;
    if (SaverMode != SaverModeLogo)
        return;
    RECT client;
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    HDC dc = GetDC(window);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetStretchBltMode(dc, COLORONCOLOR);
    LogoPlace place = NextLogoPlace(client.right, client.bottom, run.LogoWidth, run.LogoHeight);
    StretchBlt(dc, place.x, place.y, run.LogoWidth, run.LogoHeight, run.LogoDC, 0, 0,
               run.LogoWidth, run.LogoHeight, SRCCOPY);
    ReleaseDC(window, dc);
}
