// Stands in for another saver program started as the chained saver. It logs its
// process id, its command line and every WM_ACTIVATE and WM_CLOSE it receives,
// and covers screen point (50, 50) with a topmost window.
// Environment: KELVORIN_CHAIN_LOG names the log (default: the program path plus
// ".log"); KELVORIN_CHAIN_SHOW names an event to wait for before the window
// shows; KELVORIN_CHAIN_HANG=1 stops handling messages once the window shows;
// KELVORIN_CHAIN_AT=<x>,<y> moves the window from (0, 0); KELVORIN_CHAIN_CHILD=1
// covers it with a child window that logs nothing.
// The program ends by itself after half a minute, or after KELVORIN_CHAIN_LIFETIME
// milliseconds once its window shows, and logs "ends itself <tick count>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD Lifetime = 30000;
constexpr UINT_PTR LifetimeTimer = 1;
std::string LogPath;

void Log(const std::string& line)
{
    FILE* file = fopen(LogPath.c_str(), "ab");
    if (!file)
        return;
    fprintf(file, "%s\n", line.c_str());
    fclose(file);
}

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    if (!GetEnvironmentVariableA(name, value, MAX_PATH))
        return "";
    return value;
}

LRESULT CALLBACK ChainedSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        Log("WM_ACTIVATE " + std::to_string(LOWORD(wParam)));
        break;
    case WM_CLOSE:
        Log("WM_CLOSE");
        break;
    case WM_TIMER:
        Log("ends itself " + std::to_string(GetTickCount()));
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LogPath = Environment("KELVORIN_CHAIN_LOG");
    if (LogPath.empty()) {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        LogPath = std::string(path) + ".log";
    }
    Log("pid " + std::to_string(GetCurrentProcessId()));
    Log(std::string("cmdline ") + GetCommandLineA());

    std::string showEvent = Environment("KELVORIN_CHAIN_SHOW");
    if (!showEvent.empty()) {
        HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, showEvent.c_str());
        if (event) {
            WaitForSingleObject(event, Lifetime);
            CloseHandle(event);
        }
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ChainedSaverProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "KelvorinChainedSaver";
    RegisterClassA(&windowClass);
    int x = 0, y = 0;
    sscanf(Environment("KELVORIN_CHAIN_AT").c_str(), "%d,%d", &x, &y);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "KelvorinChainedSaver", "chained", WS_POPUP,
                                  x, y, 200, 200, nullptr, nullptr, instance, nullptr);
    if (Environment("KELVORIN_CHAIN_CHILD") == "1")
        CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 200, 200, window,
                        nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Log("shown");
    if (Environment("KELVORIN_CHAIN_HANG") == "1") {
        Sleep(Lifetime);
        return 2;
    }
    std::string lifetime = Environment("KELVORIN_CHAIN_LIFETIME");
    SetTimer(window, LifetimeTimer, lifetime.empty() ? Lifetime : std::stoul(lifetime), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
