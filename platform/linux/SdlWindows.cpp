// Module handle, window classes, display mode, cursor count and windows of
// the desktop backend, on SDL2.
//
// Conventions: a window class is a name bound to a window procedure; windows
// are SDL windows with an OpenGL visual. The display mode accepted by
// ChangeDisplayMode is applied by the next popup window, which is made
// fullscreen in that mode; the switch itself happens when the window is
// shown (SDL changes the mode when a fullscreen window becomes visible).
// While any of our windows exists the screen saver and monitor power saving
// are held off (SDL_DisableScreenSaver, which is also SDL's default while
// its video subsystem runs); they are allowed again when the last window is
// destroyed.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/DesktopState.h"
#include "platform/linux/DisplayModes.h"

namespace desktop {
namespace {

bool gVideoStarted = false;
std::vector<plat::WindowObject*> gWindows;
plat::WindowObject* gFocus = nullptr;
std::map<std::string, plat::WindowClass> gClasses;
bool gHasPendingMode = false;
SDL_DisplayMode gPendingMode{};
int gCursorCount = 0;

// The one module of the program; its address is the handle.
struct plat::ModuleObject* ProgramModule() {
    static char module;
    return reinterpret_cast<plat::ModuleObject*>(&module);
}

// Creates the SDL window for a popup with the standard OpenGL request. On
// X11 the GL visual is fixed when the window is made, so the request is
// made here and ChoosePixelFormat / SetPixelFormat only check the result:
// RGB at least 5-6-5, double buffered, a depth buffer of 32 bits if the
// display has one, else 24, else 16, and a compatibility profile (the
// editor draws in immediate mode; a core profile would lack it).
SDL_Window* CreateGlWindow(const char* title, int x, int y, int width, int height,
                           int* depthBits) {
    static const int kDepths[] = {32, 24, 16};
    for (int depth : kDepths) {
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_Window* window = SDL_CreateWindow(title, x, y, width, height,
                                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN |
                                                  SDL_WINDOW_BORDERLESS);
        if (window != nullptr) {
            *depthBits = depth;
            return window;
        }
    }
    return nullptr;
}

}  // namespace

bool EnsureVideo() {
    if (gVideoStarted) return true;
    // A fullscreen editor must stay fullscreen while one of its file
    // dialogs has the focus, and the program alone decides when it ends.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");  // held off per window, see above
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    gVideoStarted = true;
    std::atexit(SDL_Quit);
    ApplyCursorCount();
    return true;
}

std::vector<plat::WindowObject*>& Windows() { return gWindows; }

bool IsLiveWindow(plat::WindowHandle window) {
    if (window == nullptr) return false;
    for (plat::WindowObject* live : gWindows)
        if (live == window) return true;
    return false;
}

plat::WindowObject* WindowFromSdlId(uint32_t id) {
    for (plat::WindowObject* live : gWindows)
        if (live->sdlId == id) return live;
    return nullptr;
}

plat::WindowObject* InputTargetWindow() {
    if (gFocus != nullptr && IsLiveWindow(gFocus)) return gFocus;
    return gWindows.empty() ? nullptr : gWindows.back();
}

void NoteFocus(plat::WindowObject* window) { gFocus = window; }

bool HasPendingMode() { return gHasPendingMode; }
const SDL_DisplayMode& PendingMode() { return gPendingMode; }

void ApplyCursorCount() {
    if (gVideoStarted) SDL_ShowCursor(gCursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace desktop

namespace plat {

using namespace desktop;

ModuleHandle GetModuleHandle() { return ProgramModule(); }

bool RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || *windowClass.className == '\0' ||
        windowClass.procedure == nullptr)
        return false;
    const std::string name = windowClass.className;
    if (gClasses.count(name) != 0) return false;  // already registered
    WindowClass stored = windowClass;
    stored.className = nullptr;  // the map key owns the name
    gClasses[name] = stored;
    return true;
}

bool UnregisterWindowClass(const char* className, ModuleHandle instance) {
    if (className == nullptr) return false;
    auto found = gClasses.find(className);
    if (found == gClasses.end() || found->second.instance != instance) return false;
    for (WindowObject* live : gWindows)
        if (live->className == className) return false;  // still in use
    gClasses.erase(found);
    return true;
}

bool ChangeDisplayMode(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0 || !EnsureVideo()) return false;
    std::vector<SDL_DisplayMode> sdlModes;
    std::vector<ModeInfo> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        sdlModes.push_back(mode);
        modes.push_back({mode.w, mode.h, int(SDL_BITSPERPIXEL(mode.format))});
    }
    SDL_DisplayMode desktopMode;
    if (SDL_GetDesktopDisplayMode(0, &desktopMode) == 0) {
        sdlModes.push_back(desktopMode);
        modes.push_back({desktopMode.w, desktopMode.h, int(SDL_BITSPERPIXEL(desktopMode.format))});
    }
    const int chosen = ChooseDisplayMode(modes, width, height, bitsPerPixel);
    if (chosen < 0) return false;
    gPendingMode = sdlModes[size_t(chosen)];
    gHasPendingMode = true;
    return true;
}

bool RestoreDisplayMode() {
    bool ok = true;
    for (WindowObject* live : gWindows) {
        if (!live->fullscreen) continue;
        if (SDL_SetWindowFullscreen(live->sdl, 0) != 0) ok = false;
        live->fullscreen = false;
    }
    gHasPendingMode = false;
    return ok;
}

int ShowCursor(bool show) {
    gCursorCount += show ? 1 : -1;
    ApplyCursorCount();
    return gCursorCount;
}

WindowHandle CreatePopupWindow(const char* className, const char* title, int x, int y, int width,
                               int height, ModuleHandle instance) {
    if (className == nullptr || width <= 0 || height <= 0) return nullptr;
    auto found = gClasses.find(className);
    if (found == gClasses.end() || found->second.instance != instance) return nullptr;
    if (!EnsureVideo()) return nullptr;
    int depthBits = 0;
    SDL_Window* sdl = CreateGlWindow(title != nullptr ? title : "", x, y, width, height, &depthBits);
    if (sdl == nullptr) return nullptr;
    auto* window = new WindowObject;
    window->sdl = sdl;
    window->sdlId = SDL_GetWindowID(sdl);
    window->className = className;
    window->procedure = found->second.procedure;
    window->depthBits = depthBits;
    window->doubleBuffer = true;
    if (gHasPendingMode) {
        // The mode takes effect when the window is shown.
        if (SDL_SetWindowDisplayMode(sdl, &gPendingMode) != 0 ||
            SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN) != 0) {
            SDL_DestroyWindow(sdl);
            delete window;
            return nullptr;
        }
        window->fullscreen = true;
    }
    gWindows.push_back(window);
    SDL_DisableScreenSaver();
    return window;
}

bool DestroyWindow(WindowHandle window) {
    if (!IsLiveWindow(window)) return false;
    for (size_t i = 0; i < gWindows.size(); ++i)
        if (gWindows[i] == window) gWindows.erase(gWindows.begin() + long(i));
    if (gFocus == window) gFocus = nullptr;
    SDL_DestroyWindow(window->sdl);
    delete window->device;  // the window's own device context ends with it
    delete window;
    if (gWindows.empty()) SDL_EnableScreenSaver();
    return true;
}

void SetWindowUserData(WindowHandle window, void* data) {
    if (IsLiveWindow(window)) window->userData = data;
}

void* GetWindowUserData(WindowHandle window) {
    return IsLiveWindow(window) ? window->userData : nullptr;
}

void ShowWindow(WindowHandle window) {
    if (IsLiveWindow(window)) SDL_ShowWindow(window->sdl);
}

bool SetForegroundWindow(WindowHandle window) {
    if (!IsLiveWindow(window)) return false;
    SDL_RaiseWindow(window->sdl);
    return true;
}

void SetFocus(WindowHandle window) {
    if (!IsLiveWindow(window)) return;
    SDL_SetWindowInputFocus(window->sdl);
    gFocus = window;
}

WindowHandle GetFocus() { return InputTargetWindow() == gFocus ? gFocus : nullptr; }

}  // namespace plat
