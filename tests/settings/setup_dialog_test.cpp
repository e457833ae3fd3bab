// The setup dialog run for real from template 2003 and driven from inside its
// modal loop: what it shows for stored settings and hardware, what its controls
// do, what OK and Cancel leave in control.ini, and the dialog, its boxes and its
// help in each language.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "chain/catalog.h"
#include "chain/launcher.h"
#include "host/host.h"
#include "resources/resource.h"
#include "settings/power_rows.h"
#include "settings/settings.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/stand_ins.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

using Ids = std::set<int>;
using Values = std::map<std::string, std::string>;

// A power row's spin bar, minute field and label, as the row table names them.
Ids RowControls(int kind)
{
    const PowerRow& row = PowerRows[kind];
    return {row.spin, row.edit, row.label};
}

const Ids StageBoxes = {PowerRows[StandbyMinutes].check, PowerRows[SuspendMinutes].check,
                        PowerRows[OffMinutes].check};
const Ids CheckBoxes = {IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_OFF, IDC_DRIVE_STANDBY,
                        IDC_PASSWORD_PROTECTED, IDC_MOUSE_MOVE, IDC_MOUSE_CLICK};
const Ids StandbyRow = RowControls(StandbyMinutes);
const Ids SuspendRow = RowControls(SuspendMinutes);
const Ids OffRow = RowControls(OffMinutes);
const Ids DriveRow = RowControls(SpinDownMinutes);
const Ids SaverChoice = {IDC_PASSWORD_PROTECTED, IDC_SET_PASSWORD, IDC_TEST, IDC_SETUP};
const Ids Watched = [] {
    Ids all = {IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_OFF, IDC_DRIVE_STANDBY,
               IDC_PASSWORD_PROTECTED, IDC_SET_PASSWORD, IDC_MOUSE_MOVE, IDC_MOUSE_CLICK,
               IDC_SAVER_LIST, IDC_TEST, IDC_SETUP, IDOK, IDCANCEL, IDC_ABOUT, IDC_HELP_BUTTON};
    for (const Ids& row : {StandbyRow, SuspendRow, OffRow, DriveRow})
        all.insert(row.begin(), row.end());
    return all;
}();

const char Section[] = "Screen Saver.Kelvorin";

Ids Join(std::initializer_list<Ids> groups)
{
    Ids all;
    for (const Ids& group : groups)
        all.insert(group.begin(), group.end());
    return all;
}

// What the dialog shows: checked boxes, disabled controls, minute fields, selection.
struct View {
    Ids checked;
    Ids disabled;
    std::vector<std::string> minutes;
    std::string selected;
    bool operator==(const View& other) const
    {
        return checked == other.checked && disabled == other.disabled && minutes == other.minutes
               && selected == other.selected;
    }
};

std::ostream& operator<<(std::ostream& out, const View& view)
{
    out << "checked {";
    for (int id : view.checked)
        out << " " << id;
    out << " } disabled {";
    for (int id : view.disabled)
        out << " " << id;
    out << " } minutes {";
    for (const std::string& text : view.minutes)
        out << " " << text;
    return out << " } selected \"" << view.selected << "\"";
}

View ViewOf(HWND dialog)
{
    View view;
    for (int id : CheckBoxes)
        if (IsChecked(dialog, id))
            view.checked.insert(id);
    for (int id : Watched)
        if (!IsEnabled(dialog, id))
            view.disabled.insert(id);
    for (const PowerRow& row : PowerRows)
        view.minutes.push_back(TextOf(dialog, row.edit));
    view.selected = SelectedListItem(dialog, IDC_SAVER_LIST);
    return view;
}

std::string Ini(const Values& values)
{
    std::string text = std::string("[") + Section + "]\r\n";
    for (const auto& value : values)
        text += value.first + "=" + value.second + "\r\n";
    return text;
}

// The application's section as control.ini holds it now.
Values SavedValues()
{
    FlushProfileCache();
    std::vector<char> buffer(32767);
    GetPrivateProfileSectionA(Section, buffer.data(), static_cast<DWORD>(buffer.size()), "control.ini");
    Values values;
    for (const char* line = buffer.data(); *line; line += strlen(line) + 1) {
        std::string text = line;
        size_t equals = text.find('=');
        values[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    return values;
}

// What OK saves from an untouched dialog over an empty control.ini, with changes.
Values Saved(const Values& changes)
{
    Values values = {{"Drive Standby", "0"}, {"Video Managed", "0"}, {"Suspend", "0"}, {"Off", "0"},
                     {"Standby", "0"}, {"Mouse", "1"}, {"PWProtected", "0"}, {"Suspend After", "0"},
                     {"Standby After", "0"}, {"Off After", "0"}, {"Spin Down After", "1"},
                     {"Screen Saver Speed", "0"}, {"Screen Saver", "None"}, {"SCRNSAVE.EXE", "None"}};
    for (const auto& change : changes)
        values[change.first] = change.second;
    return values;
}

void Command(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DialogStep Press(int id)
{
    return Do([id](HWND dialog) { Click(dialog, id); });
}

struct Hardware {
    bool displayAnswers;
    uint8_t status;
    uint8_t capabilities;
    bool deviceOpens;
};
const Hardware Nothing = {false, 0, 0, false};
const Hardware Everything = {true, 79, 7, true};

class SetupDialogTest : public testing::Test {
protected:
    SystemFiles files;
    FakeOutside fake;

    void SetUp() override
    {
        SetHardware(Everything);
        RemoveControlIni();
    }
    void TearDown() override
    {
        RemoveStandIns();
        ReleaseSaverCatalog();
    }
    void SetHardware(const Hardware& hardware)
    {
        fake = FakeOutside();
        fake.displayAnswers = hardware.displayAnswers;
        fake.status = hardware.status;
        fake.capabilities = hardware.capabilities;
        fake.deviceOpens = hardware.deviceOpens;
        InstallFakeOutside(fake);
    }
    INT_PTR Run(std::vector<DialogStep> steps)
    {
        return RunDialogScript(IDD_SETUP, SetupDialogProc, std::move(steps));
    }
    // Opens the dialog, takes its view, and closes it with `closer`.
    View Look(int closer = IDCANCEL)
    {
        View view;
        EXPECT_EQ(closer == IDOK ? 1 : 0,
                  Run({Do([&](HWND dialog) { view = ViewOf(dialog); }), Press(closer)}));
        return view;
    }
};

// ---- Opening ---------------------------------------------------------------

struct OpeningRow {
    int line;
    const char* name;
    Values stored;          // empty: no control.ini at all
    Hardware hardware;
    View view;
    Values saved;           // what OK then writes, over the defaults
};

const OpeningRow OpeningRows[] = {
    // A display that answers no escape is served by the platform's request.
    {__LINE__, "no control.ini, no display escapes, no device", {}, Nothing,
     {{IDC_MOUSE_MOVE},
      Join({{IDC_DRIVE_STANDBY}, StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}),
      {"0", "0", "0", "1"}, "None"},
     {}},
    {__LINE__, "no control.ini, display and device present", {}, Everything,
     {{IDC_MOUSE_MOVE}, Join({StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}),
      {"0", "0", "0", "1"}, "None"},
     {}},
    {__LINE__, "Video Managed 1 while the display answers no escape",
     {{"Video Managed", "1"}, {"Standby", "1"}, {"Suspend", "1"}, {"Off", "1"},
      {"Standby After", "5"}, {"Suspend After", "10"}, {"Off After", "15"}},
     {false, 0, 0, true},
     {{IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_OFF, IDC_MOUSE_MOVE},
      Join({DriveRow, SaverChoice}), {"5", "10", "15", "1"}, "None"},
     {{"Video Managed", "1"}, {"Standby", "1"}, {"Suspend", "1"}, {"Off", "1"},
      {"Standby After", "5"}, {"Suspend After", "10"}, {"Off After", "15"}}},
    {__LINE__, "a driver that answers with a status other than 79",
     {{"Video Managed", "1"}}, {true, 0x4E, 7, true},
     {{IDC_VIDEO_MANAGED, IDC_MOUSE_MOVE},
      Join({{IDC_VIDEO_MANAGED}, StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}),
      {"0", "0", "0", "1"}, "None"},
     {{"Video Managed", "1"}}},
    {__LINE__, "Video Managed 0 with Off 1 and Standby 1: both kept",
     {{"Video Managed", "0"}, {"Off", "1"}, {"Standby", "1"}}, Everything,
     {{IDC_STANDBY, IDC_OFF, IDC_MOUSE_MOVE}, Join({StageBoxes, SuspendRow, DriveRow, SaverChoice}),
      {"0", "0", "0", "1"}, "None"},
     {{"Standby", "1"}, {"Off", "1"}}},
    {__LINE__, "capability bits 3 with status 79",
     {{"Video Managed", "1"}, {"Standby", "1"}, {"Suspend", "1"}, {"Off", "1"}}, {true, 79, 3, true},
     {{IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_OFF, IDC_MOUSE_MOVE},
      Join({{IDC_OFF}, DriveRow, SaverChoice}), {"0", "0", "0", "1"}, "None"},
     {{"Video Managed", "1"}, {"Standby", "1"}, {"Suspend", "1"}, {"Off", "1"}}},
    // The password controls stay disabled with "PWProtected" stored in Logo mode; OK saves it 0.
    {__LINE__, "the device unavailable, with everything else stored",
     {{"Drive Standby", "1"}, {"Spin Down After", "7"}, {"Mouse", "2"}, {"PWProtected", "1"},
      {"Screen Saver Speed", "7"}, {"Screen Saver", "kelvorin.scr"}, {"SCRNSAVE.EXE", "C:\\x\\kelvorin.scr"}},
     {true, 79, 7, false},
     {{IDC_MOUSE_CLICK},
      Join({{IDC_DRIVE_STANDBY}, StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}),
      {"0", "0", "0", "7"}, ""},
     {{"Spin Down After", "7"}, {"Mouse", "2"}, {"Screen Saver Speed", "7"},
      {"Screen Saver", "kelvorin.scr"}, {"SCRNSAVE.EXE", "C:\\x\\kelvorin.scr"}}},
    {__LINE__, "stored counts above what the arrows reach",
     {{"Standby After", "150"}, {"Suspend After", "100"}, {"Off After", "70000"}, {"Spin Down After", "150"},
      {"Mouse", "3"}},
     Everything,
     {{IDC_MOUSE_MOVE, IDC_MOUSE_CLICK}, Join({StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}),
      {"150", "100", "4464", "150"}, "None"},
     {{"Standby After", "99"}, {"Suspend After", "99"}, {"Off After", "99"}, {"Spin Down After", "150"},
      {"Mouse", "3"}}},
};

void StoreRow(const OpeningRow& row)
{
    if (row.stored.empty())
        RemoveControlIni();
    else
        SetControlIni(Ini(row.stored));
}

TEST_F(SetupDialogTest, OpeningShowsTheStoredSettingsAsTheHardwareAllows)
{
    for (const OpeningRow& row : OpeningRows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line << ": " << row.name);
        StoreRow(row);
        const std::string before = ControlIniContents();
        SetHardware(row.hardware);
        EXPECT_EQ(row.view, Look());
        EXPECT_EQ(before, ControlIniContents()) << "Cancel writes nothing";
        EXPECT_EQ(1, fake.deviceOpenCalls);
    }
}

TEST_F(SetupDialogTest, OkSavesEveryKeyFromTheControls)
{
    for (const OpeningRow& row : OpeningRows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line << ": " << row.name);
        StoreRow(row);
        SetHardware(row.hardware);
        Look(IDOK);
        EXPECT_EQ(Saved(row.saved), SavedValues());
    }
}

// A stored saver that the list does not hold survives an untouched OK byte for byte;
// picking None replaces it.
TEST_F(SetupDialogTest, AStoredSaverThatIsNotListedSurvivesOk)
{
    const Values gone = {{"Screen Saver", "Gone  Saver (v2) \xE9t\xE9"}, {"SCRNSAVE.EXE", "C:\\Savers\\gone saver.scr"}};
    SetControlIni(Ini(gone));
    EXPECT_EQ("", Look(IDOK).selected);
    EXPECT_EQ(Saved(gone), SavedValues());
    EXPECT_EQ(SaverModeChained, SaverMode);
    SetControlIni(Ini(gone));
    EXPECT_EQ(1, Run({Do([](HWND dialog) { ChooseListItem(dialog, IDC_SAVER_LIST, 0); }), Press(IDOK)}));
    EXPECT_EQ(Saved({}), SavedValues());
    EXPECT_EQ(SaverModeBlank, SaverMode);
}

TEST_F(SetupDialogTest, OtherKeysAndSectionsStayAsTheyWere)
{
    SetControlIni("[Other]\r\nKey=1\r\n" + Ini({{"Unknown", "x"}}));
    Look(IDOK);
    Values expected = Saved({});
    expected["Unknown"] = "x";
    EXPECT_EQ(expected, SavedValues());
    EXPECT_EQ(0u, ControlIniContents().find("[Other]\r\nKey=1\r\n"));
}

// ---- Typing and Cancel -----------------------------------------------------

TEST_F(SetupDialogTest, TypedCountsAreSavedWithinTheirLimits)
{
    struct Row {
        int line;
        int field;
        const char* typed;
        const char* key;
        const char* saved;
    } rows[] = {
        {__LINE__, IDC_STANDBY_AFTER, "30", "Standby After", "30"},
        {__LINE__, IDC_STANDBY_AFTER, "150", "Standby After", "99"},
        {__LINE__, IDC_SUSPEND_AFTER, "99", "Suspend After", "99"},
        {__LINE__, IDC_OFF_AFTER, "100", "Off After", "99"},
        {__LINE__, IDC_SPIN_DOWN_AFTER, "150", "Spin Down After", "150"},
        {__LINE__, IDC_SUSPEND_AFTER, "letters", "Suspend After", "0"},
        {__LINE__, IDC_SPIN_DOWN_AFTER, "", "Spin Down After", "0"},
        {__LINE__, IDC_OFF_AFTER, "  12min", "Off After", "12"},
        {__LINE__, IDC_SPIN_DOWN_AFTER, "70000", "Spin Down After", "65535"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        RemoveControlIni();
        EXPECT_EQ(1, Run({Do([&](HWND dialog) { TypeText(dialog, row.field, row.typed); }), Press(IDOK)}));
        EXPECT_EQ(Saved({{row.key, row.saved}}), SavedValues());
    }
}

TEST_F(SetupDialogTest, CancelAfterChangesLeavesControlIniByteForByte)
{
    const std::string stored = "[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\nStandby After=5\r\n"
                               "Drive Standby=1\r\n\r\n[Other]\r\nx=y\r\n";
    for (int closer : {IDCANCEL, -1}) {
        SCOPED_TRACE(closer == IDCANCEL ? "Cancel button" : "Esc");
        SetControlIni(stored);
        EXPECT_EQ(0, Run({Do([](HWND dialog) {
                              Click(dialog, IDC_VIDEO_MANAGED);
                              Click(dialog, IDC_DRIVE_STANDBY);
                              Click(dialog, IDC_MOUSE_CLICK);
                              TypeText(dialog, IDC_OFF_AFTER, "42");
                              ScrollBar(dialog, IDC_STANDBY_SPIN, SB_LINEUP);
                          }),
                          Do([closer](HWND dialog) {
                              if (closer == IDCANCEL)
                                  Click(dialog, IDCANCEL);
                              else
                                  PostMessageW(GetDlgItem(dialog, IDC_MOUSE_MOVE), WM_KEYDOWN, VK_ESCAPE, 0);
                          }),
                          WaitTicks(100)}));
        EXPECT_EQ(stored, ControlIniContents());
    }
    RemoveControlIni();
    EXPECT_EQ(0, Run({Do([](HWND dialog) { Click(dialog, IDC_MOUSE_CLICK); }), Press(IDCANCEL)}));
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(ControlIniPath(), &contents)) << "no control.ini made";
}

// ---- Spin arrows -----------------------------------------------------------

TEST_F(SetupDialogTest, SpinArrowsCountFromTheStoredCountWithin0To99)
{
    struct Row {
        int line;
        const char* key;
        const char* stored;
        int bar;
        int field;
        std::vector<int> requests;
        const char* shown;
        const char* saved;      // by OK
    } rows[] = {
        {__LINE__, "Standby After", "0", IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, {SB_LINEDOWN}, "0", "0"},
        {__LINE__, "Standby After", "99", IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, {SB_LINEUP}, "99", "99"},
        {__LINE__, "Standby After", "150", IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, {SB_LINEUP}, "99", "99"},
        {__LINE__, "Standby After", "150", IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, {SB_LINEDOWN}, "98", "98"},
        {__LINE__, "Suspend After", "5", IDC_SUSPEND_SPIN, IDC_SUSPEND_AFTER, {SB_LINEUP, SB_LINEUP}, "7", "7"},
        {__LINE__, "Off After", "1", IDC_OFF_SPIN, IDC_OFF_AFTER, {SB_LINEDOWN, SB_LINEDOWN}, "0", "0"},
        {__LINE__, "Spin Down After", "150", IDC_SPIN_DOWN_SPIN, IDC_SPIN_DOWN_AFTER, {SB_LINEUP}, "99", "99"},
        {__LINE__, "Spin Down After", "0", IDC_SPIN_DOWN_SPIN, IDC_SPIN_DOWN_AFTER, {SB_LINEDOWN, SB_LINEUP}, "1", "1"},
        // Page and thumb requests change nothing shown: OK saves the field as it stands.
        {__LINE__, "Standby After", "150", IDC_STANDBY_SPIN, IDC_STANDBY_AFTER, {SB_PAGEUP}, "150", "99"},
        {__LINE__, "Spin Down After", "150", IDC_SPIN_DOWN_SPIN, IDC_SPIN_DOWN_AFTER, {SB_PAGEDOWN, SB_THUMBPOSITION, SB_ENDSCROLL}, "150", "150"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SetControlIni(Ini({{row.key, row.stored}}));
        std::string shown;
        Run({Do([&](HWND dialog) {
                 for (int request : row.requests)
                     ScrollBar(dialog, row.bar, request);
                 shown = TextOf(dialog, row.field);
             }),
             Press(IDOK)});
        EXPECT_EQ(row.shown, shown);
        EXPECT_EQ(row.saved, SavedValues()[row.key]);
    }
}

TEST_F(SetupDialogTest, PageRequestClampsTheStoredCountOnly)
{
    SetControlIni(Ini({{"Standby After", "150"}}));
    std::string shown;
    Run({Do([&](HWND dialog) {
             ScrollBar(dialog, IDC_STANDBY_SPIN, SB_PAGEUP);
             shown = TextOf(dialog, IDC_STANDBY_AFTER);
         }),
         Press(IDCANCEL)});
    EXPECT_EQ("150", shown);
    EXPECT_EQ(99, SaverSettings.StandbyAfter);
}

TEST_F(SetupDialogTest, AnArrowReplacesATypedCountWithTheStoredOnePlusOne)
{
    SetControlIni(Ini({{"Standby After", "5"}}));
    Run({Do([](HWND dialog) {
             TypeText(dialog, IDC_STANDBY_AFTER, "30");
             ScrollBar(dialog, IDC_STANDBY_SPIN, SB_LINEUP);
         }),
         Press(IDOK)});
    EXPECT_EQ("6", SavedValues()["Standby After"]);
}

TEST_F(SetupDialogTest, OnlyTheOffBarsThumbFollowsItsCount)
{
    SetControlIni(Ini({{"Off After", "0"}, {"Standby After", "0"}}));
    std::vector<int> offThumb, standbyThumb;
    Run({Do([&](HWND dialog) {
             HWND off = GetDlgItem(dialog, IDC_OFF_SPIN);
             HWND standby = GetDlgItem(dialog, IDC_STANDBY_SPIN);
             int low = 0, high = 0;
             GetScrollRange(off, SB_CTL, &low, &high);
             EXPECT_EQ(1, low);
             EXPECT_EQ(3, high);
             offThumb.push_back(GetScrollPos(off, SB_CTL));
             for (int request : {SB_LINEUP, SB_LINEUP, SB_LINEUP, SB_LINEUP, SB_LINEDOWN, SB_LINEDOWN,
                                 SB_LINEDOWN, SB_LINEDOWN}) {
                 ScrollBar(dialog, IDC_OFF_SPIN, request);
                 offThumb.push_back(GetScrollPos(off, SB_CTL));
                 ScrollBar(dialog, IDC_STANDBY_SPIN, request);
                 standbyThumb.push_back(GetScrollPos(standby, SB_CTL));
             }
         }),
         Press(IDCANCEL)});
    EXPECT_EQ((std::vector<int>{2, 1, 2, 3, 3, 3, 2, 1, 1}), offThumb);
    EXPECT_EQ(std::vector<int>(8, 2), standbyThumb);
}

// ---- Enabling rules ---------------------------------------------------------

TEST_F(SetupDialogTest, VideoManagedClicksFollowTheStagesAndTheirHeldSettings)
{
    SetControlIni(Ini({{"Standby", "1"}, {"Standby After", "5"}}));
    std::vector<View> views;
    auto look = Do([&](HWND dialog) { views.push_back(ViewOf(dialog)); });
    Run({look, Press(IDC_VIDEO_MANAGED), look, Press(IDC_SUSPEND), look, Press(IDC_VIDEO_MANAGED), look,
         Press(IDC_VIDEO_MANAGED), look, Press(IDOK)});
    ASSERT_EQ(5u, views.size());
    const Ids rest = Join({DriveRow, SaverChoice});
    EXPECT_EQ(Join({StageBoxes, SuspendRow, OffRow, rest}), views[0].disabled) << "opened";
    EXPECT_EQ((Ids{IDC_STANDBY, IDC_MOUSE_MOVE}), views[0].checked);
    EXPECT_EQ(Join({SuspendRow, OffRow, rest}), views[1].disabled) << "managed";
    EXPECT_EQ((Ids{IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_MOUSE_MOVE}), views[1].checked);
    EXPECT_EQ(Join({OffRow, rest}), views[2].disabled) << "Suspend clicked";
    EXPECT_EQ((Ids{IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_MOUSE_MOVE}), views[2].checked);
    EXPECT_EQ(Join({StageBoxes, StandbyRow, SuspendRow, OffRow, rest}), views[3].disabled) << "unmanaged";
    EXPECT_EQ((Ids{IDC_MOUSE_MOVE}), views[3].checked);
    EXPECT_EQ(Join({OffRow, rest}), views[4].disabled) << "managed again: rows by the held settings";
    EXPECT_EQ((Ids{IDC_VIDEO_MANAGED, IDC_STANDBY, IDC_SUSPEND, IDC_MOUSE_MOVE}), views[4].checked)
        << "managed again: boxes by the held settings";
    EXPECT_EQ(Saved({{"Video Managed", "1"}, {"Standby", "1"}, {"Suspend", "1"}, {"Standby After", "5"}}),
              SavedValues());
}

TEST_F(SetupDialogTest, AStageWithoutItsCapabilityStaysDisabled)
{
    SetHardware({true, 79, 3, true});
    Ids disabled;
    Run({Press(IDC_VIDEO_MANAGED), Press(IDC_VIDEO_MANAGED), Press(IDC_VIDEO_MANAGED),
         Do([&](HWND dialog) { disabled = ViewOf(dialog).disabled; }), Press(IDCANCEL)});
    EXPECT_EQ(Join({{IDC_OFF}, StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}), disabled);
}

TEST_F(SetupDialogTest, StageBoxesAndTheDriveBoxEnableTheirRows)
{
    SetControlIni(Ini({{"Video Managed", "1"}}));
    std::vector<Ids> disabled;
    auto look = Do([&](HWND dialog) { disabled.push_back(ViewOf(dialog).disabled); });
    Run({look, Press(IDC_STANDBY), Press(IDC_OFF), Press(IDC_DRIVE_STANDBY), look, Press(IDC_STANDBY),
         Press(IDC_DRIVE_STANDBY), look, Press(IDOK)});
    ASSERT_EQ(3u, disabled.size());
    EXPECT_EQ(Join({StandbyRow, SuspendRow, OffRow, DriveRow, SaverChoice}), disabled[0]);
    EXPECT_EQ(Join({SuspendRow, SaverChoice}), disabled[1]);
    EXPECT_EQ(Join({StandbyRow, SuspendRow, DriveRow, SaverChoice}), disabled[2]);
    EXPECT_EQ(Saved({{"Video Managed", "1"}, {"Off", "1"}}), SavedValues());
}

TEST_F(SetupDialogTest, SelectionDecidesTheLaunchControls)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    files.Copy(HelperProgramPath("saver_probe"), "saver_probe.scr");
    std::vector<std::string> list;
    std::vector<Ids> disabled;
    auto look = Do([&](HWND dialog) { disabled.push_back(ViewOf(dialog).disabled); });
    auto choose = [](int index) { return Do([index](HWND dialog) { ChooseListItem(dialog, IDC_SAVER_LIST, index); }); };
    const Ids rows = Join({StageBoxes, StandbyRow, SuspendRow, OffRow, DriveRow});
    const Ids password = {IDC_PASSWORD_PROTECTED, IDC_SET_PASSWORD};
    Run({Do([&](HWND dialog) { list = ListItems(dialog, IDC_SAVER_LIST); }), choose(1), look, choose(2), look,
         choose(0), look, choose(1), Press(IDOK)});
    ASSERT_EQ((std::vector<std::string>{"None", "kelvorin.scr", "saver_probe.scr"}), list);
    ASSERT_EQ(3u, disabled.size());
    EXPECT_EQ(Join({rows, SaverChoice}), disabled[0]) << "own saver chosen";
    EXPECT_EQ(Join({rows, password}), disabled[1]) << "another saver";
    EXPECT_EQ(Join({rows, SaverChoice}), disabled[2]) << "None";
    EXPECT_EQ(Saved({{"Screen Saver", "kelvorin.scr"}, {"SCRNSAVE.EXE", SystemFilePath("kelvorin.scr")}}),
              SavedValues());
    EXPECT_EQ(SaverModeLogo, SaverMode);
}

WNDPROC ListProcedure;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A saver list that refuses every item after its first two.
LRESULT CALLBACK RefusingList(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CB_ADDSTRING && SendMessageW(list, CB_GETCOUNT, 0, 0) >= 2)
        return CB_ERR;
    return CallWindowProcW(ListProcedure, list, message, wParam, lParam);
}

// Positions still match records: a saver the list refuses is dropped with every one after it.
TEST_F(SetupDialogTest, ASaverTheListRefusesIsDroppedWithEveryOneAfterIt)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    files.Copy(HelperProgramPath("saver_probe"), "saver_probe.scr");
    HWND dialog = CreateDialogParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, PlainDialogProc, 0);
    ListProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(GetDlgItem(dialog, IDC_SAVER_LIST), GWLP_WNDPROC,
                                                                reinterpret_cast<LONG_PTR>(RefusingList)));
    FillSaverList(dialog);
    EXPECT_EQ((std::vector<std::string>{"None", "kelvorin.scr"}), ListItems(dialog, IDC_SAVER_LIST));
    EXPECT_EQ(1, SaverCatalog.count);
    DestroyWindow(dialog);
}

// Nothing asks for a password: a click on either password control that reaches
// the dialog anyway opens nothing and changes nothing.
TEST_F(SetupDialogTest, ThePasswordControlsNeverOpenOrChangeAnything)
{
    files.Copy(SaverProgramPath(), "kelvorin.scr");
    SetControlIni(Ini({{"Screen Saver", "kelvorin.scr"}, {"PWProtected", "1"}}));
    const std::string before = ControlIniContents();
    View first, after;
    HWND box = reinterpret_cast<HWND>(1);
    auto click = [](int id) {
        return Do([id](HWND dialog) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); });
    };
    Run({Do([&](HWND dialog) { first = ViewOf(dialog); }), click(IDC_PASSWORD_PROTECTED), click(IDC_SET_PASSWORD),
         WaitTicks(5), Do([&](HWND dialog) { after = ViewOf(dialog), box = OwnedModalBox(dialog); }),
         Press(IDCANCEL)});
    EXPECT_EQ(first, after);
    EXPECT_EQ(nullptr, box);
    EXPECT_EQ(before, ControlIniContents());
}

// ---- The battery column ------------------------------------------------------

const std::vector<std::string> NoColumn(4, "none");

// The battery fields' texts, "-" before a disabled one's; "none" where there is none.
std::vector<std::string> BatteryView(HWND dialog)
{
    std::vector<std::string> view;
    for (const PowerRow& powerRow : PowerRows) {
        const int id = powerRow.batteryEdit;
        HWND field = GetDlgItem(dialog, id);
        // "!" after a field whose spin bar is not enabled as the field is.
        const bool spinFollows = IsWindowEnabled(GetDlgItem(dialog, powerRow.batterySpin)) == IsWindowEnabled(field);
        view.push_back(!field ? "none"
                              : (IsWindowEnabled(field) ? "" : "-") + TextOf(dialog, id) + (spinFollows ? "" : "!"));
    }
    return view;
}

// The next control in z-order that is shown: the hidden labels that name
// controls for a screen reader lie between.
HWND NextShown(HWND control)
{
    do
        control = GetWindow(control, GW_HWNDNEXT);
    while (control && !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE));
    return control;
}

// Where a battery column is shown: the headings, the tab order right after each
// row's own field, and room made by moving what lies right of the minute column.
void CheckColumnLayout(HWND dialog)
{
    EXPECT_EQ("Plugged in", TextOf(dialog, IDC_PLUGGED_IN_HEADING));
    EXPECT_EQ("On battery", TextOf(dialog, IDC_ON_BATTERY_HEADING));
    for (int row = 0; row < 4; ++row) {
        HWND next = NextShown(GetDlgItem(dialog, PowerRows[row].edit));
        EXPECT_EQ(GetDlgItem(dialog, PowerRows[row].batterySpin), next) << "row " << row;
        EXPECT_EQ(GetDlgItem(dialog, PowerRows[row].batteryEdit), NextShown(next)) << "row " << row;
    }
    RECT client, plain = {0, 0, 294, 229}, box108 = {206, 25, 284, 35}, label1021 = {142, 39, 192, 50};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &plain);
    MapDialogRect(dialog, &box108);
    MapDialogRect(dialog, &label1021);
    auto placeOf = [dialog](int id) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const int widened = client.right - plain.right;
    EXPECT_GT(widened, 0);
    EXPECT_EQ(box108.left + widened, placeOf(IDC_PASSWORD_PROTECTED).left) << "moved by as much as it widened";
    EXPECT_EQ(label1021.left + widened, placeOf(IDC_STANDBY_LABEL).left);
    EXPECT_LE(placeOf(IDC_BATTERY_STANDBY_AFTER).right, placeOf(IDC_STANDBY_LABEL).left);
    RECT about = {155, 205, 196, 223}, field = {127, 34, 140, 50}, pitch = {0, 0, 44, 0};
    MapDialogRect(dialog, &about);
    MapDialogRect(dialog, &field);
    MapDialogRect(dialog, &pitch);
    EXPECT_EQ(about.left, placeOf(IDC_ABOUT).left) << "below the frame nothing moves";
    EXPECT_EQ(field.left + pitch.right, placeOf(IDC_BATTERY_STANDBY_AFTER).left) << "one column on, in dialog units";
    const RECT heading = placeOf(IDC_ON_BATTERY_HEADING), spin = placeOf(IDC_BATTERY_STANDBY_SPIN),
               battery = placeOf(IDC_BATTERY_STANDBY_AFTER);
    EXPECT_NEAR((spin.left + battery.right) / 2, (heading.left + heading.right) / 2, 1) << "over its own column";
}

// What Windows answers when asked for the power status.
enum PowerReport { NoBattery, Battery, BatteryUnknown, ReportFails };

struct BatteryColumnRow {
    int line;
    PowerReport report;
    Values stored;
    std::function<void(HWND)> change;       // before OK, if any
    std::vector<std::string> shown;         // the battery fields after the change
    Values saved;                           // by OK, over the defaults
};

// The four battery keys as OK writes them, with the other values.
Values WithBattery(const char* standby, const char* suspend, const char* off, const char* spinDown, Values others = {})
{
    others.insert({{"Battery Standby After", standby}, {"Battery Suspend After", suspend},
                   {"Battery Off After", off}, {"Battery Spin Down After", spinDown}});
    return others;
}

TEST_F(SetupDialogTest, TheBatteryColumnIsShownOnlyWithABatteryAndSavesItsMinutes)
{
    const BatteryColumnRow rows[] = {
        {__LINE__, NoBattery, {}, nullptr, NoColumn, {}},
        // A stored battery key stays as it was: nothing writes it.
        {__LINE__, NoBattery, {{"Battery Standby After", "7"}}, nullptr, NoColumn, {}},
        // A battery whose status Windows does not know, or a failed question, is none.
        {__LINE__, BatteryUnknown, {}, nullptr, NoColumn, {}},
        {__LINE__, ReportFails, {}, nullptr, NoColumn, {}},
        {__LINE__, Battery, {}, nullptr, {"-0", "-0", "-0", "-1"}, WithBattery("0", "0", "0", "1")},
        // A stored battery count shown and moved by its arrows; a missing one shows its twin;
        // each field enabled with its row.
        {__LINE__, Battery, {{"Standby", "1"}, {"Standby After", "5"}, {"Battery Standby After", "7"}, {"Suspend After", "3"}},
         [](HWND dialog) {
             ScrollBar(dialog, IDC_BATTERY_STANDBY_SPIN, SB_LINEUP);
             ScrollBar(dialog, IDC_BATTERY_STANDBY_SPIN, SB_LINEUP);
             Click(dialog, IDC_DRIVE_STANDBY);
         },
         {"9", "-3", "-0", "1"}, WithBattery("9", "3", "0", "1", {{"Drive Standby", "1"}})},
        // Typed counts and the arrows within the twins' limits.
        {__LINE__, Battery, {{"Battery Off After", "150"}},
         [](HWND dialog) {
             TypeText(dialog, IDC_BATTERY_STANDBY_AFTER, "150");
             TypeText(dialog, IDC_BATTERY_SPIN_DOWN_AFTER, "150");
             ScrollBar(dialog, IDC_BATTERY_OFF_SPIN, SB_LINEDOWN);
         },
         {"-150", "-0", "-98", "-150"}, WithBattery("99", "0", "98", "150")},
    };
    for (const BatteryColumnRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        if (row.stored.empty())
            RemoveControlIni();
        else
            SetControlIni(Ini(row.stored));
        fake = FakeOutside();
        // A failed question hides a battery that is there.
        fake.battery = row.report == Battery || row.report == ReportFails;
        fake.batteryUnknown = row.report == BatteryUnknown;
        fake.powerStatusFails = row.report == ReportFails;
        const bool battery = row.report == Battery;
        InstallFakeOutside(fake);
        std::vector<std::string> shown;
        RECT client = {}, templateSize = {0, 0, 294, 229};
        EXPECT_EQ(1, Run({Do([&](HWND dialog) {
                              GetClientRect(dialog, &client);
                              MapDialogRect(dialog, &templateSize);
                              if (battery)
                                  CheckColumnLayout(dialog);
                              if (row.change)
                                  row.change(dialog);
                              shown = BatteryView(dialog);
                          }),
                          Press(IDOK)}));
        EXPECT_EQ(row.shown, shown);
        EXPECT_EQ(!battery, EqualRect(&client, &templateSize) != FALSE) << "the template's size without a battery";
        Values saved = row.saved;
        saved.insert(row.stored.begin(), row.stored.end());
        EXPECT_EQ(Saved(saved), SavedValues());
        if (battery && row.stored.empty())
            EXPECT_NE(std::string::npos,
                      ControlIniContents().find("SCRNSAVE.EXE=None\r\nBattery Suspend After=0\r\nBattery Standby After=0\r\n"
                                                "Battery Off After=0\r\nBattery Spin Down After=1\r\n"))
                << "after the other keys, in their twins' order";
    }
}

// ---- Test and Setup --------------------------------------------------------

class LaunchTest : public SetupDialogTest {
protected:
    void SetUp() override
    {
        SetupDialogTest::SetUp();
        DeleteFileA(ProbeLogPath().c_str());
        files.Copy(HelperProgramPath("saver_probe"), "saver_probe.scr");
        // The module's own entry is the probe too, so a start of it would show.
        files.Copy(HelperProgramPath("saver_probe"), "kelvorin.scr");
    }
    void TearDown() override
    {
        DeleteFileA(ProbeLogPath().c_str());
        SetupDialogTest::TearDown();
    }
};

DialogStep WaitForProbeLines(size_t lines)
{
    return [lines](HWND) { return ProbeLogLines().size() >= lines; };
}

TEST_F(LaunchTest, TestAndSetupStartTheChosenSaverWithTheirSwitch)
{
    const std::string probe = SystemFilePath("saver_probe.scr");
    std::vector<std::string> list;
    EXPECT_EQ(1, Run({Do([&](HWND dialog) {
                          list = ListItems(dialog, IDC_SAVER_LIST);
                          ChooseListItem(dialog, IDC_SAVER_LIST, 2);
                      }),
                      Press(IDC_TEST), WaitForProbeLines(1), Press(IDC_SETUP), WaitForProbeLines(2),
                      Press(IDOK)}));
    ASSERT_EQ((std::vector<std::string>{"None", "kelvorin.scr", "saver_probe.scr"}), list);
    EXPECT_EQ((std::vector<std::string>{probe + " /S", probe + " /C"}), ProbeLogLines());
    EXPECT_TRUE(fake.boxes.empty());

    EXPECT_EQ(Saved({{"Screen Saver", "saver_probe.scr"}, {"SCRNSAVE.EXE", probe}}), SavedValues());
    LoadSettings(false);
    EXPECT_STREQ("saver_probe.scr", SaverSettings.ScreenSaver);
    EXPECT_EQ(probe, SaverSettings.ScrnsaveExe);
    EXPECT_EQ(SaverModeChained, SaverMode) << "a saver run would chain it";
}

TEST_F(LaunchTest, NothingStartsForNoneOrTheModulesOwnEntry)
{
    // The clicks arrive as notifications, as they would if the buttons were enabled.
    Run({Do([](HWND dialog) {
             for (int index : {0, 1}) {
                 ChooseListItem(dialog, IDC_SAVER_LIST, index);
                 Command(dialog, IDC_TEST);
                 Command(dialog, IDC_SETUP);
             }
             SendDlgItemMessageA(dialog, IDC_SAVER_LIST, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
             Command(dialog, IDC_TEST);
         }),
         WaitTicks(25), Press(IDCANCEL)});
    EXPECT_TRUE(ProbeLogLines().empty());
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(LaunchTest, StoredChainedSaverIsSelectedAndReadyToTest)
{
    const std::string probe = SystemFilePath("saver_probe.scr");
    SetControlIni(Ini({{"Screen Saver", "saver_probe.scr"}, {"SCRNSAVE.EXE", probe}}));
    View view;
    Run({Do([&](HWND dialog) { view = ViewOf(dialog); }), Press(IDC_TEST), WaitForProbeLines(1), Press(IDCANCEL)});
    EXPECT_EQ("saver_probe.scr", view.selected);
    EXPECT_FALSE(view.disabled.count(IDC_TEST));
    EXPECT_FALSE(view.disabled.count(IDC_SETUP));
    EXPECT_EQ((std::vector<std::string>{probe + " /S"}), ProbeLogLines());
}

// ---- About box and help ----------------------------------------------------

class HelpKeyTest : public SetupDialogTest {
protected:
    void SetUp() override
    {
        SetupDialogTest::SetUp();
        StartHost();
        ASSERT_NE(0u, SaverHelpMessage);
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(HelpFilterHook);
        HelpFilterHook = nullptr;
        SaverHelpMessage = 0;
        ModulePath[0] = '\0';     // the test program is no saver to list
        SetupDialogTest::TearDown();
    }
};

TEST_F(HelpKeyTest, AboutBoxClosesOnlyThroughOkAndIgnoresF1)
{
    HWND about = nullptr;
    std::string caption;
    bool openAfterCancel = false, openAfterEsc = false, openAfterF1 = false;
    HWND helpOverAbout = reinterpret_cast<HWND>(1);
    auto aboutShown = [&](HWND dialog) {
        about = OwnedModalBox(dialog);
        return about != nullptr;
    };
    auto aboutGone = [&](HWND) { return !IsWindow(about); };
    INT_PTR result = Run({
        Do([](HWND dialog) { PostClick(dialog, IDC_ABOUT); }),
        aboutShown,
        Do([&](HWND) {
            char text[64] = {};
            GetWindowTextA(about, text, sizeof text);
            caption = text;
            SendMessageW(about, WM_COMMAND, IDCANCEL, 0);
        }),
        WaitTicks(3),
        Do([&](HWND) {
            openAfterCancel = IsWindow(about) != FALSE;
            PostMessageW(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        }),
        WaitTicks(3),
        Do([&](HWND) {
            openAfterEsc = IsWindow(about) != FALSE;
            PostMessageW(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_F1, 0x003B0001);
        }),
        WaitTicks(5),
        Do([&](HWND) {
            openAfterF1 = IsWindow(about) != FALSE;
            helpOverAbout = OwnedModalBox(about);
            Click(about, IDOK);
        }),
        aboutGone,
        Do([](HWND dialog) { PostClick(dialog, IDC_ABOUT); }),
        aboutShown,
        Do([&](HWND) { PostMessageW(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_RETURN, 0); }),
        aboutGone,
        Press(IDCANCEL),
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ("About Kelvorin", caption);
    EXPECT_TRUE(openAfterCancel) << "IDCANCEL does not close it";
    EXPECT_TRUE(openAfterEsc) << "Esc does not close it";
    EXPECT_TRUE(openAfterF1);
    EXPECT_EQ(nullptr, helpOverAbout) << "F1 in the About box opens no help";
}

// The face of a dialog where it holds no control, as painted now.
COLORREF FaceOf(HWND dialog, int x, int y)
{
    RECT spot = {x, y, 0, 0};
    MapDialogRect(dialog, &spot);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(dialog);
    const COLORREF face = GetPixel(dc, spot.left, spot.top);
    ReleaseDC(dialog, dc);
    return face;
}

// ---- Languages and help ----------------------------------------------------

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A label as the user reads it: without the mnemonic marker ("&P", or "(&P)"
// after a Japanese label) and without trailing blanks.
std::wstring ReadLabel(HWND dialog, int id)
{
    std::wstring label = WindowText(GetDlgItem(dialog, id));
    size_t marker = label.find(L"(&");
    if (marker != std::wstring::npos && marker + 3 < label.size() + 1 && label[marker + 3] == L')')
        label.erase(marker, 4);
    for (size_t at = label.find(L'&'); at != std::wstring::npos; at = label.find(L'&'))
        label.erase(at, 1);
    while (!label.empty() && label.back() == L' ')
        label.pop_back();
    return label;
}

// The ids of the setup dialog's controls whose label is cut: wider or taller
// than the room the control gives it, measured with the dialog's own font.
std::vector<int> CutLabels(HWND dialog)
{
    std::vector<int> cut;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        std::wstring text = WindowText(child);
        // Fields and the list scroll their text; only labels can be cut.
        if (text.empty() || lstrcmpiW(className, L"Edit") == 0 || lstrcmpiW(className, L"ComboBox") == 0
            || !(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT room;
        GetClientRect(child, &room);
        RECT needed = {0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        const LONG kind = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        LONG margin = 0;
        if (lstrcmpiW(className, L"Button") == 0) {
            if (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX)
                margin = GetSystemMetrics(SM_CXMENUCHECK) + 8;      // the themed box and its gap
            else if (kind == BS_GROUPBOX)
                margin = 16;                                        // the frame's corner on each side
            else
                margin = 8;                                         // the push button's edges
        }
        if (needed.right + margin > room.right || needed.bottom > room.bottom)
            cut.push_back(GetDlgCtrlID(child));
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return cut;
}

// The help window's state: its caption, text, selected paragraph and whether
// the selection's first line is in view.
struct HelpView {
    std::string caption;
    std::wstring text, selected;
    DWORD start = 0, end = 0;
    bool startInView = false;
    bool startAtTop = false;    // the paragraph's first line is the first shown, or the text's end is shown
};

HelpView LookAtHelp(HWND help)
{
    HelpView view;
    view.caption = Utf8(WindowText(help).c_str());
    HWND edit = GetDlgItem(help, IDC_HELP_TEXT);
    std::vector<wchar_t> text(GetWindowTextLengthW(edit) + 1);
    GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
    view.text = text.data();
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&view.start), reinterpret_cast<LPARAM>(&view.end));
    if (view.start <= view.end && view.end <= view.text.size())
        view.selected = view.text.substr(view.start, view.end - view.start);
    RECT client;
    GetClientRect(edit, &client);
    const LRESULT position = SendMessageW(edit, EM_POSFROMCHAR, view.start, 0);
    const short y = static_cast<short>(HIWORD(position));
    view.startInView = position != -1 && y >= 0 && y < client.bottom;
    const LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT startLine = SendMessageW(edit, EM_LINEFROMCHAR, view.start, 0);
    SCROLLINFO bar = {sizeof bar, SIF_ALL};
    GetScrollInfo(edit, SB_VERT, &bar);
    view.startAtTop = first == startLine
                      || (first < startLine && bar.nPos + static_cast<int>(bar.nPage) > bar.nMax);
    return view;
}

// The configuration run in the user's language, and the help it opens. Windows
// picks the language of the resources by the process's interface language, which
// Wine takes from LC_ALL: CTest runs this program once more for each translation
// with LC_ALL set (tests/CMakeLists.txt), and each run checks its own row.
class LanguageTest : public HelpKeyTest {
protected:
    std::string probe;

    void SetUp() override
    {
        HelpKeyTest::SetUp();
        ModulePath[0] = '\0';     // the test program is no saver to list
        files.Copy(HelperProgramPath("saver_probe"), "saver_probe.scr");
        probe = SystemFilePath("saver_probe.scr");
    }
    // Everything offered, the battery column too.
    void ShowBatteryColumn()
    {
        fake = FakeOutside();
        fake.battery = true;
        InstallFakeOutside(fake);
    }
};

// ---- One row per language ---------------------------------------------------

struct LanguageRow {
    int line;
    const char* tag;            // KELVORIN_TEST_LANGUAGE of the CTest run
    LANGID language;            // primary language
    const char* setupCaption;
    const char* aboutCaption;
    const char* helpCaption;
    const char* noneEntry;      // the saver list's first entry as shown
    const char* name;           // string 1: the name Screen Saver Settings lists
    const char* launchCaption;  // the box when a chosen saver cannot be started
    const char* standbyName;    // what a screen reader calls the Standby minutes
    std::vector<int> cut;       // labels that do not fit their controls
};

// English keeps the geometry made for its 8-point "Helv"; Wine's stand-in for
// that font is wider and cuts "Password Protected" to "Password Protecte".
const LanguageRow LanguageRows[] = {
    {__LINE__, "en", LANG_ENGLISH, "Kelvorin Setup ", "About Kelvorin", "Kelvorin Help", "None",
     "Kelvorin Power Saver", "CreateProcess", "Video Standby, minutes", {IDC_PASSWORD_PROTECTED}},
    {__LINE__, "de", LANG_GERMAN, "Kelvorin-Einstellungen", "Info über Kelvorin", "Kelvorin-Hilfe",
     "(Kein)", "Kelvorin Energiesparer", "Bildschirmschoner starten", "Standbymodus, Minuten", {}},
    {__LINE__, "fr", LANG_FRENCH, "Paramètres de Kelvorin", "À propos de Kelvorin", "Aide de Kelvorin",
     "(Aucun)", "Kelvorin Économiseur d'énergie", "Démarrage de l'écran de veille", "Veille, minutes", {}},
    {__LINE__, "es", LANG_SPANISH, "Configuración de Kelvorin", "Acerca de Kelvorin", "Ayuda de Kelvorin",
     "(Ninguno)", "Kelvorin Ahorro de energía", "Iniciar protector de pantalla", "Espera, minutos", {}},
    {__LINE__, "ja", LANG_JAPANESE, "Kelvorin の設定", "Kelvorin のバージョン情報", "Kelvorin のヘルプ",
     "(なし)", "Kelvorin 省電力", "スクリーン セーバーの起動", "スタンバイ、分", {}},
};

// The row of the language Windows gives this process; a CTest run for a
// language also names it, so a run that fell back to English fails.
const LanguageRow* ThisLanguage()
{
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage());
    char asked[8] = {};
    GetEnvironmentVariableA("KELVORIN_TEST_LANGUAGE", asked, sizeof asked);
    for (const LanguageRow& row : LanguageRows) {
        if (row.language == language) {
            EXPECT_TRUE(asked[0] == '\0' || lstrcmpA(asked, row.tag) == 0)
                << "asked for " << asked << ", running in " << row.tag;
            return &row;
        }
    }
    ADD_FAILURE() << "no row for the interface language " << std::hex << language;
    return nullptr;
}

// The code page a CTest run names is the one programs that are not Unicode get,
// so the shown texts are checked under a code page that cannot hold them too.
void CheckCodePage()
{
    char asked[8] = {};
    if (GetEnvironmentVariableA("KELVORIN_TEST_CODE_PAGE", asked, sizeof asked))
        EXPECT_EQ(asked, std::to_string(GetACP())) << "the run's code page for programs that are not Unicode";
}

TEST_F(LanguageTest, InEveryLanguageTheDialogsSpeakItAndTheChoiceIsStoredAsBefore)
{
    const LanguageRow* row = ThisLanguage();
    ASSERT_NE(nullptr, row);
    SCOPED_TRACE(testing::Message() << "language row at line " << row->line);
    CheckCodePage();

    wchar_t name[64] = {};
    LoadStringW(ModuleInstance, IDS_DESCRIPTION, name, 64);
    EXPECT_EQ(row->name, Utf8(name));
    char command[] = "C:\\missing.scr /S";
    EXPECT_FALSE(LaunchSaver("C:\\missing.scr", command));
    EXPECT_EQ(row->launchCaption, fake.boxCaption);
    EXPECT_NE(std::string::npos, fake.boxText.find("2")) << fake.boxText;

    // A stored "None" and a stored other saver, each saved back unchanged by OK.
    for (const std::string& stored : {std::string("Screen Saver=None\r\nSCRNSAVE.EXE=None\r\n"),
                                      "Screen Saver=saver_probe.scr\r\nSCRNSAVE.EXE=" + probe + "\r\n"}) {
        const std::string ini = "[Screen Saver.Kelvorin]\r\n" + stored;
        SetControlIni(ini);
        std::string caption, shownNone, selected, about;
        HelpView help;
        std::vector<int> cut;
        HWND box = nullptr;
        EXPECT_EQ(1, Run({Do([&](HWND dialog) {
                              caption = Utf8(WindowText(dialog).c_str());
                              cut = CutLabels(dialog);
                              wchar_t entry[64] = {};
                              SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETLBTEXT, 0,
                                                  reinterpret_cast<LPARAM>(entry));
                              shownNone = Utf8(entry);
                              selected = SelectedListItem(dialog, IDC_SAVER_LIST);
                              PostClick(dialog, IDC_ABOUT);
                          }),
                          WaitForBox(&box),
                          Do([&](HWND) {
                              about = Utf8(WindowText(box).c_str());
                              Click(box, IDOK);
                          }),
                          WaitUntilGone(&box), Do([](HWND dialog) { PostClick(dialog, IDC_HELP_BUTTON); }),
                          WaitForBox(&box),
                          Do([&](HWND) {
                              help = LookAtHelp(box);
                              Click(box, IDOK);
                          }),
                          WaitUntilGone(&box), Do([](HWND dialog) { Click(dialog, IDOK); })}));
        EXPECT_EQ(row->setupCaption, caption);
        EXPECT_EQ(row->aboutCaption, about);
        // The Help button opens the help at its top, which is the dialog's caption.
        EXPECT_EQ(row->helpCaption, help.caption);
        EXPECT_EQ(0u, help.end);
        std::string title = caption.substr(0, caption.find_last_not_of(' ') + 1);
        EXPECT_EQ(title + "\r\n", Utf8(help.text.substr(0, 40).c_str()).substr(0, title.size() + 2));
        EXPECT_EQ(row->noneEntry, shownNone);
        EXPECT_EQ(row->cut, cut) << "labels cut in the setup dialog";
        EXPECT_NE("", selected) << "the stored choice is selected";
        FlushProfileCache();
        for (const char* key : {"Screen Saver", "SCRNSAVE.EXE"}) {
            char value[MAX_PATH] = {};
            GetPrivateProfileStringA("Screen Saver.Kelvorin", key, "", value, MAX_PATH, "control.ini");
            EXPECT_NE(std::string::npos, stored.find(std::string(key) + "=" + value + "\r\n"))
                << key << " saved as " << value;
        }
    }
}

// ---- Names for a screen reader ----------------------------------------------

// The name oleacc gives a control. MinGW's IID_IAccessible does not resolve.
std::string AccessibleName(HWND control)
{
    static const GUID accessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, accessible, reinterpret_cast<void**>(&object))))
        return "(no object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    std::string text = name ? Utf8(name) : "";
    SysFreeString(name);
    object->Release();
    return text;
}

// Windows names a control without a caption from the label just before it: a
// hidden one, that neither the keyboard nor the arrow-key groups meet, named
// after the control's row. Wine's oleacc follows that rule for edit controls
// only (a scroll bar or list gets its window text), so only theirs are asked.
// The dialogs paint in the system's colours, so a high-contrast theme reaches them.
TEST_F(LanguageTest, InEveryLanguageAScreenReaderNamesEveryControlThatTakesInputAndTheSystemsColoursHold)
{
    const int element = COLOR_BTNFACE;
    const COLORREF before = GetSysColor(element), contrast = RGB(0x20, 0x80, 0x40);
    ASSERT_TRUE(SetSysColors(1, &element, &contrast));
    COLORREF setupFace = CLR_INVALID, helpFace = CLR_INVALID;
    HWND help = nullptr;
    const LanguageRow* language = ThisLanguage();
    ASSERT_NE(nullptr, language);
    ShowBatteryColumn();
    std::map<int, std::string> names;
    std::vector<int> tabStops, expectedStops = {IDC_VIDEO_MANAGED};
    for (const PowerRow& row : PowerRows)
        expectedStops.insert(expectedStops.end(), {row.check, row.spin, row.edit, row.batterySpin, row.batteryEdit});
    expectedStops.insert(expectedStops.end(), {IDC_PASSWORD_PROTECTED, IDC_SET_PASSWORD, IDC_MOUSE_MOVE, IDC_SAVER_LIST,
                                               IDC_TEST, IDC_SETUP, IDOK, IDCANCEL, IDC_ABOUT, IDC_HELP_BUTTON,
                                               IDC_MOUSE_CLICK});
    CoInitialize(nullptr);
    auto checkLabel = [&](HWND control, int caption) {
        HWND label = GetWindow(control, GW_HWNDPREV);
        wchar_t kind[16] = {};
        GetClassNameW(label, kind, 16);
        EXPECT_EQ(L"Static", std::wstring(kind)) << GetDlgCtrlID(control);
        EXPECT_EQ(SS_NOPREFIX, GetWindowLongW(label, GWL_STYLE) & (SS_NOPREFIX | WS_VISIBLE | WS_GROUP | WS_TABSTOP));
        std::string& name = names[GetDlgCtrlID(control)];
        name = Utf8(WindowText(label).c_str());
        if (caption != 0)
            EXPECT_NE(std::string::npos, name.find(Utf8(ReadLabel(GetParent(control), caption).c_str()))) << name;
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        if (lstrcmpiW(className, L"Edit") == 0)
            EXPECT_EQ(name, AccessibleName(control));
    };
    Run({[](HWND dialog) { return IsWindowVisible(dialog) != FALSE; },
         Do([&](HWND dialog) {
             setupFace = FaceOf(dialog, 3, 3);
             for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                 if ((GetWindowLongW(child, GWL_STYLE) & (WS_VISIBLE | WS_TABSTOP)) == (WS_VISIBLE | WS_TABSTOP))
                     tabStops.push_back(GetDlgCtrlID(child));
             for (const PowerRow& row : PowerRows)
                 for (int id : {row.edit, row.spin, row.batteryEdit, row.batterySpin})
                     checkLabel(GetDlgItem(dialog, id), row.check);
             checkLabel(GetDlgItem(dialog, IDC_SAVER_LIST), 0);
             PostClick(dialog, IDC_HELP_BUTTON);
         }),
         WaitForBox(&help),
         Do([&](HWND) {
             checkLabel(GetDlgItem(help, IDC_HELP_TEXT), 0);
             helpFace = FaceOf(help, 3, 210);
             Click(help, IDOK);
         }),
         WaitUntilGone(&help), Press(IDCANCEL)});
    CoUninitialize();
    SetSysColors(1, &element, &before);
    EXPECT_EQ(contrast, setupFace) << std::hex << setupFace;
    EXPECT_EQ(contrast, helpFace) << std::hex << helpFace;
    EXPECT_EQ(language->standbyName, names[IDC_STANDBY_AFTER]);
    std::set<std::string> distinct;
    for (const auto& name : names)
        distinct.insert(name.second);
    EXPECT_EQ(names.size(), distinct.size()) << "every control a name of its own";
    EXPECT_EQ(18u, names.size());
    EXPECT_EQ(expectedStops, tabStops) << "the keyboard's way through the dialog";
}

// ---- One row per control: F1 opens the help at the control's paragraph ------

enum Closer { Escape, Enter, CloseButton };

struct ControlRow {
    int line;
    int control;
    int label;      // the control whose label begins the paragraph
    Closer closer;
};

const ControlRow ControlRows[] = {
    {__LINE__, IDC_VIDEO_MANAGED, IDC_VIDEO_MANAGED, Escape},
    {__LINE__, IDC_STANDBY, IDC_STANDBY, Enter},
    {__LINE__, IDC_STANDBY_SPIN, IDC_STANDBY, CloseButton},
    {__LINE__, IDC_STANDBY_AFTER, IDC_STANDBY, Escape},
    {__LINE__, IDC_SUSPEND, IDC_SUSPEND, Enter},
    {__LINE__, IDC_SUSPEND_SPIN, IDC_SUSPEND, CloseButton},
    {__LINE__, IDC_SUSPEND_AFTER, IDC_SUSPEND, Escape},
    {__LINE__, IDC_OFF, IDC_OFF, Enter},
    {__LINE__, IDC_OFF_SPIN, IDC_OFF, CloseButton},
    {__LINE__, IDC_OFF_AFTER, IDC_OFF, Escape},
    {__LINE__, IDC_DRIVE_STANDBY, IDC_DRIVE_STANDBY, Enter},
    {__LINE__, IDC_SPIN_DOWN_SPIN, IDC_DRIVE_STANDBY, CloseButton},
    {__LINE__, IDC_SPIN_DOWN_AFTER, IDC_DRIVE_STANDBY, Escape},
    {__LINE__, IDC_PASSWORD_PROTECTED, IDC_PASSWORD_PROTECTED, Enter},
    {__LINE__, IDC_SET_PASSWORD, IDC_SET_PASSWORD, CloseButton},
    {__LINE__, IDC_MOUSE_MOVE, IDC_MOUSE_MOVE, Escape},
    {__LINE__, IDC_MOUSE_CLICK, IDC_MOUSE_CLICK, Enter},
    {__LINE__, IDC_SAVER_LIST, IDC_SAVER_LIST_LABEL, CloseButton},
    {__LINE__, IDC_TEST, IDC_TEST, Escape},
    {__LINE__, IDC_SETUP, IDC_SETUP, Enter},
    {__LINE__, IDOK, IDOK, CloseButton},
    {__LINE__, IDCANCEL, IDCANCEL, Escape},
    {__LINE__, IDC_ABOUT, IDC_ABOUT, Enter},
    {__LINE__, IDC_HELP_BUTTON, IDC_HELP_BUTTON, CloseButton},
    {__LINE__, IDC_BATTERY_STANDBY_AFTER, IDC_ON_BATTERY_HEADING, Enter},
    {__LINE__, IDC_BATTERY_SPIN_DOWN_SPIN, IDC_ON_BATTERY_HEADING, Escape},
};

void CloseHelp(HWND help, Closer closer)
{
    HWND edit = GetDlgItem(help, IDC_HELP_TEXT);
    switch (closer) {
    case Escape:
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        break;
    case Enter:
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        break;
    case CloseButton:
        PostMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

TEST_F(LanguageTest, InEveryLanguageF1OpensTheHelpAtTheParagraphOfItsControl)
{
    // Every control enabled, so the keyboard can reach it.
    ShowBatteryColumn();
    SetControlIni("[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\nSuspend=1\r\nOff=1\r\n"
                  "Drive Standby=1\r\nScreen Saver=saver_probe.scr\r\nSCRNSAVE.EXE=" + probe + "\r\n");
    for (const ControlRow& row : ControlRows) {
        SCOPED_TRACE(testing::Message() << "control row at line " << row.line);
        std::wstring label;
        HelpView view;
        HWND help = nullptr, focusAfter = nullptr, control = nullptr;
        Run({Do([&](HWND dialog) {
                 control = GetDlgItem(dialog, row.control);
                 label = ReadLabel(dialog, row.label);
                 // The password controls never offer anything; F1 still explains them.
                 EnableWindow(control, TRUE);
                 SetFocus(control);
                 PostMessageW(control, WM_KEYDOWN, VK_F1, 0x003B0001);
             }),
             WaitForBox(&help),
             Do([&](HWND) {
                 view = LookAtHelp(help);
                 CloseHelp(help, row.closer);
             }),
             WaitUntilGone(&help), WaitTicks(2), Do([&](HWND dialog) {
                 focusAfter = GetFocus();
                 Click(dialog, IDCANCEL);
             })});
        ASSERT_FALSE(label.empty());
        EXPECT_EQ(Utf8((label + L"\r\n").c_str()), Utf8(view.selected.substr(0, label.size() + 2).c_str()))
            << "the selected paragraph begins with the label";
        EXPECT_TRUE(view.start == 0 || view.text.compare(view.start - 4, 4, L"\r\n\r\n") == 0)
            << "the selection is a whole paragraph";
        EXPECT_TRUE(view.end == view.text.size() || view.text.compare(view.end, 4, L"\r\n\r\n") == 0)
            << "the selection is a whole paragraph";
        EXPECT_TRUE(view.startInView);
        EXPECT_TRUE(view.startAtTop) << "the paragraph's first line at the top";
        EXPECT_EQ(control, focusAfter) << "the focus is back on the control";
    }
}

} // namespace
