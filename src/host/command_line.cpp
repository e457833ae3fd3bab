// The command-line grammar that tells a saver run from a configuration run.
#include "host/command_line.h"

namespace {

wchar_t Lower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Compares the first `count` characters, or the whole strings when count is -1,
// with A-Z equal to a-z and nothing else folded.
bool SameText(const wchar_t* a, const wchar_t* b, int count = -1)
{
    for (int i = 0; count < 0 || i < count; ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
        if (a[i] == L'\0')
            return true;
    }
    return true;
}

// Reads "/p", "-p" or "p", then blanks or one colon, then decimal digits up to
// the end. Returns whether the arguments have that form; `window` gets the
// number, or 0 when it does not fit 32 bits.
bool ReadPreview(const wchar_t* arguments, uint32_t* window)
{
    const wchar_t* p = arguments;
    if (*p == L'/' || *p == L'-')
        ++p;
    if (Lower(*p) != L'p')
        return false;
    ++p;
    if (*p == L':') {
        ++p;
    } else {
        if (*p != L' ')
            return false;
        while (*p == L' ')
            ++p;
    }
    if (*p == L'\0')
        return false;
    uint64_t value = 0;
    for (; *p != L'\0'; ++p) {
        if (*p < L'0' || *p > L'9')
            return false;
        if (value <= UINT32_MAX)
            value = value * 10 + static_cast<uint64_t>(*p - L'0');
    }
    *window = value <= UINT32_MAX ? static_cast<uint32_t>(value) : 0;
    return true;
}

} // namespace

const wchar_t* ArgumentsOf(const wchar_t* commandLine)
{
    if (commandLine == nullptr)
        return L"";
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        // Windows quotes a program path that holds a blank.
        ++p;
        while (*p != L'\0' && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p != L'\0' && *p != L' ')
            ++p;
    }
    while (*p == L' ')
        ++p;
    return p;
}

RunKind RunKindOf(const wchar_t* arguments)
{
    uint32_t window;
    if (SameText(arguments, L"/s", 2) || SameText(arguments, L"-s") || SameText(arguments, L"s"))
        return RunKind::Saver;
    if (ReadPreview(arguments, &window))
        return RunKind::Preview;
    if (SameText(arguments, L"/c") || SameText(arguments, L"-c") || SameText(arguments, L"c"))
        return RunKind::ConfigurationOwned;
    return RunKind::ConfigurationUnowned;
}

uint32_t PreviewWindowOf(const wchar_t* arguments)
{
    uint32_t window = 0;
    return ReadPreview(arguments, &window) ? window : 0;
}
