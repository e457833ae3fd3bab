// The preview window. It reads the settings and nothing else: no display or
// drive request, no hook, no wake-up by input, no write. In Logo mode it draws
// the saver run's frames scaled down to its own size; in Chained mode it hands
// its window to the chosen saver's own preview. Its destruction ends the run.
#include "saver/preview_window.h"

#include <cstdint>
#include <cstdio>

#include "chain/launcher.h"
#include "saver/saver_run.h"
#include "settings/settings.h"

namespace {

const wchar_t PreviewClassName[] = L"KelvorinPreviewClass";

// "<path> /p <window>": the window as an unsigned decimal of its 32 bits.
void StartChainedPreview(HWND window)
{
    char previewSwitch[16];
    snprintf(previewSwitch, sizeof previewSwitch, " /p %lu",
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window) & 0xFFFFFFFFu));
    FillChainedSaverCommand(SaverSettings.ScrnsaveExe, previewSwitch);
    // A saver that cannot start leaves the preview black, without a box.
    (void)LaunchSaver(ChainedSaverPath, ChainedSaverCommandLine, nullptr, true);
}

void CreatePreview(HWND window, const CREATESTRUCTW* creation)
{
    if (SaverMode == SaverModeLogo) {
        SeedLogoRandom(LogoSeed);
        PrepareLogo(window, creation->hInstance);
        // The frame as it would be on the screen, scaled to the preview's width.
        SaverRunState.LogoScaleNumerator = creation->cx;
        SaverRunState.LogoScaleDenominator = GetSystemMetrics(SM_CXSCREEN);
        SetTickTimer(window, TickPeriod);
    } else if (SaverMode == SaverModeChained) {
        StartChainedPreview(window);
    }
}

// Every paint fills the whole client area, so the background is never erased apart.
void PaintPreview(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (SaverMode == SaverModeLogo && client.right > 0 && client.bottom > 0)
        DrawLogoFrame(dc, client.right, client.bottom);
    EndPaint(window, &paint);
}

void DestroyPreview(HWND window)
{
    KillTickTimer(window);
    ReleaseLogo();
    PostQuitMessage(0);
}

} // namespace

HWND CreatePreviewWindow(HINSTANCE instance, HWND parent)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PreviewWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = PreviewClassName;
    if (RegisterClassW(&windowClass) == 0)
        return nullptr;
    RECT client;
    GetClientRect(parent, &client);
    // Clipping keeps a chained saver's own preview, a child of this window, from
    // being painted over.
    return CreateWindowExW(0, PreviewClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                           0, client.right, client.bottom, parent, nullptr, instance, nullptr);
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreatePreview(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintPreview(window);
        return 0;
    case WM_TIMER:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_DESTROY:
        DestroyPreview(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
