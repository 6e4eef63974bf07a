// The window procedure: turns the fullscreen window's messages into the
// polled input state (key levels by virtual-key code, last mouse position,
// two button levels) and ends the editor on Escape or a close request by
// posting the quit message. Messages reach the object only once creation has
// stored its address in the window's user-data slot; before that they go to
// the platform's default handling.
#include "gl/OpenGLFullscreen.h"

intptr_t OpenGLFullscreen::StaticWindowProc(plat::WindowHandle window, uint32_t message,
                                            uintptr_t wParam, intptr_t lParam) {
    auto* self = static_cast<OpenGLFullscreen*>(plat::GetWindowUserData(window));
    if (self) return self->WindowProc(window, message, wParam, lParam);
    return plat::DefWindowProc(window, message, wParam, lParam);
}

intptr_t OpenGLFullscreen::WindowProc(plat::WindowHandle window, uint32_t message,
                                      uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case plat::WM_ACTIVATE:
        return 0;
    case plat::WM_CLOSE:
        plat::ShowCursor(true);
        plat::PostQuitMessage(0);
        return 0;
    case plat::WM_KEYDOWN:
        // Key codes are bytes; anything wider would index past the table.
        if (wParam < 256) keys[wParam] = true;
        if (wParam == plat::VK_ESCAPE) plat::PostQuitMessage(0);
        return 0;
    case plat::WM_KEYUP:
        if (wParam < 256) keys[wParam] = false;
        return 0;
    case plat::WM_SYSCOMMAND:
        if (wParam == plat::SC_SCREENSAVE || wParam == plat::SC_MONITORPOWER) return 0;
        return plat::DefWindowProc(window, message, wParam, lParam);
    case plat::WM_MOUSEMOVE: {
        const uint32_t position = static_cast<uint32_t>(lParam);
        mouseX = static_cast<int32_t>(position & 0xFFFFu);
        mouseY = static_cast<int32_t>((position >> 16) & 0xFFFFu);
        return 0;
    }
    case plat::WM_LBUTTONDOWN:
        leftButton = 1;
        return 0;
    case plat::WM_LBUTTONUP:
        leftButton = 0;
        return 0;
    case plat::WM_RBUTTONDOWN:
        rightButton = 1;
        return 0;
    case plat::WM_RBUTTONUP:
        rightButton = 0;
        return 0;
    default:
        return plat::DefWindowProc(window, message, wParam, lParam);
    }
}
