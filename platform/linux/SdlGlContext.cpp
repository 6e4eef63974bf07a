// Device contexts, pixel format, OpenGL contexts, buffer swap and text
// output of the desktop backend, on SDL2.
//
// Conventions: every window has one device context of its own (made by the
// first GetDC, released with ReleaseDC or with the window). The GL visual of
// an SDL window is fixed when the window is created (SdlWindows.cpp makes
// the standard request there), so the pixel format here is the window's:
// there is one format, number 1. ChoosePixelFormat answers 1 when the
// window's visual satisfies the request (OpenGL, RGBA with at least the
// requested colour bits where the display has them, double buffering as
// asked, a depth buffer of at least 16 bits) and 0 when it is unusable;
// SetPixelFormat accepts only that format, once per device context.
//
// Text output: TextOut queues (text, x, y) on the device context; SwapBuffers
// first draws the queued text into the back buffer (DrawTextOverlay, black on
// white, top-left corner at window pixel (x, y) with y from the top), then
// swaps. A text written right after a swap therefore appears in the next
// presented picture and is gone from the one after that, unless written
// again; the frame-rate display, written after every swap, is thus always
// on screen, one frame late.
#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/Platform.h"
#include "platform/common/TextOverlay.h"
#include "platform/linux/DesktopState.h"

namespace plat {

using namespace desktop;

namespace {

int ColourBitsOf(SDL_Window* window) {
    const Uint32 format = SDL_GetWindowPixelFormat(window);
    if (format == SDL_PIXELFORMAT_UNKNOWN) return 0;
    // SDL reports 24-bit visuals as 32 bits per pixel with 8 unused bits.
    return std::min(int(SDL_BITSPERPIXEL(format)), 24);
}

// Looked up without touching *dc, which may be a released context.
bool IsLiveDevice(DeviceContext dc) {
    if (dc == nullptr) return false;
    for (WindowObject* window : Windows())
        if (window->device == dc) return true;
    return false;
}

}  // namespace

DeviceContext GetDC(WindowHandle window) {
    if (!IsLiveWindow(window)) return nullptr;
    if (window->device == nullptr) {
        window->device = new DeviceObject;
        window->device->window = window;
    }
    return window->device;
}

bool ReleaseDC(WindowHandle window, DeviceContext dc) {
    if (!IsLiveWindow(window) || !IsLiveDevice(dc) || dc->window != window) return false;
    window->device = nullptr;
    delete dc;
    return true;
}

int ChoosePixelFormat(DeviceContext dc, const PixelFormat& request) {
    if (!IsLiveDevice(dc)) return 0;
    WindowObject* window = dc->window;
    if ((SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_OPENGL) == 0) return 0;
    // A 16-bit request is met by any display of 16 bits or more; a deeper
    // request on a 16-bit display gets the closest there is, as on Win32.
    const int colourBits = ColourBitsOf(window->sdl);
    if (colourBits < 15 || colourBits < std::min(request.colourBits, 16)) return 0;
    if (request.doubleBuffer && !window->doubleBuffer) return 0;
    if (request.depthBits > 0 && window->depthBits < 16) return 0;
    return 1;
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormat& request) {
    if (!IsLiveDevice(dc) || format != 1) return false;
    if (dc->pixelFormat != 0) return dc->pixelFormat == format;
    if (ChoosePixelFormat(dc, request) != format) return false;
    dc->pixelFormat = format;
    return true;
}

RenderContext CreateContext(DeviceContext dc) {
    if (!IsLiveDevice(dc) || dc->pixelFormat == 0) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(dc->window->sdl);
    if (context == nullptr) return nullptr;
    // SDL makes a new context current; creating one must not change which
    // context is current, so the previous one is put back.
    SDL_GL_MakeCurrent(previousWindow, previous);
    auto* rc = new RenderObject;
    rc->context = context;
    rc->device = dc;
    return rc;
}

bool MakeCurrent(DeviceContext dc, RenderContext rc) {
    if (dc == nullptr && rc == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (!IsLiveDevice(dc) || rc == nullptr) return false;
    return SDL_GL_MakeCurrent(dc->window->sdl, rc->context) == 0;
}

bool DeleteContext(RenderContext rc) {
    if (rc == nullptr) return false;
    if (SDL_GL_GetCurrentContext() == rc->context) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(rc->context);
    delete rc;
    return true;
}

bool SwapBuffers(DeviceContext dc) {
    if (!IsLiveDevice(dc)) return false;
    SDL_Window* sdl = dc->window->sdl;
    if (!dc->pendingText.empty() && SDL_GL_GetCurrentWindow() == sdl &&
        SDL_GL_GetCurrentContext() != nullptr) {
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(sdl, &width, &height);
        for (const QueuedText& text : dc->pendingText)
            DrawTextOverlay(width, height, text.x, text.y, text.text.data(), int(text.text.size()));
    }
    dc->pendingText.clear();
    SDL_GL_SwapWindow(sdl);
    return true;
}

bool TextOut(DeviceContext dc, int x, int y, const char* text, int length) {
    if (!IsLiveDevice(dc) || text == nullptr || length < 0) return false;
    QueuedText queued;
    queued.x = x;
    queued.y = y;
    queued.text.assign(text, size_t(length));
    dc->pendingText.push_back(queued);
    return true;
}

}  // namespace plat
