// The setup dialog over a broken control.ini: it opens, OK saves our section
// within its limits and Cancel writes nothing; no other section changes.
#include <gtest/gtest.h>

#include "chain/catalog.h"
#include "resources/resource.h"
#include "settings/outside_fakes.h"
#include "settings/settings.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/ini_faults.h"
#include "support/wine_test.h"

namespace {

TEST(SetupDialogFaults, BrokenControlIniOpensAndClosesCleanly)
{
    LoadSettingStrings();
    for (const IniFault& fault : ControlIniFaults()) {
        for (int closer : {IDOK, IDCANCEL}) {
            SCOPED_TRACE(testing::Message() << fault.name << (closer == IDOK ? ", OK" : ", Cancel"));
            PlacedIniFault placed(fault);
            FakeOutside hardware;
            hardware.displayAnswers = hardware.deviceOpens = true;
            InstallFakeOutside(hardware);
            const std::string before = ControlIniContents();
            INT_PTR result = RunDialogScript(IDD_SETUP, SetupDialogProc, {[closer](HWND dialog) {
                                                 Click(dialog, closer);
                                                 return true;
                                             }});
            RemoveFakeOutside();
            ReleaseSaverCatalog();
            EXPECT_EQ(closer == IDOK ? 1 : 0, result);
            const std::string after = ControlIniContents();
            if (closer == IDCANCEL || fault.readOnly) {
                EXPECT_EQ(before, after);
                continue;
            }
            EXPECT_EQ(OutsideApplicationSection(before), OutsideApplicationSection(after));
            for (const char* key : {"Standby After", "Suspend After", "Off After"})
                EXPECT_GE(99u, GetPrivateProfileIntA(ApplicationSection(), key, -1, "control.ini"))
                    << key << "\n" << after;
        }
    }
}

} // namespace
