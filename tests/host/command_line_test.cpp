// The command-line grammar over whole command lines, as the program receives them.
#include <gtest/gtest.h>

#include "host/command_line.h"

namespace {

struct Row {
    int line;
    const wchar_t* commandLine;
    const wchar_t* arguments;
    RunKind run;
    uint32_t window = 0;    // the preview window
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
    {__LINE__, L"kelvorin.scr /p 1234", L"/p 1234", P, 1234},
    {__LINE__, L"kelvorin.scr /s 1234", L"/s 1234", S},
    {__LINE__, L"kelvorin.scr -P:0042", L"-P:0042", P, 42},
    {__LINE__, L"kelvorin.scr -p   7", L"-p   7", P, 7},
    {__LINE__, L"kelvorin.scr p 4294967295", L"p 4294967295", P, 4294967295u},
    // Beyond 32 bits a number names no window.
    {__LINE__, L"kelvorin.scr /p 4294967296", L"/p 4294967296", P},
    {__LINE__, L"kelvorin.scr /p 99999999999999999999", L"/p 99999999999999999999", P},
    {__LINE__, L"kelvorin.scr p 0", L"p 0", P},
    {__LINE__, L"kelvorin.scr /p", L"/p", Unowned},
    {__LINE__, L"kelvorin.scr /p:", L"/p:", Unowned},
    {__LINE__, L"kelvorin.scr /p ", L"/p ", Unowned},
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
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr\"   /p 99", L"/p 99", P, 99},
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
        EXPECT_EQ(row.window, PreviewWindowOf(arguments));
    }
}

TEST(CommandLine, ArgumentsPointIntoTheCommandLine)
{
    const wchar_t* commandLine = L"x  /s";
    EXPECT_EQ(commandLine + 3, ArgumentsOf(commandLine));
    EXPECT_STREQ(L"", ArgumentsOf(nullptr));
}

} // namespace
