// The configuration run in the user's language, and the help it opens. Windows
// picks the language of the resources by the process's interface language, which
// Wine takes from LC_ALL: CTest runs this program once more for each translation
// with LC_ALL set (tests/CMakeLists.txt), and each run checks its own row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chain/catalog.h"
#include "chain/launcher.h"
#include "host/host.h"
#include "resources/resource.h"
#include "settings/outside_fakes.h"
#include "settings/setup_dialog.h"
#include "support/dialog_script.h"
#include "support/system_files.h"
#include "support/wine_test.h"

namespace {

// ---- Helpers ---------------------------------------------------------------

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::string ItemText(HWND dialog, int id)
{
    return Utf8(WindowText(GetDlgItem(dialog, id)).c_str());
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
        if (text.empty() || lstrcmpiW(className, L"Edit") == 0 || lstrcmpiW(className, L"ComboBox") == 0)
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
    return view;
}

struct Hardware : FakeOutside {
    Hardware()
    {
        displayAnswers = true;
        deviceOpens = true;
    }
};

class LanguageTest : public testing::Test {
protected:
    SystemFiles files;
    std::string probe;

    void SetUp() override
    {
        InstallFakeOutside(Hardware());
        RemoveControlIni();
        StartHost();
        ModulePath[0] = '\0';     // the test program is no saver to list
        files.Copy(HelperProgramPath("saver_probe"), "saver_probe.scr");
        probe = SystemFilePath("saver_probe.scr");
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(HelpFilterHook);
        HelpFilterHook = nullptr;
        SaverHelpMessage = 0;
        RemoveFakeOutside();
        ReleaseSaverCatalog();
    }
    INT_PTR Run(std::vector<DialogStep> steps)
    {
        return RunDialogScript(IDD_SETUP, SetupDialogProc, std::move(steps));
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
    std::vector<int> cut;       // labels that do not fit their controls
};

// English keeps the geometry made for its 8-point "Helv"; Wine's stand-in for
// that font is wider and cuts "Password Protected" to "Password Protecte".
const LanguageRow LanguageRows[] = {
    {__LINE__, "en", LANG_ENGLISH, "Kelvorin Setup ", "About Kelvorin", "Kelvorin Help", "None",
     "Kelvorin Power Saver", "CreateProcess", {IDC_PASSWORD_PROTECTED}},
    {__LINE__, "de", LANG_GERMAN, "Kelvorin-Einstellungen", "Info über Kelvorin", "Kelvorin-Hilfe",
     "(Kein)", "Kelvorin Energiesparer", "Bildschirmschoner starten", {}},
    {__LINE__, "fr", LANG_FRENCH, "Paramètres de Kelvorin", "À propos de Kelvorin", "Aide de Kelvorin",
     "(Aucun)", "Kelvorin Économiseur d'énergie", "Démarrage de l'écran de veille", {}},
    {__LINE__, "es", LANG_SPANISH, "Configuración de Kelvorin", "Acerca de Kelvorin", "Ayuda de Kelvorin",
     "(Ninguno)", "Kelvorin Ahorro de energía", "Iniciar protector de pantalla", {}},
    {__LINE__, "ja", LANG_JAPANESE, "Kelvorin の設定", "Kelvorin のバージョン情報", "Kelvorin のヘルプ",
     "(なし)", "Kelvorin 省電力", "スクリーン セーバーの起動", {}},
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

TEST_F(LanguageTest, InEveryLanguageTheDialogsSpeakItAndTheChoiceIsStoredAsBefore)
{
    const LanguageRow* row = ThisLanguage();
    ASSERT_NE(nullptr, row);
    SCOPED_TRACE(testing::Message() << "language row at line " << row->line);

    wchar_t name[64] = {};
    LoadStringW(ModuleInstance, IDS_DESCRIPTION, name, 64);
    EXPECT_EQ(row->name, Utf8(name));
    char command[] = "C:\\missing.scr /S";
    EXPECT_FALSE(LaunchSaver("C:\\missing.scr", command));
    EXPECT_EQ(row->launchCaption, Fake.lastCaption);
    EXPECT_NE(std::string::npos, Fake.lastMessage.find("2")) << Fake.lastMessage;

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
        EXPECT_EQ(control, focusAfter) << "the focus is back on the control";
    }
}

} // namespace
