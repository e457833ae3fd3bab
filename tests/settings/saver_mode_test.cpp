// The saver-mode rule over names and paths, with the texts given directly.
#include <gtest/gtest.h>

#include "settings/saver_mode.h"

namespace {

TEST(SaverModeRule, OwnTextAnywhereThenNoneAtTheStartThenChained)
{
    const struct {
        int line;
        const char* name;
        const char* ownText;
        const char* noneText;
        int mode;
    } rows[] = {
        {__LINE__, "None", "kelvorin", "None", SaverModeBlank},
        {__LINE__, "Nonesuch", "kelvorin", "None", SaverModeBlank},
        {__LINE__, "none", "kelvorin", "None", SaverModeChained},
        {__LINE__, "Non", "kelvorin", "None", SaverModeChained},
        {__LINE__, "", "kelvorin", "None", SaverModeChained},
        {__LINE__, "C:\\WINDOWS\\SYSTEM\\kelvorin.scr", "kelvorin", "None", SaverModeLogo},
        {__LINE__, "None kelvorin", "kelvorin", "None", SaverModeLogo},
        {__LINE__, "Kelvorin", "kelvorin", "None", SaverModeChained},
        {__LINE__, "Aus", "kelvorin", "Aus", SaverModeBlank},
        // Empty texts: every name contains and begins with them.
        {__LINE__, "Marquee", "", "None", SaverModeLogo},
        {__LINE__, "Marquee", "kelvorin", "", SaverModeBlank},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        EXPECT_EQ(row.mode, SaverModeFor(row.name, row.ownText, row.noneText));
    }
}

} // namespace
