// The logo painter: a black window with the logo at a new random place once a
// second, in Logo mode only, each frame on one monitor. A new frame changes
// only the logo's old and new places. The preview draws its frames through it too.
#include "saver/logo_size.h"
#include "saver/random.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

namespace {

const wchar_t LogoResourceName[] = L"BITMAP_1";

// The window's DPI where the platform tells it per window (Windows 10 1607 and
// later), otherwise the screen's.
UINT DpiOf(HWND window)
{
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    // Looked up on each call: a guarded static would pull in the C++ runtime.
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    if (dpi == 0) {
        HDC dc = GetDC(window);
        dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY));
        ReleaseDC(window, dc);
    }
    return dpi;
}

RECT LogoRectAt(LogoPlace place)
{
    LogoSize size = DrawnLogoSize();
    return {place.x, place.y, place.x + size.width, place.y + size.height};
}

void DrawLogoAt(HDC dc, LogoPlace place)
{
    const SaverRunStateRecord& run = SaverRunState;
    SetStretchBltMode(dc, COLORONCOLOR);
    LogoSize size = DrawnLogoSize();
    StretchBlt(dc, place.x, place.y, size.width, size.height, run.LogoDC, 0, 0, run.LogoWidth,
               run.LogoHeight, SRCCOPY);
}

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
    run.LogoDpi = DpiOf(window);
    run.LogoPlaced = false;
}

void ReadLogoMonitors(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SaverRunState.LogoMonitorCount = 0;
    EnumDisplayMonitors(nullptr, nullptr, KeepMonitor, reinterpret_cast<LPARAM>(&client));
}

void ReplaceLogoAfterDisplayChange(HWND window)
{
    ReadLogoMonitors(window);
    SaverRunState.LogoPlaced = false;
    InvalidateRect(window, nullptr, TRUE);
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
    // Nothing is drawn into a display that Windows darkened, not even black.
    if (SaverMode != SaverModeLogo || SaverRunState.DisplayDark)
        return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Drawn straight onto the window rather than through a paint: the old place is
// erased and the logo drawn at the next place, so only the two places change.
// Before the first paint there is no frame to move; the window is painted whole.
void NextLogoFrame(HWND window)
{
    SaverRunStateRecord& run = SaverRunState;
    if (run.DisplayDark)
        return;
    RECT client;
    GetClientRect(window, &client);
    if (!run.LogoPlaced || client.right <= 0 || client.bottom <= 0) {
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    RECT old = LogoRectAt(run.LogoAt);
    run.LogoAt = TakeLogoPlace(client.right, client.bottom);
    HDC dc = GetDC(window);
    FillRect(dc, &old, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // Wine hands a window's changed pixels to the X server when the thread looks
    // for input, as one rectangle around all of them: looking here sends the
    // erased place alone, so two small rectangles go out instead of one spanning
    // both places. The answer itself is not needed.
    GetInputState();
    DrawLogoAt(dc, run.LogoAt);
    ReleaseDC(window, dc);
}

// Redraws the current frame where it is (the first paint takes the first place).
// The invalid part is erased first, the first paint's being the whole window.
bool PaintLogoFrame(HWND window)
{
    SaverRunStateRecord& run = SaverRunState;
    if (run.DisplayStage == DisplayStageSuspend || run.DisplayStage == DisplayStageOff)
        return false;
    if (SaverMode != SaverModeLogo)
        return false;
    // Nothing is drawn into a dark display, not even the background.
    if (run.DisplayDark)
        return ValidateRect(window, nullptr) != FALSE;
    RECT client;
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return false;
    if (!run.LogoPlaced) {
        run.LogoAt = TakeLogoPlace(client.right, client.bottom);
        run.LogoPlaced = true;
        InvalidateRect(window, nullptr, TRUE);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawLogoAt(dc, run.LogoAt);
    EndPaint(window, &paint);
    return true;
}

// As large on a scaled screen as at 100 %, then scaled down for a preview.
LogoSize DrawnLogoSize()
{
    const SaverRunStateRecord& run = SaverRunState;
    LogoSize atDpi = LogoSizeForDpi(run.LogoWidth, run.LogoHeight, run.LogoDpi);
    return {ScaledLogoLength(atDpi.width, run.LogoScaleNumerator, run.LogoScaleDenominator),
            ScaledLogoLength(atDpi.height, run.LogoScaleNumerator, run.LogoScaleDenominator)};
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
    DrawLogoAt(dc, TakeLogoPlace(width, height));
}
