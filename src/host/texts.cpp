// Texts shown to the user, in the language Windows chose for the string table.
#include "host/texts.h"

#include <cstdarg>

#include "host/host.h"
#include "host/outside.h"

namespace {

// wvsprintfW writes at most 1024 characters and the terminating zero.
constexpr int FormattedSize = 1025;
constexpr int CaptionSize = 128;
constexpr int StringBoxSize = 128;

} // namespace

void LoadText(UINT id, wchar_t* text, int size)
{
    text[0] = L'\0';
    LoadStringW(ModuleInstance, id, text, size);
}

void FormatText(wchar_t* text, size_t size, UINT id, ...)
{
    wchar_t format[FormattedSize];
    wchar_t formatted[FormattedSize];
    LoadText(id, format, FormattedSize);
    va_list arguments;
    va_start(arguments, id);
    wvsprintfW(formatted, format, arguments);
    va_end(arguments);
    lstrcpynW(text, formatted, static_cast<int>(size));
}

int ShowTextBox(HWND owner, const wchar_t* text, UINT captionId, UINT type)
{
    wchar_t caption[CaptionSize];
    LoadText(captionId, caption, CaptionSize);
    return Outside::ShowMessageBox(owner, text, caption, type);
}

void ShowStringBox(UINT textId, UINT captionId)
{
    wchar_t text[StringBoxSize];
    LoadText(textId, text, StringBoxSize);
    ShowTextBox(nullptr, text, captionId, MB_OK);
}
