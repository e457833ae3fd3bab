// The command-line grammar against a plain reading of its rules, over
// arbitrary wide units.
#include "fuzz/fuzz_checks.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "host/command_line.h"

namespace {

// Only A-Z fold.
wchar_t Folded(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

std::wstring FoldedText(const wchar_t* arguments)
{
    std::wstring text;
    for (const wchar_t* p = arguments; *p != L'\0'; ++p)
        text += Folded(*p);
    return text;
}

// The digits of folded preview arguments ("/p", "-p" or "p", blanks or one colon, digits); empty for any other form.
std::wstring PreviewDigits(std::wstring text)
{
    if (text.rfind(L"/", 0) == 0 || text.rfind(L"-", 0) == 0)
        text.erase(0, 1);
    if (text.rfind(L"p:", 0) == 0)
        text.erase(0, 2);
    else if (text.rfind(L"p ", 0) == 0)
        text.erase(0, text.find_first_not_of(L' ', 1));
    else
        return L"";
    return text.find_first_not_of(L"0123456789") == std::wstring::npos ? text : L"";
}

// The window as the digits say, 0 beyond 32 bits.
uint32_t ExpectedPreviewWindow(const wchar_t* arguments)
{
    const unsigned long long value = std::wcstoull(PreviewDigits(FoldedText(arguments)).c_str(), nullptr, 10);
    return value > UINT32_MAX ? 0 : static_cast<uint32_t>(value);
}

RunKind ExpectedRunKind(const wchar_t* arguments)
{
    std::wstring text = FoldedText(arguments);
    if (text.compare(0, 2, L"/s") == 0 || text == L"-s" || text == L"s")
        return RunKind::Saver;
    if (!PreviewDigits(text).empty())
        return RunKind::Preview;
    if (text == L"/c" || text == L"-c" || text == L"c")
        return RunKind::ConfigurationOwned;
    return RunKind::ConfigurationUnowned;
}

size_t ExpectedArgumentsStart(const std::vector<wchar_t>& line)
{
    const bool quoted = line[0] == L'"';
    size_t i = quoted ? 1 : 0;
    while (line[i] != L'\0' && line[i] != (quoted ? L'"' : L' '))
        ++i;
    i += quoted && line[i] == L'"';
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
