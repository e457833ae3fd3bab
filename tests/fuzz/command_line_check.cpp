// The command-line grammar against a plain reading of its rules, over
// arbitrary wide units.
#include "fuzz/fuzz_checks.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/command_line.h"

namespace {

// Only A-Z fold.
wchar_t Folded(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

// A preview's arguments: a switch, blanks or one colon, then only digits.
// Returns whether `text` has that form and puts the digits in `digits`.
bool PreviewDigits(const std::wstring& text, std::wstring* digits)
{
    for (const wchar_t* name : {L"/p", L"-p", L"p"}) {
        if (text.compare(0, std::wcslen(name), name) != 0)
            continue;
        std::wstring rest = text.substr(std::wcslen(name));
        if (rest.compare(0, 1, L":") == 0)
            rest.erase(0, 1);
        else if (rest.compare(0, 1, L" ") == 0)
            rest.erase(0, rest.find_first_not_of(L' '));
        else
            return false;
        if (rest.empty() || rest.find_first_not_of(L"0123456789") != std::wstring::npos)
            return false;
        *digits = rest;
        return true;
    }
    return false;
}

std::wstring FoldedText(const wchar_t* arguments)
{
    std::wstring text;
    for (const wchar_t* p = arguments; *p != L'\0'; ++p)
        text += Folded(*p);
    return text;
}

// The window as the digits say, 0 beyond 32 bits.
uint32_t ExpectedPreviewWindow(const wchar_t* arguments)
{
    std::wstring digits;
    if (!PreviewDigits(FoldedText(arguments), &digits))
        return 0;
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));
    if (digits.size() > 10 || (digits.size() == 10 && digits > L"4294967295"))
        return 0;
    uint32_t value = 0;
    for (wchar_t digit : digits)
        value = value * 10 + static_cast<uint32_t>(digit - L'0');
    return value;
}

RunKind ExpectedRunKind(const wchar_t* arguments)
{
    std::wstring text = FoldedText(arguments);
    std::wstring digits;
    if (text.compare(0, 2, L"/s") == 0 || text == L"-s" || text == L"s")
        return RunKind::Saver;
    if (PreviewDigits(text, &digits))
        return RunKind::Preview;
    if (text == L"/c" || text == L"-c" || text == L"c")
        return RunKind::ConfigurationOwned;
    return RunKind::ConfigurationUnowned;
}

size_t ExpectedArgumentsStart(const std::vector<wchar_t>& line)
{
    size_t i = 0;
    if (line[0] == L'"') {
        for (i = 1; line[i] != L'\0' && line[i] != L'"'; ++i) {
        }
        if (line[i] == L'"')
            ++i;
    }
    while (line[i] != L'\0' && line[i] != L' ' && line[0] != L'"')
        ++i;
    while (line[i] == L' ')
        ++i;
    return i;
}

// `unitSize` bytes, little-endian, to a unit; a zero unit ends the vector.
std::vector<wchar_t> Units(const uint8_t* data, size_t size, size_t unitSize)
{
    std::vector<wchar_t> units;
    for (size_t i = 0; i + unitSize <= size; i += unitSize) {
        uint32_t value = 0;
        for (size_t b = 0; b < unitSize; ++b)
            value |= static_cast<uint32_t>(data[i + b]) << (8 * b);
        units.push_back(static_cast<wchar_t>(value));
    }
    units.push_back(L'\0');
    return units;
}

std::string CheckLine(const std::vector<wchar_t>& units, const char* reading)
{
    // A copy of exactly the line and its zero, so reading past it is caught.
    const size_t length = std::wcslen(units.data());
    std::vector<wchar_t> line(units.begin(), units.begin() + length + 1);
    const wchar_t* arguments = ArgumentsOf(line.data());
    if (arguments < line.data() || arguments > line.data() + length)
        return std::string(reading) + ": arguments outside the command line";
    if (static_cast<size_t>(arguments - line.data()) != ExpectedArgumentsStart(line))
        return std::string(reading) + ": arguments start at the wrong unit";
    if (RunKindOf(arguments) != ExpectedRunKind(arguments))
        return std::string(reading) + ": wrong run for the arguments";
    if (RunKindOf(line.data()) != ExpectedRunKind(line.data()))
        return std::string(reading) + ": wrong run for the whole line taken as arguments";
    if (PreviewWindowOf(line.data()) != ExpectedPreviewWindow(line.data()))
        return std::string(reading) + ": wrong preview window";
    return "";
}

} // namespace

std::string CheckCommandLineInput(const uint8_t* data, size_t size)
{
    std::string fault = CheckLine(Units(data, size, sizeof(wchar_t)), "wide units");
    if (fault.empty())
        fault = CheckLine(Units(data, size, 2), "16-bit units");
    return fault;
}
