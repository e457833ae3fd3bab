// The setup dialog over a broken control.ini: it opens, OK saves our section
// within its limits and Cancel writes nothing; no other section changes. OK
// over a file that cannot be written says so and keeps the dialog open.
#include <gtest/gtest.h>

#include "chain/catalog.h"
#include "host/host.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/ini_faults.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

namespace {

TEST(SetupDialogFaults, BrokenControlIniOpensAndClosesCleanly)
{
    for (const IniFault& fault : ControlIniFaults()) {
        for (int closer : {IDOK, IDCANCEL}) {
            SCOPED_TRACE(testing::Message() << fault.name << (closer == IDOK ? ", OK" : ", Cancel"));
            PlacedIniFault placed(fault);
            FakeOutside hardware;
            InstallFakeOutside(hardware);
            const std::string before = ControlIniContents();
            const bool refused = closer == IDOK && fault.readOnly;
            bool keptOpen = false;
            HWND shown = nullptr;
            INT_PTR result = RunDialogScript(
                IDD_SETUP, SetupDialogProc,
                {[&](HWND dialog) { shown = dialog; Click(dialog, closer); return true; },
                 [&](HWND dialog) { keptOpen = true; Click(dialog, IDCANCEL); return true; }});
            RemoveStandIns();
            ReleaseSaverCatalog();
            EXPECT_EQ(closer == IDOK && !refused ? 1 : 0, result);
            EXPECT_EQ(refused ? 1u : 0u, hardware.boxes.size());
            EXPECT_EQ(refused, keptOpen);
            const std::string after = ControlIniContents();
            if (refused) {
                EXPECT_EQ(shown, hardware.boxOwner);
                char reason[256] = {};
                FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               ERROR_SHARING_VIOLATION, 0, reason, sizeof reason, nullptr);
                wchar_t hint[256] = {};
                EXPECT_LT(4, LoadStringW(ModuleInstance, IDS_SAVE_PACKAGE_HINT, hint, 256));
                for (const std::string& part : {ControlIniPath(), std::string(reason), Utf8(hint + 4)})
                    EXPECT_NE(std::string::npos, hardware.boxText.find(part)) << hardware.boxText;
            }
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
