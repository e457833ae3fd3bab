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
    {__LINE__, L"kelvorin.scr /p 1234", L"/p 1234", Unowned},
    {__LINE__, L"kelvorin.scr /a", L"/a", Unowned},
    {__LINE__, L"kelvorin.scr     /s", L"/s", S},
    {__LINE__, L"kelvorin.scr\t/s", L"", Unowned},
    {__LINE__, L"kelvorin.scr \t/s", L"\t/s", Unowned},
    {__LINE__, L"\"C:\\My Savers\\kelvorin.scr\" /s", L"Savers\\kelvorin.scr\" /s", Unowned},
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

TEST(CommandLine, ArgumentsPointIntoTheCommandLine)
{
    const wchar_t* commandLine = L"x  /s";
    EXPECT_EQ(commandLine + 3, ArgumentsOf(commandLine));
    EXPECT_STREQ(L"", ArgumentsOf(nullptr));
}

} // namespace
