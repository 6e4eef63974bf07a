// The start form of the native Windows backend: a small dialog-framed
// window with a group box of radio buttons and one push button.
//
// Conventions: one form per program. All geometry is in pixels of the
// form's client area, origin top-left, as given by the FormDescription; the
// window is sized so that its client area is exactly that big
// (AdjustWindowRectEx) and centred on the screen. Controls use the default
// GUI font (8-point "MS Sans Serif" or its successor), which the layout was
// made for; where a system's font is too wide for the radio labels to fit
// inside the group box, a smaller size of the same face is made for the
// whole form (FormFont), so no label is ever cut. Texts are UTF-8 and shown
// through the wide functions. The radio buttons are children of the form,
// laid over the group box, which only draws its frame and caption and does
// not fill its inside: the form therefore paints its background under its
// children (no WS_CLIPCHILDREN), or the group's inside stays unpainted
// (black on a fresh screen). RunForm runs its own message loop
// (GetMessage, IsDialogMessage for keyboard navigation) until the form is
// destroyed by CloseForm or its close box.
#include <vector>

#include "platform/win32/Win32Api.h"

namespace {

constexpr int kButtonId = IDOK;  // Enter presses it through IsDialogMessage
constexpr int kFirstItemId = 100;
const wchar_t kFormClass[] = L"TerrainEditorStartForm";

HWND gForm = nullptr;
std::vector<HWND> gItems;
HFONT gFont = nullptr;      // the form's font; owned when gOwnFont
bool gOwnFont = false;
plat::ClickHandler gOnButton = nullptr;
int gIndexAfterClose = -1;

int CheckedItem() {
    for (size_t i = 0; i < gItems.size(); ++i)
        if (SendMessageW(gItems[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return int(i);
    return -1;
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
            if (gOnButton != nullptr) gOnButton();
            return 0;
        }
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (window == gForm) {
            gIndexAfterClose = CheckedItem();
            gForm = nullptr;
            gItems.clear();
            if (gOwnFont) DeleteObject(gFont);
            gFont = nullptr;
            gOwnFont = false;
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterFormClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSW native{};
    native.lpfnWndProc = &FormProcedure;
    native.hInstance = instance;
    // The program's own icon (Identity.rc), as a form of a desktop program
    // shows it; none when the .exe was built without one.
    native.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    native.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    native.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    native.lpszClassName = kFormClass;
    registered = RegisterClassW(&native) != 0;
    return registered;
}

HWND AddControl(HWND parent, const wchar_t* controlClass, const char* text, DWORD style, int left,
                int top, int width, int height, int id, HINSTANCE instance) {
    const std::wstring wide = win32::Widen(text);
    HWND control = CreateWindowExW(0, controlClass, wide.c_str(), WS_CHILD | WS_VISIBLE | style,
                                   left, top, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                   nullptr);
    if (control != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(gFont), FALSE);
    return control;
}

// Horizontal layout of the radio items inside the group box: they start a
// little right of its left frame line and may reach to just inside its
// right one.
constexpr int kItemInsetLeft = 6;
constexpr int kItemInsetRight = 3;

// Width a radio button needs to show text whole in font: its round check
// mark, the gap after it and the text (measured).
int RadioWidth(HDC dc, HFONT font, const std::wstring& text) {
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    SelectObject(dc, previous);
    return GetSystemMetrics(SM_CXMENUCHECK) + 2 * GetSystemMetrics(SM_CXEDGE) + extent.cx + 2;
}

int WidestRadio(HDC dc, HFONT font, const plat::FormDescription& form) {
    int widest = 0;
    for (int i = 0; i < form.itemCount; ++i) {
        const int width = RadioWidth(dc, font, win32::Widen(form.items[i]));
        if (width > widest) widest = width;
    }
    return widest;
}

// The default GUI font, or, when some label would not fit into the group
// box in it, the same face one pixel smaller at a time until every label
// fits (not below 7 pixels: smaller text is no longer legible).
void ChooseFormFont(const plat::FormDescription& form) {
    gFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    gOwnFont = false;
    if (form.itemCount <= 0 || form.items == nullptr) return;
    const int room = form.groupWidth - kItemInsetLeft - kItemInsetRight;
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return;
    LOGFONTW face{};
    if (WidestRadio(dc, gFont, form) > room &&
        GetObjectW(gFont, sizeof(face), &face) == int(sizeof(face))) {
        TEXTMETRICW metrics{};
        HGDIOBJ previous = SelectObject(dc, gFont);
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        // A negative height asks for the character height without the
        // internal leading, as the stock font's own size is given.
        int height = int(metrics.tmHeight - metrics.tmInternalLeading);
        while (--height >= 7) {
            face.lfHeight = -height;
            HFONT smaller = CreateFontIndirectW(&face);
            if (smaller == nullptr) break;
            if (gOwnFont) DeleteObject(gFont);
            gFont = smaller;
            gOwnFont = true;
            if (WidestRadio(dc, gFont, form) <= room) break;
        }
    }
    ReleaseDC(nullptr, dc);
}

// The radio buttons share the group box's inner area below its caption, one
// row each, as a radio group arranges its items.
void AddRadioGroup(const plat::FormDescription& form, HINSTANCE instance) {
    HWND group = AddControl(gForm, L"BUTTON", form.groupCaption, BS_GROUPBOX, form.groupLeft,
                            form.groupTop, form.groupWidth, form.groupHeight, -1, instance);
    if (group != nullptr && !form.groupEnabled) EnableWindow(group, FALSE);
    if (form.itemCount <= 0 || form.items == nullptr) return;
    const int captionHeight = 14;
    const int innerTop = form.groupTop + captionHeight;
    const int innerHeight = form.groupHeight - captionHeight - 4;
    const int rowHeight = innerHeight > 0 ? innerHeight / form.itemCount : 0;
    for (int i = 0; i < form.itemCount; ++i) {
        DWORD style = BS_AUTORADIOBUTTON;
        if (i == 0) style |= WS_GROUP | WS_TABSTOP;
        HWND item = AddControl(gForm, L"BUTTON", form.items[i], style,
                               form.groupLeft + kItemInsetLeft, innerTop + i * rowHeight,
                               form.groupWidth - kItemInsetLeft - kItemInsetRight, rowHeight,
                               kFirstItemId + i, instance);
        if (item == nullptr) continue;
        if (i == form.itemIndex) SendMessageW(item, BM_SETCHECK, BST_CHECKED, 0);
        if (!form.groupEnabled) EnableWindow(item, FALSE);
        gItems.push_back(item);
    }
}

}  // namespace

namespace plat {

int RunForm(const FormDescription& form, ClickHandler onButton) {
    win32::EnsureProcessSetup();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterFormClass(instance)) return 0;
    gOnButton = onButton;
    gItems.clear();
    gIndexAfterClose = form.itemIndex;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, form.clientWidth, form.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const std::wstring caption = win32::Widen(form.caption);
    gForm = CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, left, top, width, height,
                            nullptr, nullptr, instance, nullptr);
    if (gForm == nullptr) return 0;

    ChooseFormFont(form);
    AddRadioGroup(form, instance);
    HWND button = AddControl(gForm, L"BUTTON", form.buttonCaption,
                             BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, form.buttonLeft,
                             form.buttonTop, form.buttonWidth, form.buttonHeight, kButtonId,
                             instance);

    ::ShowWindow(gForm, SW_SHOW);
    UpdateWindow(gForm);
    ::SetForegroundWindow(gForm);
    if (button != nullptr) ::SetFocus(button);

    MSG message;
    while (gForm != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;  // WM_QUIT or a broken queue ends the form's loop
        if (gForm != nullptr && IsDialogMessageW(gForm, &message)) continue;
        ::TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (gForm != nullptr) ::DestroyWindow(gForm);
    return 0;
}

int FormItemIndex() { return gForm != nullptr ? CheckedItem() : gIndexAfterClose; }

void SetFormVisible(bool visible) {
    if (gForm == nullptr) return;
    ::ShowWindow(gForm, visible ? SW_SHOW : SW_HIDE);
}

void CloseForm() {
    if (gForm != nullptr) ::DestroyWindow(gForm);  // WM_DESTROY clears gForm, ending RunForm's loop
}

}  // namespace plat
