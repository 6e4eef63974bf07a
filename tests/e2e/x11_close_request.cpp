// Test helper: asks an X11 window to close the way a window manager does,
// with a WM_DELETE_WINDOW client message (ICCCM). The e2e tests run without
// a window manager, and xdotool can only destroy or kill a window, which is
// not a close request.
//
// Usage: x11-close-request WINDOW-ID (decimal or 0x hex). Exit code 0 when
// the message was sent, 1 when the window does not take part in the
// WM_DELETE_WINDOW protocol, 2 on bad usage or no display.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: x11-close-request WINDOW-ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11-close-request: cannot open display\n");
        return 2;
    }
    const Window window = Window(std::strtoul(argv[1], nullptr, 0));
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    Atom* supported = nullptr;
    int count = 0;
    bool takesPart = false;
    if (XGetWMProtocols(display, window, &supported, &count) != 0) {
        for (int i = 0; i < count; ++i) takesPart = takesPart || supported[i] == deleteWindow;
        XFree(supported);
    }
    if (!takesPart) {
        std::fprintf(stderr, "x11-close-request: window does not accept WM_DELETE_WINDOW\n");
        XCloseDisplay(display);
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
