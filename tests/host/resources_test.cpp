// The module's resources as the program loads them: strings, icon, logo and the
// two dialog templates, control by control in template order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/host.h"
#include "resources/resource.h"

namespace {

struct Control {
    int id;
    std::string kind;   // the window class, by name
    DWORD style;        // without WS_CHILD | WS_VISIBLE
    std::string text;
    short x, y, cx, cy;
};

struct Template {
    DWORD style;
    std::string caption, font;
    WORD pointSize;
    short x, y, cx, cy;
    std::vector<Control> controls;
};

std::string ReadText(const WORD*& p)
{
    std::string text;
    if (*p == 0xFFFF) {
        text = "#" + std::to_string(p[1]);
        p += 2;
        return text;
    }
    for (; *p; ++p)
        text += static_cast<char>(*p);
    ++p;
    return text;
}

// A predefined class may be stored by its atom or by its name, in any case.
std::string ClassName(const std::string& stored)
{
    const char* names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    for (int atom = 0x80; atom <= 0x85; ++atom) {
        if (stored == "#" + std::to_string(atom))
            return names[atom - 0x80];
    }
    std::string upper = stored;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    return upper;
}

Template LoadTemplate(int id)
{
    HRSRC found = FindResourceW(ModuleInstance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    const auto* header = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(ModuleInstance, found)));
    Template result = {header->style, "", "", 0, header->x, header->y, header->cx, header->cy, {}};
    const WORD* p = reinterpret_cast<const WORD*>(header + 1);
    ReadText(p);    // menu
    ReadText(p);    // class
    result.caption = ReadText(p);
    if (header->style & DS_SETFONT) {
        result.pointSize = *p++;
        result.font = ReadText(p);
    }
    for (int i = 0; i < header->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        p = reinterpret_cast<const WORD*>(item + 1);
        std::string kind = ClassName(ReadText(p));
        std::string text = ReadText(p);
        p += 1 + *p / sizeof(WORD);
        result.controls.push_back({static_cast<short>(item->id), kind,
                                   item->style & ~(WS_CHILD | WS_VISIBLE), text,
                                   item->x, item->y, item->cx, item->cy});
    }
    return result;
}

void ExpectControls(const std::vector<Control>& expected, const std::vector<Control>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& e = expected[i];
        const Control& a = actual[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " (id " << e.id << ")");
        EXPECT_EQ(e.id, a.id);
        EXPECT_EQ(e.kind, a.kind);
        EXPECT_EQ(e.style, a.style);
        EXPECT_EQ(e.text, a.text);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
    }
}

const std::string Button = "BUTTON", Edit = "EDIT", Static = "STATIC", ScrollBar = "SCROLLBAR", ComboBox = "COMBOBOX";
constexpr DWORD Check = BS_AUTOCHECKBOX | WS_TABSTOP, CheckGroup = Check | WS_GROUP;
constexpr DWORD Push = BS_PUSHBUTTON | WS_TABSTOP, Spin = SBS_VERT | WS_TABSTOP;
constexpr DWORD Field = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, Label = SS_LEFT | WS_GROUP;

TEST(Resources, StringTable)
{
    const struct {
        int id;
        const char* text;
    } rows[] = {
        {1, "Kelvorin Power Saver"}, {1013, "None"},
        {1103, "CreateProcess fail (%ld)"}, {1104, "CreateProcess"},
        {1105, "SetTimer fail"}, {1106, "WM_CREATE"}, {1107, "Create DC Failed!"}, {1108, "Video Check"},
    };
    for (const auto& row : rows) {
        char text[64] = {};
        LoadStringA(ModuleInstance, row.id, text, sizeof text);
        EXPECT_STREQ(row.text, text) << "string " << row.id;
    }
}

TEST(Resources, IconAndLogo)
{
    EXPECT_NE(nullptr, LoadIconW(ModuleInstance, MAKEINTRESOURCEW(IDI_KELVORIN)));
    HBITMAP logo = LoadBitmapW(ModuleInstance, L"BITMAP_1");
    ASSERT_NE(nullptr, logo);
    BITMAP info;
    GetObjectW(logo, sizeof info, &info);
    EXPECT_EQ(128, info.bmWidth);
    EXPECT_EQ(85, info.bmHeight);
    DeleteObject(logo);

    HRSRC found = FindResourceW(ModuleInstance, L"BITMAP_1", MAKEINTRESOURCEW(2));
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(ModuleInstance, found)));
    EXPECT_EQ(4, header->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
}

TEST(Resources, SetupDialogTemplate)
{
    Template setup = LoadTemplate(IDD_SETUP);
    EXPECT_EQ(static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT), setup.style);
    EXPECT_EQ("Kelvorin Setup ", setup.caption);
    EXPECT_EQ("Helv", setup.font);
    EXPECT_EQ(8, setup.pointSize);
    EXPECT_EQ(19, setup.x);
    EXPECT_EQ(28, setup.y);
    EXPECT_EQ(294, setup.cx);
    EXPECT_EQ(229, setup.cy);
    ExpectControls({
        {101, Button, CheckGroup, "Kelvorin Video", 13, 19, 90, 13},
        {1001, Button, CheckGroup, "Video Standby", 39, 38, 64, 10},
        {1019, ScrollBar, Spin, "", 116, 34, 10, 19},
        {1017, Edit, Field, "", 127, 34, 13, 16},
        {2008, Button, CheckGroup, "Video Suspend", 39, 61, 64, 10},
        {1020, ScrollBar, Spin, "", 116, 59, 10, 19},
        {1018, Edit, Field, "", 127, 58, 13, 16},
        {2010, Button, CheckGroup, "Video Off", 39, 86, 64, 10},
        {1027, ScrollBar, Spin, "", 116, 81, 10, 19},
        {1023, Edit, Field, "", 127, 81, 13, 16},
        {106, Button, CheckGroup, "Kelvorin Hard Drive ", 13, 102, 97, 18},
        {1038, ScrollBar, Spin, "", 116, 103, 10, 19},
        {1035, Edit, Field, "", 127, 104, 13, 16},
        {108, Button, Check, "&Password Protected", 206, 25, 78, 10},
        {109, Button, Push, "&Set Password...", 209, 49, 66, 16},
        {1009, Button, Check, "Move", 219, 89, 35, 10},
        {1030, ComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", 42, 149, 87, 63},
        {1032, Button, Push, "&Test", 139, 146, 50, 14},
        {1033, Button, Push, "&Setup", 139, 171, 50, 14},
        {1, Button, Push | WS_GROUP, "OK", 41, 205, 41, 18},
        {2, Button, Push, "Cancel", 98, 205, 41, 18},
        {1003, Button, Push, "About", 155, 205, 41, 18},
        {110, Button, Push, "Help", 212, 205, 41, 18},
        {2005, Button, BS_GROUPBOX, "Hardware Options", 9, 8, 191, 117},
        {-1, Button, BS_GROUPBOX, "Mouse Wake Up ", 203, 76, 80, 48},
        {-1, Button, BS_GROUPBOX, "Password Options", 203, 9, 80, 65},
        {1022, Static, Label, "Minute(s) later", 143, 62, 50, 11},
        {1021, Static, Label, "Minute(s) later", 142, 39, 50, 11},
        {1024, Static, Label, "Minute[s] later", 143, 84, 50, 11},
        {2006, Button, BS_GROUPBOX, "Screen Saver Selection", 9, 135, 190, 60},
        {1031, Static, Label, "Name:", 16, 150, 22, 12},
        {1037, Static, Label, "Minute[s] later", 142, 107, 50, 11},
        {1039, Button, Check, "Click", 219, 107, 35, 10},
    }, setup.controls);
}

TEST(Resources, AboutBoxTemplate)
{
    Template about = LoadTemplate(IDD_ABOUT);
    EXPECT_EQ(static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | DS_SETFONT), about.style);
    EXPECT_EQ("About Kelvorin", about.caption);
    EXPECT_EQ("MS Sans Serif", about.font);
    EXPECT_EQ(8, about.pointSize);
    EXPECT_EQ(0, about.x);
    EXPECT_EQ(0, about.y);
    EXPECT_EQ(186, about.cx);
    EXPECT_EQ(64, about.cy);
    ASSERT_EQ(3u, about.controls.size());
    const std::string text = about.controls[1].text;
    ASSERT_EQ(2, std::count(text.begin(), text.end(), '\n')) << text;
    EXPECT_NE(std::string::npos, text.find("\nVersion 2.1\n")) << text;
    about.controls[1].text.clear();
    ExpectControls({
        {1, Button, BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 68, 42, 50, 14},
        {-1, Static, SS_CENTER | WS_GROUP, "", 27, 6, 128, 27},
        {116, Static, SS_ICON, "", 0, 0, 18, 20},
    }, about.controls);
}

} // namespace
