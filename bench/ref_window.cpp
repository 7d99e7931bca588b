// The least a program can do to show Quorvel's window: same size, same seventeen controls,
// nothing else. Its start-up time is the yardstick for Quorvel's.
#include <windows.h>
#include <richedit.h>

namespace {

constexpr int kWidth = 710;
constexpr int kHeight = 450;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kEditorStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                               ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
constexpr DWORD kListStyle =
    LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;

struct Child {
    int id;
    DWORD exStyle;
    const wchar_t* windowClass;
    DWORD style;
    int x, y, width, height;
    const wchar_t* caption;
};

constexpr Child kChildren[] = {
    {1, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 80, 280, 560, 40, L"Quorvel ..."},
    {10, 0, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 80, 180, 270, 20,
     L"2 stems - vocal, accompaniment"},
    {11, 0, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 80, 200, 270, 20,
     L"4 stems - vocal, drums, bass, other"},
    {12, 0, L"Button", BS_AUTORADIOBUTTON | WS_TABSTOP, 80, 220, 270, 20,
     L"5 stems - vocal, drums, bass, piano, other"},
    {13, WS_EX_CLIENTEDGE, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 720, 270, 80, 20, L""},
    {14, 0, L"Static", SS_NOPREFIX | SS_LEFT, 10, 10, 60, 20, L"Audiofiles"},
    {15, WS_EX_CLIENTEDGE, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, 80, 250, 560, 20, L""},
    {16, 0, L"Static", SS_NOPREFIX | SS_LEFT, 30, 250, 50, 20, L"Outdir"},
    {3, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 640, 10, 40, 20, L"<<"},
    {4, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 640, 30, 40, 20, L">>"},
    {5, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 640, 50, 40, 20, L"Clear"},
    {2, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 640, 250, 40, 20, L"..."},
    {6, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 720, 200, 80, 40, L"Run Anaconda"},
    {18, WS_EX_CLIENTEDGE, L"ListBox", kListStyle, 80, 10, 560, 160, L""},
    {8, 0, L"RICHEDIT50W", kEditorStyle, 0, 330, 710, 120, L""},
    {20, 0, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 370, 180, 240, 25,
     L"Show CMD-Box for each Spleeter-Process "},
    {21, 0, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 720, 70, 80, 30, L"TEST"},
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    LoadLibraryW(L"msftedit.dll");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QuorvelReferenceWindow";
    RegisterClassExW(&windowClass);

    RECT frame = {0, 0, kWidth, kHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Reference", kStyle, x, y,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    for (const Child& child : kChildren) {
        HWND control = CreateWindowExW(
            child.exStyle, child.windowClass, child.caption, WS_CHILD | WS_VISIBLE | child.style,
            child.x, child.y, child.width, child.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return 0;
}
