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

} // namespace

const wchar_t* ArgumentsOf(const wchar_t* commandLine)
{
    if (commandLine == nullptr)
        return L"";
    const wchar_t* p = commandLine;
    while (*p != L'\0' && *p != L' ')
        ++p;
    while (*p == L' ')
        ++p;
    return p;
}

RunKind RunKindOf(const wchar_t* arguments)
{
    if (SameText(arguments, L"/s", 2) || SameText(arguments, L"-s") || SameText(arguments, L"s"))
        return RunKind::Saver;
    if (SameText(arguments, L"/c") || SameText(arguments, L"-c") || SameText(arguments, L"c"))
        return RunKind::ConfigurationOwned;
    return RunKind::ConfigurationUnowned;
}
