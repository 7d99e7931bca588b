// The main window and its controls, as another program sees them.
#include <gtest/gtest.h>
#include <richedit.h>

#include "driver.h"

namespace {

using qdriver::Quorvel;

struct ExpectedControl {
    int number;
    const wchar_t* windowClass;
    DWORD style;  // the control's own style bits plus tab stop and group
    bool clientEdge;
    int x, y, width, height;
    const wchar_t* caption;
};

constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kField = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kLabel = SS_NOPREFIX | SS_LEFT;

const ExpectedControl kControls[] = {
    {1, L"Button", kPush, false, 80, 280, 560, 40, L"Quorvel ..."},
    {10, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, false, 80, 180, 270, 20,
     L"2 stems - vocal, accompaniment"},
    {11, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, false, 80, 200, 270, 20,
     L"4 stems - vocal, drums, bass, other"},
    {12, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, false, 80, 220, 270, 20,
     L"5 stems - vocal, drums, bass, piano, other"},
    {13, L"Edit", kField | WS_GROUP, true, 720, 270, 80, 20, L""},
    {14, L"Static", kLabel, false, 10, 10, 60, 20, L"Audiofiles"},
    {15, L"Edit", kField, true, 80, 250, 560, 20, L""},
    {16, L"Static", kLabel, false, 30, 250, 50, 20, L"Outdir"},
    {3, L"Button", kPush, false, 640, 10, 40, 20, L"<<"},
    {4, L"Button", kPush, false, 640, 30, 40, 20, L">>"},
    {5, L"Button", kPush, false, 640, 50, 40, 20, L"Clear"},
    {2, L"Button", kPush, false, 640, 250, 40, 20, L"..."},
    {6, L"Button", kPush, false, 720, 200, 80, 40, L"Run Anaconda"},
    {18, L"ListBox", LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, true, 80, 10,
     560, 160, L""},
    {8, L"RICHEDIT50W",
     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN | ES_READONLY |
         WS_TABSTOP,
     false, 0, 330, 710, 120, L""},
    {20, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, false, 370, 180, 240, 25,
     L"Show CMD-Box for each Spleeter-Process "},
    {21, L"Button", kPush, false, 720, 70, 80, 30, L"TEST"},
};

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

class WindowTest : public testing::Test {
  protected:
    Quorvel app;
    HWND main = app.Window();
};

TEST_F(WindowTest, ControlsMatchTheTableInCreationOrder) {
    ASSERT_NE(main, nullptr);
    std::vector<int> order;
    for (HWND child = GetWindow(main, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    std::vector<int> expectedOrder;
    for (const ExpectedControl& expected : kControls) {
        expectedOrder.push_back(expected.number);
    }
    EXPECT_EQ(order, expectedOrder);

    constexpr DWORD kStyleMask =
        0xFFFF | WS_TABSTOP | WS_GROUP | WS_CHILD | WS_VISIBLE | WS_DISABLED;
    for (const ExpectedControl& expected : kControls) {
        SCOPED_TRACE("control " + std::to_string(expected.number));
        HWND control = GetDlgItem(main, expected.number);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), expected.windowClass), 0)
            << qdriver::Utf8(ClassName(control));
        const DWORD style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ(style & kStyleMask, expected.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ((GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0,
                  expected.clientEdge);
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
        EXPECT_EQ(app.Text(expected.number), expected.caption);
    }
}

TEST_F(WindowTest, FixedSizeWindowWithTitleCentredOnTheScreen) {
    ASSERT_NE(main, nullptr);
    wchar_t title[256] = {};
    GetWindowTextW(main, title, 256);
    EXPECT_EQ(std::wstring(title).rfind(L"Quorvel ~ V2.00 ~ ", 0), 0u) << qdriver::Utf8(title);
    EXPECT_GT(wcslen(title), wcslen(L"Quorvel ~ V2.00 ~ "));

    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 710);
    EXPECT_EQ(client.bottom, 450);

    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD), 0);
    EXPECT_EQ(GetWindowLongW(main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
    EXPECT_EQ(GetMenu(main), nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main) || IsZoomed(main));

    // The outer frame's corner sits at the centre computed for the client size.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(screenWidth, 1920) << "the tests expect Xvfb's 1920 x 1080 screen";
    ASSERT_EQ(screenHeight, 1080);
    RECT frame;
    GetWindowRect(main, &frame);
    EXPECT_EQ(frame.left, 605);
    EXPECT_EQ(frame.top, 315);
}

TEST_F(WindowTest, OptionButtonsFormOneGroupAndStartUnchosen) {
    ASSERT_NE(main, nullptr);
    for (int option : {10, 11, 12}) {
        EXPECT_FALSE(app.Checked(option)) << option;
    }
    app.Press(20);
    app.Press(10);
    app.Sync();
    EXPECT_TRUE(app.Checked(10));
    app.Press(11);
    app.Sync();
    EXPECT_FALSE(app.Checked(10));
    EXPECT_TRUE(app.Checked(11));
    app.Press(12);
    app.Sync();
    EXPECT_FALSE(app.Checked(11));
    EXPECT_TRUE(app.Checked(12));
    EXPECT_TRUE(app.Checked(20)) << "the checkbox is not part of the group";
}

TEST_F(WindowTest, TranscriptBoxIsReadOnlyWrappingAndPaleYellow) {
    ASSERT_NE(main, nullptr);
    HWND box = app.Control(8);
    const LRESULT options = SendMessageW(box, EM_GETOPTIONS, 0, 0);
    EXPECT_NE(options & ECO_READONLY, 0);
    EXPECT_EQ(SendMessageW(box, EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);

    // Typing into it changes nothing.
    app.BringToFront();
    SetFocus(nullptr);
    PostMessageW(box, WM_CHAR, L'x', 0);
    PostMessageW(box, WM_KEYDOWN, VK_BACK, 0);
    app.Sync();
    EXPECT_EQ(app.Text(8), L"");

    // Its colour on screen, read from the middle of the box.
    RECT rect;
    GetWindowRect(box, &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF colour =
        GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(colour, RGB(253, 254, 216));
}

TEST_F(WindowTest, TestButtonSelectsEachEntryEndingOnTheLast) {
    ASSERT_NE(main, nullptr);
    app.Press(21);
    app.Sync();
    EXPECT_EQ(app.ListSelection(), LB_ERR) << "an empty list is left as it was";

    app.AddListEntries({L"C:\\a.wav", L"C:\\b.wav", L"C:\\c.wav"});
    app.Press(21);
    app.Sync();
    EXPECT_EQ(app.ListSelection(), 2);
    EXPECT_EQ(app.ListEntries().size(), 3u);
    EXPECT_EQ(app.Text(8), L"");
    EXPECT_FALSE(app.WaitMessageBox(300));
}

TEST_F(WindowTest, ControlEventSentFromOutsideWakesTheWait) {
    ASSERT_NE(main, nullptr);
    app.AddListEntries({L"one", L"two"});
    // Nothing else is going on in the program: no caret, no input. The event alone
    // must get the handler to run.
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(21, BN_CLICKED),
                 reinterpret_cast<LPARAM>(app.Control(21)));
    EXPECT_TRUE(qdriver::WaitFor([&] { return app.ListSelection() == 1; }, 400));
}

TEST_F(WindowTest, CloseWritesSettingsAndExitsWithZero) {
    ASSERT_NE(main, nullptr);
    app.SetFieldText(15, L"D:\\Stems\\");
    app.Press(20);
    app.Sync();
    app.RequestClose();
    EXPECT_EQ(app.WaitExit(), 0u);
    EXPECT_EQ(qdriver::ReadBytes(app.SettingsPath()), "OUT_OUTDIR=D:\\Stems\\\r\nCMD_SHOW=1\r\n");
}

TEST(Resources, IconManifestAndVersionAreEmbedded) {
    const std::wstring exe = qdriver::QuorvelExe();
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);

    // Icon 1: one 16 x 16 image in 32-bit colour.
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(directory, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
    ASSERT_EQ(count, 1);
    const BYTE* entry = directory + 6;  // width, height, colours, reserved, planes, bit count
    EXPECT_EQ(entry[0], 16);
    EXPECT_EQ(entry[1], 16);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);

    HRSRC manifestResource = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifestResource, nullptr);
    const std::string manifest(
        static_cast<const char*>(LockResource(LoadResource(module, manifestResource))),
        SizeofResource(module, manifestResource));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    for (const char* os :
         {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
          "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
          "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    }
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    FreeLibrary(module);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"Quorvel");
}

}  // namespace
