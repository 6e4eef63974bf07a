// Headless backend: the platform interface without a display, for tests.
//
// OpenGL: one EGL display on Mesa's surfaceless platform; each device context
// owns a pbuffer the size of its window (single-buffered, so what a frame
// drew stays readable with glReadPixels after the "swap"). Everything else is
// bookkeeping a test can script and inspect through HeadlessControl.h: the
// message queue, the tick count, recorded message boxes and text output,
// display modes, the cursor display count, forms and file dialogs, the
// program's path and the user's folder, and steps forced to fail. The data
// folder is the real one beside this program's file, so that mapconvert
// (which runs on this backend) finds an installed texture pack. Handles are heap objects owned by this file; a
// destroyed window stays allocated (marked dead) so stale handles never
// dangle during a test.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/HeadlessControl.h"
#include "platform/Platform.h"
#include "platform/common/PosixFolders.h"
#include "platform/common/TextOverlay.h"

struct plat::WindowObject {
    std::string className;
    int width = 0, height = 0;
    void* userData = nullptr;
    bool alive = true;
    bool shown = false;
};

struct plat::DeviceObject {
    WindowObject* window = nullptr;
    int pixelFormat = 0;
    EGLSurface surface = EGL_NO_SURFACE;
    std::vector<headless::RecordedText> pending;
    bool alive = true;
};

struct plat::RenderObject {
    EGLContext context = EGL_NO_CONTEXT;
    bool alive = true;
};

struct plat::ModuleObject {
    int unused = 0;
};

namespace {

using headless::Step;

struct State {
    bool fail[static_cast<int>(Step::Count)] = {};
    std::vector<std::pair<int, int>> modes{{1280, 1024}, {1024, 768}, {800, 600}};
    bool switched = false;
    int switchedWidth = 0, switchedHeight = 0;
    int cursorCount = 0;
    std::map<std::string, plat::WindowProc> classes;
    std::vector<std::unique_ptr<plat::WindowObject>> windows;
    std::vector<std::unique_ptr<plat::DeviceObject>> devices;
    std::vector<std::unique_ptr<plat::RenderObject>> contexts;
    std::deque<plat::Message> queue;
    plat::WindowHandle focus = nullptr;
    headless::PeekHook peekHook = nullptr;
    void* peekUser = nullptr;
    int peekCount = 0;
    int defaultProcCalls = 0;
    uint32_t ticks = 0;
    std::vector<headless::RecordedBox> boxes;
    std::deque<bool> boxAnswers;
    std::vector<headless::RecordedText> texts;
    int swaps = 0;
    bool pressButton = true;
    bool formVisible = false;
    bool formClosed = false;
    std::vector<std::string> dialogAnswers;
    std::vector<bool> dialogCancelled;
    size_t dialogNext = 0;
    int dialogCalls = 0;
    std::string openPlace;
    std::string stateFolder;  // empty: the system names none
    std::vector<std::string> dialogStarts;
    std::string programPath = "/headless/terrain-editor";
    std::string userFolder = "/headless/home/";
    std::string dataFolder = posixdir::InstalledDataFolder(posixdir::ExecutablePath());
};

State& S() {
    static State state;
    return state;
}

bool Failing(Step step) { return S().fail[static_cast<int>(step)]; }

plat::ModuleObject gModule;

// The EGL display is opened once per process and kept: re-initialising Mesa
// for every test would only cost time.
EGLDisplay Display() {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay) {
            display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY,
                                         nullptr);
        }
        EGLint major = 0, minor = 0;
        if (display != EGL_NO_DISPLAY && !eglInitialize(display, &major, &minor)) {
            display = EGL_NO_DISPLAY;
        }
        if (display == EGL_NO_DISPLAY) {
            std::fprintf(stderr, "headless: no EGL surfaceless display\n");
        }
        eglBindAPI(EGL_OPENGL_API);
    }
    return display;
}

EGLConfig ChooseConfig(const plat::PixelFormat& request) {
    EGLDisplay display = Display();
    if (display == EGL_NO_DISPLAY) return nullptr;
    // Closest to the request: ask for at least the colour and some depth,
    // then take the first config whose depth is as deep as available.
    const int colour = request.colourBits >= 24 ? 8 : 5;
    for (int depth : {request.depthBits, 24, 16}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,  EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,    EGL_RED_SIZE,    colour,
                                     EGL_GREEN_SIZE,    colour,          EGL_BLUE_SIZE,
                                     colour,            EGL_DEPTH_SIZE,  depth,
                                     EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (eglChooseConfig(display, attributes, &config, 1, &count) && count > 0) return config;
    }
    return nullptr;
}

}  // namespace

namespace plat {

ModuleHandle GetModuleHandle() { return &gModule; }

bool RegisterWindowClass(const WindowClass& windowClass) {
    if (Failing(Step::RegisterClass) || !windowClass.className || !windowClass.procedure) {
        return false;
    }
    if (S().classes.count(windowClass.className)) return false;
    S().classes[windowClass.className] = windowClass.procedure;
    return true;
}

bool UnregisterWindowClass(const char* className, ModuleHandle) {
    if (Failing(Step::UnregisterClass) || !className) return false;
    return S().classes.erase(className) == 1;
}

bool ChangeDisplayMode(int width, int height, int) {
    if (Failing(Step::ChangeDisplayMode)) return false;
    for (const auto& mode : S().modes) {
        if (mode.first == width && mode.second == height) {
            S().switched = true;
            S().switchedWidth = width;
            S().switchedHeight = height;
            return true;
        }
    }
    return false;
}

bool RestoreDisplayMode() {
    if (Failing(Step::RestoreDisplayMode)) return false;
    S().switched = false;
    S().switchedWidth = S().switchedHeight = 0;
    return true;
}

int ShowCursor(bool show) { return show ? ++S().cursorCount : --S().cursorCount; }

WindowHandle CreatePopupWindow(const char* className, const char*, int, int, int width,
                               int height, ModuleHandle) {
    if (Failing(Step::CreateWindow) || !className || !S().classes.count(className)) {
        return nullptr;
    }
    auto window = std::make_unique<WindowObject>();
    window->className = className;
    window->width = width;
    window->height = height;
    S().windows.push_back(std::move(window));
    return S().windows.back().get();
}

bool DestroyWindow(WindowHandle window) {
    if (Failing(Step::DestroyWindow) || !window || !window->alive) return false;
    window->alive = false;
    window->userData = nullptr;
    if (S().focus == window) S().focus = nullptr;
    return true;
}

void SetWindowUserData(WindowHandle window, void* data) {
    if (window) window->userData = data;
}

void* GetWindowUserData(WindowHandle window) { return window ? window->userData : nullptr; }

void ShowWindow(WindowHandle window) {
    if (window) window->shown = true;
}

bool SetForegroundWindow(WindowHandle window) { return window && window->alive; }

void SetFocus(WindowHandle window) { S().focus = window; }

WindowHandle GetFocus() { return S().focus; }

DeviceContext GetDC(WindowHandle window) {
    if (Failing(Step::GetDC) || !window || !window->alive) return nullptr;
    auto device = std::make_unique<DeviceObject>();
    device->window = window;
    S().devices.push_back(std::move(device));
    return S().devices.back().get();
}

bool ReleaseDC(WindowHandle, DeviceContext dc) {
    if (Failing(Step::ReleaseDC) || !dc || !dc->alive) return false;
    if (dc->surface != EGL_NO_SURFACE) eglDestroySurface(Display(), dc->surface);
    dc->surface = EGL_NO_SURFACE;
    dc->alive = false;
    return true;
}

int ChoosePixelFormat(DeviceContext dc, const PixelFormat& request) {
    if (Failing(Step::ChoosePixelFormat) || !dc) return 0;
    return ChooseConfig(request) ? 1 : 0;
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormat& request) {
    if (Failing(Step::SetPixelFormat) || !dc || format != 1 || dc->pixelFormat != 0) return false;
    EGLConfig config = ChooseConfig(request);
    if (!config) return false;
    const EGLint attributes[] = {EGL_WIDTH, dc->window->width, EGL_HEIGHT, dc->window->height,
                                 EGL_NONE};
    dc->surface = eglCreatePbufferSurface(Display(), config, attributes);
    if (dc->surface == EGL_NO_SURFACE) return false;
    dc->pixelFormat = format;
    return true;
}

RenderContext CreateContext(DeviceContext dc) {
    if (Failing(Step::CreateContext) || !dc || dc->pixelFormat == 0) return nullptr;
    EGLConfig config = ChooseConfig(PixelFormat{});
    EGLContext context = eglCreateContext(Display(), config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return nullptr;
    auto render = std::make_unique<RenderObject>();
    render->context = context;
    S().contexts.push_back(std::move(render));
    return S().contexts.back().get();
}

bool MakeCurrent(DeviceContext dc, RenderContext rc) {
    if (!dc && !rc) {
        if (Failing(Step::ReleaseContext)) return false;
        return eglMakeCurrent(Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (Failing(Step::MakeCurrent) || !dc || !rc || !rc->alive) return false;
    return eglMakeCurrent(Display(), dc->surface, dc->surface, rc->context);
}

bool DeleteContext(RenderContext rc) {
    if (Failing(Step::DeleteContext) || !rc || !rc->alive) return false;
    eglDestroyContext(Display(), rc->context);
    rc->context = EGL_NO_CONTEXT;
    rc->alive = false;
    return true;
}

bool SwapBuffers(DeviceContext dc) {
    if (!dc || !dc->alive) return false;
    for (const auto& text : dc->pending) {
        DrawTextOverlay(dc->window->width, dc->window->height, text.x, text.y,
                        text.text.c_str(), static_cast<int>(text.text.size()));
    }
    dc->pending.clear();
    ++S().swaps;
    return true;
}

bool TextOut(DeviceContext dc, int x, int y, const char* text, int length) {
    if (!dc || !text || length < 0) return false;
    headless::RecordedText record{x, y, std::string(text, static_cast<size_t>(length))};
    S().texts.push_back(record);
    dc->pending.push_back(record);
    return true;
}

bool PeekMessage(Message* message) {
    ++S().peekCount;
    if (S().peekHook) S().peekHook(S().peekUser);
    if (S().queue.empty() || !message) return false;
    *message = S().queue.front();
    S().queue.pop_front();
    return true;
}

void TranslateMessage(const Message& message) {
    if (message.message != WM_KEYDOWN) return;
    const uintptr_t key = message.wParam;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == VK_SPACE) {
        const uintptr_t character = (key >= 'A' && key <= 'Z') ? key + ('a' - 'A') : key;
        S().queue.push_back(Message{message.window, WM_CHAR, character, message.lParam});
    }
}

intptr_t DispatchMessage(const Message& message) {
    WindowHandle window = message.window;
    if (!window || !window->alive) return 0;
    auto it = S().classes.find(window->className);
    if (it == S().classes.end()) return 0;
    return it->second(window, message.message, message.wParam, message.lParam);
}

void PostQuitMessage(int exitCode) {
    S().queue.push_back(Message{nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode), 0});
}

intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
    ++S().defaultProcCalls;
    if (!window || !window->alive) return 0;
    auto it = S().classes.find(window->className);
    if (it == S().classes.end()) return 0;
    if (message == WM_SYSKEYDOWN && wParam == VK_F4) {
        return it->second(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        return it->second(window, WM_CLOSE, 0, 0);
    }
    return 0;
}

uint32_t GetTickCount() { return S().ticks; }

int MessageBox(WindowHandle owner, const char* text, const char* title, unsigned flags) {
    S().boxes.push_back(
        headless::RecordedBox{text ? text : "", title ? title : "", flags, owner, "", ""});
    return 1;
}

bool AskBox(WindowHandle owner, const char* text, const char* title, unsigned flags,
            const char* first, const char* second) {
    S().boxes.push_back(headless::RecordedBox{text ? text : "", title ? title : "", flags, owner,
                                              first ? first : "", second ? second : ""});
    if (S().boxAnswers.empty()) return false;
    const bool answer = S().boxAnswers.front();
    S().boxAnswers.pop_front();
    return answer;
}

int RunForm(const FormDescription&, ClickHandler onButton) {
    S().formVisible = true;
    S().formClosed = false;
    if (S().pressButton && onButton) onButton();
    S().formVisible = false;
    S().formClosed = true;
    return 0;
}

int FormItemIndex() { return 2; }

void SetFormVisible(bool visible) { S().formVisible = visible; }

void CloseForm() {
    S().formVisible = false;
    S().formClosed = true;
}

static char* NextDialogAnswer() {
    ++S().dialogCalls;
    if (S().dialogNext >= S().dialogAnswers.size()) return nullptr;
    const size_t index = S().dialogNext++;
    if (S().dialogCancelled[index]) return nullptr;
    const std::string& answer = S().dialogAnswers[index];
    char* copy = static_cast<char*>(std::malloc(answer.size() + 1));
    if (copy) std::memcpy(copy, answer.c_str(), answer.size() + 1);
    return copy;
}

char* OpenFileDialog(const char*, const char*, const char*, const char* initialPath) {
    S().dialogStarts.push_back(initialPath != nullptr ? initialPath : "");
    return NextDialogAnswer();
}

char* SaveFileDialog(const char*, const char*, const char*, const char* initialPath) {
    S().dialogStarts.push_back(initialPath != nullptr ? initialPath : "");
    return NextDialogAnswer();
}

void FreeString(char* text) { std::free(text); }

const char* ProgramPath() { return S().programPath.c_str(); }

const char* UserFolder() { return S().userFolder.c_str(); }

const char* DataFolder() { return S().dataFolder.c_str(); }

void SetOpenDialogPlace(const char* folder) { S().openPlace = folder != nullptr ? folder : ""; }

const char* StateFolder() { return S().stateFolder.empty() ? nullptr : S().stateFolder.c_str(); }

}  // namespace plat

namespace headless {

void Reset() {
    // Contexts and surfaces of an earlier test are released so each test
    // starts from nothing; the EGL display itself stays open.
    EGLDisplay display = Display();
    if (display != EGL_NO_DISPLAY) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        for (auto& rc : S().contexts) {
            if (rc->alive) eglDestroyContext(display, rc->context);
        }
        for (auto& dc : S().devices) {
            if (dc->surface != EGL_NO_SURFACE) eglDestroySurface(display, dc->surface);
        }
    }
    S() = State();
}

void FailStep(Step step, bool fail) { S().fail[static_cast<int>(step)] = fail; }

void SetDisplayModes(const std::vector<std::pair<int, int>>& modes) { S().modes = modes; }
bool DisplaySwitched() { return S().switched; }
int SwitchedWidth() { return S().switchedWidth; }
int SwitchedHeight() { return S().switchedHeight; }
int CursorCount() { return S().cursorCount; }

plat::WindowHandle LastWindow() {
    for (auto it = S().windows.rbegin(); it != S().windows.rend(); ++it) {
        if ((*it)->alive) return it->get();
    }
    return nullptr;
}

void PostToWindow(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    PostToWindow(LastWindow(), message, wParam, lParam);
}

void PostToWindow(plat::WindowHandle window, uint32_t message, uintptr_t wParam,
                  intptr_t lParam) {
    S().queue.push_back(plat::Message{window, message, wParam, lParam});
}

size_t QueuedMessages() { return S().queue.size(); }

int LiveWindows() {
    int count = 0;
    for (auto& window : S().windows) count += window->alive ? 1 : 0;
    return count;
}

bool ClassRegistered(const char* className) { return S().classes.count(className) != 0; }

int LiveContexts() {
    int count = 0;
    for (auto& rc : S().contexts) count += rc->alive ? 1 : 0;
    return count;
}

int PixelFormatOf(plat::DeviceContext dc) { return dc ? dc->pixelFormat : 0; }

void SetPeekHook(PeekHook hook, void* user) {
    S().peekHook = hook;
    S().peekUser = user;
}

int PeekCount() { return S().peekCount; }
int DefaultProcCalls() { return S().defaultProcCalls; }

void SetTickCount(uint32_t ticks) { S().ticks = ticks; }
void AdvanceTicks(uint32_t ms) { S().ticks += ms; }

const std::vector<RecordedBox>& MessageBoxes() { return S().boxes; }
void ScriptBoxAnswers(const std::vector<bool>& firstPressed) {
    S().boxAnswers.assign(firstPressed.begin(), firstPressed.end());
}
const std::vector<RecordedText>& TextOutputs() { return S().texts; }
int SwapCount() { return S().swaps; }

void ScriptFormButton(bool press) { S().pressButton = press; }
bool FormVisible() { return S().formVisible; }
bool FormClosed() { return S().formClosed; }

void ScriptFileDialogAnswers(const std::vector<const char*>& answers) {
    S().dialogAnswers.clear();
    S().dialogCancelled.clear();
    for (const char* answer : answers) {
        S().dialogAnswers.push_back(answer ? answer : "");
        S().dialogCancelled.push_back(answer == nullptr);
    }
    S().dialogNext = 0;
    S().dialogCalls = 0;
}

int FileDialogCalls() { return S().dialogCalls; }
const std::string& OpenDialogPlace() { return S().openPlace; }

void SetStateFolder(const std::string& folder) { S().stateFolder = folder; }

const std::vector<std::string>& FileDialogStarts() { return S().dialogStarts; }

void SetProgramPath(const char* path) { S().programPath = path; }

void SetUserFolder(const char* folder) { S().userFolder = folder; }

}  // namespace headless
