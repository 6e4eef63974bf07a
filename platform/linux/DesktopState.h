// Private state of the Linux desktop backend (SDL2 windows and input, GTK3
// forms), shared by its source files.
//
// Conventions: one program thread, so plain globals. A WindowObject wraps one
// SDL window; it owns its DeviceObject (the window's own device context, as
// with an own-DC window class) and remembers the window class it was made
// of. Handles given out are the addresses of these objects; a handle is
// valid while it is in the live-window list. SDL's video subsystem is started
// on first need and stays up until the process ends.
#pragma once

#include <SDL.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace desktop {

// Text queued by TextOut, drawn into the back buffer at the next swap.
struct QueuedText {
    int x = 0, y = 0;
    std::string text;
};

}  // namespace desktop

struct plat::DeviceObject {
    plat::WindowObject* window = nullptr;
    int pixelFormat = 0;  // 0 until SetPixelFormat succeeded
    std::vector<desktop::QueuedText> pendingText;
};

struct plat::RenderObject {
    SDL_GLContext context = nullptr;
    plat::DeviceObject* device = nullptr;
};

struct plat::WindowObject {
    SDL_Window* sdl = nullptr;
    uint32_t sdlId = 0;
    std::string className;
    plat::WindowProc procedure = nullptr;
    void* userData = nullptr;
    plat::DeviceObject* device = nullptr;  // created by the first GetDC
    bool fullscreen = false;               // created in the switched display mode
    int depthBits = 0;                     // depth buffer size the GL visual was made with
    bool doubleBuffer = false;
};

namespace desktop {

// Starts SDL's video subsystem once (hints set first). False when no display
// can be opened; the reason is in SDL_GetError().
bool EnsureVideo();

// Live windows, oldest first.
std::vector<plat::WindowObject*>& Windows();
bool IsLiveWindow(plat::WindowHandle window);
plat::WindowObject* WindowFromSdlId(uint32_t id);
// The window input without a window id goes to: the focus window, else the
// newest live window, else null.
plat::WindowObject* InputTargetWindow();
void NoteFocus(plat::WindowObject* window);  // from SDL focus events

// The display mode ChangeDisplayMode accepted, applied when the next popup
// window is created fullscreen; cleared by RestoreDisplayMode.
bool HasPendingMode();
const SDL_DisplayMode& PendingMode();

// Re-applies the cursor display count to SDL (after SDL's video start).
void ApplyCursorCount();

}  // namespace desktop
