// The command-line grammar over whole command lines, as the program receives them.
#include <gtest/gtest.h>

#include "host/command_line.h"

namespace {

struct Row {
    int line;
    const wchar_t* commandLine;
    const wchar_t* arguments;
    RunKind run;
};

const RunKind S = RunKind::Saver;
const RunKind Owned = RunKind::ConfigurationOwned;
const RunKind Unowned = RunKind::ConfigurationUnowned;
const RunKind P = RunKind::Preview;

const Row Rows[] = {
    {__LINE__, L"", L"", Unowned},
    {__LINE__, L"kelvorin.scr", L"", Unowned},
    {__LINE__, L"kelvorin.scr   ", L"", Unowned},
    {__LINE__, L"kelvorin.scr /s", L"/s", S},
    {__LINE__, L"kelvorin.scr /S", L"/S", S},
    {__LINE__, L"kelvorin.scr /s:1234", L"/s:1234", S},
    {__LINE__, L"kelvorin.scr /Sfoo bar", L"/Sfoo bar", S},
    {__LINE__, L"kelvorin.scr /", L"/", Unowned},
    {__LINE__, L"kelvorin.scr -s", L"-s", S},
    {__LINE__, L"kelvorin.scr -S", L"-S", S},
    {__LINE__, L"kelvorin.scr s", L"s", S},
    {__LINE__, L"kelvorin.scr S", L"S", S},
    {__LINE__, L"kelvorin.scr -s 5", L"-s 5", Unowned},
    {__LINE__, L"kelvorin.scr s x", L"s x", Unowned},
    {__LINE__, L"kelvorin.scr /c", L"/c", Owned},
    {__LINE__, L"kelvorin.scr /C", L"/C", Owned},
    {__LINE__, L"kelvorin.scr -c", L"-c", Owned},
    {__LINE__, L"kelvorin.scr -C", L"-C", Owned},
    {__LINE__, L"kelvorin.scr c", L"c", Owned},
    {__LINE__, L"kelvorin.scr C", L"C", Owned},
    {__LINE__, L"kelvorin.scr /c:1234", L"/c:1234", Unowned},
    {__LINE__, L"kelvorin.scr /p 1234", L"/p 1234", P},
    {__LINE__, L"kelvorin.scr /P:1234", L"/P:1234", P},
    {__LINE__, L"kelvorin.scr -p   7", L"-p   7", P},
    {__LINE__, L"kelvorin.scr p 0", L"p 0", P},
    {__LINE__, L"kelvorin.scr /p", L"/p", Unowned},
    {__LINE__, L"kelvorin.scr /p: 12", L"/p: 12", Unowned},
    {__LINE__, L"kelvorin.scr /p12", L"/p12", Unowned},
    {__LINE__, L"kelvorin.scr /p -12", L"/p -12", Unowned},
    {__LINE__, L"kelvorin.scr /p\t12", L"/p\t12", Unowned},
    {__LINE__, L"kelvorin.scr /a", L"/a", Unowned},
    {__LINE__, L"kelvorin.scr     /s", L"/s", S},
    {__LINE__, L"kelvorin.scr\t/s", L"", Unowned},
    {__LINE__, L"kelvorin.scr \t/s", L"\t/s", Unowned},
    // A quoted path runs to the closing mark; an unquoted one ends at its first blank.
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr\" /s", L"/s", S},
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr\"   /p 99", L"/p 99", P},
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr\"/c", L"/c", Owned},
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr /s", L"", Unowned},
    {__LINE__, L"C:\\My Savers\\kelvorin.scr /c", L"Savers\\kelvorin.scr /c", Unowned},
    // Only A-Z fold: a dotless capital I or other letters never stand for s or c.
    {__LINE__, L"kelvorin.scr \u017F", L"\u017F", Unowned},
};

TEST(CommandLine, EveryRowOfTheGrammar)
{
    for (const Row& row : Rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        const wchar_t* arguments = ArgumentsOf(row.commandLine);
        EXPECT_EQ(std::wstring(row.arguments), std::wstring(arguments));
        EXPECT_EQ(static_cast<int>(row.run), static_cast<int>(RunKindOf(arguments)));
    }
}

TEST(CommandLine, PreviewArgumentsNameTheirWindow)
{
    // Beyond 32 bits a number names no window.
    const std::pair<const wchar_t*, uint32_t> rows[] = {{L"/p 1234", 1234}, {L"-P:0042", 42},
        {L"p 4294967295", 4294967295u}, {L"/p 4294967296", 0}, {L"/p 99999999999999999999", 0}, {L"/s 1234", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(row.second, PreviewWindowOf(row.first)) << testing::PrintToString(std::wstring(row.first));
}

TEST(CommandLine, ArgumentsPointIntoTheCommandLine)
{
    const wchar_t* commandLine = L"x  /s";
    EXPECT_EQ(commandLine + 3, ArgumentsOf(commandLine));
    EXPECT_STREQ(L"", ArgumentsOf(nullptr));
}

} // namespace
