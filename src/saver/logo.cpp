// The logo painter: a black window with the logo at a new random place on
// every paint, in Logo mode only, each frame on one monitor. The preview draws
// its frames through it too.
#include "saver/random.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

namespace {

const wchar_t LogoResourceName[] = L"BITMAP_1";

// Keeps the part of `monitor` inside the client area, given in screen coordinates.
BOOL CALLBACK KeepMonitor(HMONITOR, HDC, LPRECT monitor, LPARAM data)
{
    const RECT& client = *reinterpret_cast<const RECT*>(data);
    SaverRunStateRecord& run = SaverRunState;
    RECT part;
    if (run.LogoMonitorCount < MaxLogoMonitors && IntersectRect(&part, monitor, &client))
        run.LogoMonitors[run.LogoMonitorCount++]
            = {part.left - client.left, part.top - client.top, part.right - client.left,
               part.bottom - client.top};
    return TRUE;
}

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

void ReadLogoMonitors(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SaverRunState.LogoMonitorCount = 0;
    EnumDisplayMonitors(nullptr, nullptr, KeepMonitor, reinterpret_cast<LPARAM>(&client));
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
    DrawLogoFrame(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
}

LogoSize DrawnLogoSize()
{
    const SaverRunStateRecord& run = SaverRunState;
    return {ScaledLogoLength(run.LogoWidth, run.LogoScaleNumerator, run.LogoScaleDenominator),
            ScaledLogoLength(run.LogoHeight, run.LogoScaleNumerator, run.LogoScaleDenominator)};
}

LogoPlace TakeLogoPlace(int32_t width, int32_t height)
{
    const SaverRunStateRecord& run = SaverRunState;
    LogoSize size = DrawnLogoSize();
    LogoPlace chosen = NextLogoPlace(width, height, size.width, size.height);
    return PlaceOnOneMonitor(chosen, size, run.LogoMonitors, run.LogoMonitorCount);
}

void DrawLogoFrame(HDC dc, int32_t width, int32_t height)
{
    const SaverRunStateRecord& run = SaverRunState;
    SetStretchBltMode(dc, COLORONCOLOR);
    LogoSize size = DrawnLogoSize();
    LogoPlace place = TakeLogoPlace(width, height);
    StretchBlt(dc, place.x, place.y, size.width, size.height, run.LogoDC, 0, 0, run.LogoWidth,
               run.LogoHeight, SRCCOPY);
}
