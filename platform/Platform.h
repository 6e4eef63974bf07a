// The one narrow interface between the editor and the operating system.
//
// Conventions: the calls mirror the native window system of the desktop
// platform call for call (window class, display mode, cursor display count,
// device and rendering context, message queue, tick count, message boxes,
// forms and file dialogs), so a Win32 backend maps one to one and the
// portable code reads like the native program. Message numbers, virtual-key
// codes and message-box flags carry the Win32 values. Handles are opaque
// pointers owned by the backend; null means "none". Strings are 8-bit,
// zero-terminated, UTF-8 on Linux. Everything runs on the program's one
// thread. Exactly one of three backends is linked into a program: the
// desktop backend (platform/linux: SDL2 windows and input, GTK3 forms and
// dialogs) into the Linux editor, the native Win32 backend (platform/win32:
// Win32 windows and messages, WGL, GDI, common dialogs) into the Windows
// editor, and the headless backend (platform/headless: EGL surfaceless, with
// scripted input, see HeadlessControl.h) into the tests.
#pragma once

#include <cstdint>

// Files: regular-file reads and whole-file replacement.
#include "platform/PlatformFiles.h"

namespace plat {

// ---- Message numbers ----------------------------------------------------
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCHAR = 0x0106;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

// System commands (first parameter of WM_SYSCOMMAND).
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// ---- Virtual-key codes ----------------------------------------------------
// Letters and digits use their upper-case ASCII code ('A' 0x41, '0' 0x30).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;  // Alt
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_CAPITAL = 0x14;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_SNAPSHOT = 0x2C;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_LWIN = 0x5B;
constexpr uint32_t VK_RWIN = 0x5C;
constexpr uint32_t VK_APPS = 0x5D;
constexpr uint32_t VK_NUMPAD0 = 0x60;
constexpr uint32_t VK_NUMPAD2 = 0x62;
constexpr uint32_t VK_NUMPAD4 = 0x64;
constexpr uint32_t VK_NUMPAD6 = 0x66;
constexpr uint32_t VK_NUMPAD8 = 0x68;
constexpr uint32_t VK_MULTIPLY = 0x6A;
constexpr uint32_t VK_ADD = 0x6B;
constexpr uint32_t VK_SUBTRACT = 0x6D;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70;  // F1..F24 are consecutive
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_F10 = 0x79;
constexpr uint32_t VK_NUMLOCK = 0x90;
constexpr uint32_t VK_SCROLL = 0x91;
constexpr uint32_t VK_OEM_1 = 0xBA;       // ;:
constexpr uint32_t VK_OEM_PLUS = 0xBB;    // =+
constexpr uint32_t VK_OEM_COMMA = 0xBC;   // ,<
constexpr uint32_t VK_OEM_MINUS = 0xBD;   // -_
constexpr uint32_t VK_OEM_PERIOD = 0xBE;  // .>
constexpr uint32_t VK_OEM_2 = 0xBF;       // /?
constexpr uint32_t VK_OEM_3 = 0xC0;       // `~
constexpr uint32_t VK_OEM_4 = 0xDB;       // [{
constexpr uint32_t VK_OEM_5 = 0xDC;       // \|
constexpr uint32_t VK_OEM_6 = 0xDD;       // ]}
constexpr uint32_t VK_OEM_7 = 0xDE;       // '"
constexpr uint32_t VK_OEM_102 = 0xE2;     // <> on ISO keyboards

// ---- Message-box flags ----------------------------------------------------
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// ---- Window-class styles ----------------------------------------------------
constexpr unsigned CS_VREDRAW = 0x0001;
constexpr unsigned CS_HREDRAW = 0x0002;
constexpr unsigned CS_OWNDC = 0x0020;

// ---- Handles ----------------------------------------------------------------
struct WindowObject;
struct DeviceObject;
struct RenderObject;
struct ModuleObject;
using WindowHandle = WindowObject*;
using DeviceContext = DeviceObject*;
using RenderContext = RenderObject*;
using ModuleHandle = ModuleObject*;

// Window procedure: (window, message, first parameter, second parameter).
using WindowProc = intptr_t (*)(WindowHandle, uint32_t, uintptr_t, intptr_t);

struct Message {
    WindowHandle window = nullptr;
    uint32_t message = WM_NULL;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct WindowClass {
    unsigned style = 0;
    WindowProc procedure = nullptr;
    ModuleHandle instance = nullptr;
    const char* className = nullptr;
};

// Pixel format request: RGBA, drawn to a window, with OpenGL support.
struct PixelFormat {
    int colourBits = 16;
    int depthBits = 32;
    bool doubleBuffer = true;
};

// ---- Module, window class, display mode, cursor ---------------------------
ModuleHandle GetModuleHandle();
bool RegisterWindowClass(const WindowClass& windowClass);
bool UnregisterWindowClass(const char* className, ModuleHandle instance);

// Requests a temporary fullscreen mode of exactly width x height; the colour
// depth is the closest the display offers. False when the display cannot.
bool ChangeDisplayMode(int width, int height, int bitsPerPixel);
// Returns the display to the desktop's mode. False on failure.
bool RestoreDisplayMode();

// The cursor display count: show adds one, hide takes one away; the pointer
// is visible while the count is zero or more. Returns the new count.
int ShowCursor(bool show);

// ---- Windows ------------------------------------------------------------------
// A borderless popup at (x, y) of the given size, of a registered class.
WindowHandle CreatePopupWindow(const char* className, const char* title, int x, int y,
                               int width, int height, ModuleHandle instance);
bool DestroyWindow(WindowHandle window);
void SetWindowUserData(WindowHandle window, void* data);
void* GetWindowUserData(WindowHandle window);
void ShowWindow(WindowHandle window);
bool SetForegroundWindow(WindowHandle window);
void SetFocus(WindowHandle window);
WindowHandle GetFocus();

// ---- Device and rendering context -------------------------------------------
DeviceContext GetDC(WindowHandle window);
bool ReleaseDC(WindowHandle window, DeviceContext dc);
// Index of the format closest to the request, 0 when none exists.
int ChoosePixelFormat(DeviceContext dc, const PixelFormat& request);
bool SetPixelFormat(DeviceContext dc, int format, const PixelFormat& request);
RenderContext CreateContext(DeviceContext dc);
// MakeCurrent(nullptr, nullptr) makes no context current.
bool MakeCurrent(DeviceContext dc, RenderContext rc);
bool DeleteContext(RenderContext rc);
bool SwapBuffers(DeviceContext dc);
// Writes text with the device's default font (black on white) with its
// top-left corner at window pixel (x, y), y counted from the top. It shows on
// the picture that is presented and is gone with the next one.
bool TextOut(DeviceContext dc, int x, int y, const char* text, int length);

// ---- Message queue ------------------------------------------------------------
// Takes one message of any window from the queue without waiting.
bool PeekMessage(Message* message);
// Key messages of printable keys add a character message to the queue.
void TranslateMessage(const Message& message);
// Calls the procedure of the message's window class.
intptr_t DispatchMessage(const Message& message);
void PostQuitMessage(int exitCode);
intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();

// Modal message box; flags MB_OK | MB_ICON*. Returns 1 (OK).
int MessageBox(WindowHandle owner, const char* text, const char* title, unsigned flags);
// Modal message box with two buttons of the given labels, the first one
// focused (Return presses it); flags MB_ICON*. True when the first was
// pressed; the second gives false, and so do Escape and the close box where
// the system offers them (a Win32 Yes/No box has neither).
bool AskBox(WindowHandle owner, const char* text, const char* title, unsigned flags,
            const char* first, const char* second);

// ---- Start form ------------------------------------------------------------------
// A small fixed dialog: a radio group and one button. Geometry in pixels.
struct FormDescription {
    const char* caption = "";
    int clientWidth = 0, clientHeight = 0;
    const char* groupCaption = "";
    const char* const* items = nullptr;
    int itemCount = 0;
    int itemIndex = -1;
    bool groupEnabled = true;
    int groupLeft = 0, groupTop = 0, groupWidth = 0, groupHeight = 0;
    const char* buttonCaption = "";
    int buttonLeft = 0, buttonTop = 0, buttonWidth = 0, buttonHeight = 0;
};
using ClickHandler = void (*)();

// Shows the form centred on the screen and runs the application's message
// loop until the form closes. Returns 0 then; returns non-zero (after one
// line on standard error) when no display can be opened.
int RunForm(const FormDescription& form, ClickHandler onButton);
int FormItemIndex();
void SetFormVisible(bool visible);
void CloseForm();

// ---- File dialogs ------------------------------------------------------------------
// Modal open / save dialogs. filter is "description|pattern|..." pairs.
// Return a heap copy (release with FreeString) of the chosen path, or null
// when cancelled.
char* OpenFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath);
char* SaveFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath);
void FreeString(char* text);
// Path of the running program's own executable file.
const char* ProgramPath();
// A folder the open dialog lists among its places (GTK: a shortcut folder),
// from the next dialog on; an empty or null folder lists none. Backends
// whose dialog keeps no such list ignore it.
void SetOpenDialogPlace(const char* folder);

// ---- Folders ---------------------------------------------------------------------
// Every folder path below ends with its separator, as in PlatformStore.h.
// The user's own folder: the home folder on Linux, the Documents folder on
// Windows; empty when the system names none.
const char* UserFolder();
// The folder that holds the program's data (textures/) when it is
// installed, found from the program's own file, so that an unpacked package
// works wherever it lies: <program folder>/../share/terrain-editor/ on Linux,
// the program's own folder on Windows (the zip's layout). Empty when the
// program's file is unknown; the folder itself may not exist.
const char* DataFolder();
// The folder in which the program keeps what must survive its end, with its
// separator, or null when the system names none: $XDG_STATE_HOME/
// terrain-editor/ (by default ~/.local/state/terrain-editor/) on Linux,
// %LOCALAPPDATA%\terrain-editor\ on Windows, none on the headless backend
// unless a test names one. The folder need not exist yet.
const char* StateFolder();

}  // namespace plat
