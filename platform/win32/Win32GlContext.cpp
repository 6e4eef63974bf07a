// Device contexts, pixel format, WGL rendering contexts, buffer swap and
// GDI text output of the native Windows backend.
//
// Conventions: DeviceContext is the window's HDC, RenderContext the HGLRC.
// The pixel format request becomes a PIXELFORMATDESCRIPTOR: drawn to a
// window, OpenGL support, double buffered when asked, RGBA with the
// requested colour and depth bits, main plane; ChoosePixelFormat answers the
// closest format the driver has. TextOut is real GDI drawing with the
// device context's current font (the system font, black on an opaque white
// background unless changed), straight onto the window: written after a
// swap it shows on the presented picture until the next swap covers it.
#include "platform/win32/Win32Api.h"

namespace plat {

using namespace win32;

namespace {

PIXELFORMATDESCRIPTOR DescriptorFor(const PixelFormat& request) {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (request.doubleBuffer) descriptor.dwFlags |= PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = BYTE(request.colourBits);
    descriptor.cDepthBits = BYTE(request.depthBits);
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

}  // namespace

DeviceContext GetDC(WindowHandle window) {
    if (window == nullptr) return nullptr;
    return FromHdc(::GetDC(ToHwnd(window)));
}

bool ReleaseDC(WindowHandle window, DeviceContext dc) {
    if (window == nullptr || dc == nullptr) return false;
    return ::ReleaseDC(ToHwnd(window), ToHdc(dc)) != 0;
}

int ChoosePixelFormat(DeviceContext dc, const PixelFormat& request) {
    if (dc == nullptr) return 0;
    const PIXELFORMATDESCRIPTOR descriptor = DescriptorFor(request);
    return ::ChoosePixelFormat(ToHdc(dc), &descriptor);
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormat& request) {
    if (dc == nullptr || format <= 0) return false;
    const PIXELFORMATDESCRIPTOR descriptor = DescriptorFor(request);
    return ::SetPixelFormat(ToHdc(dc), format, &descriptor) != FALSE;
}

RenderContext CreateContext(DeviceContext dc) {
    if (dc == nullptr) return nullptr;
    return FromHglrc(wglCreateContext(ToHdc(dc)));
}

bool MakeCurrent(DeviceContext dc, RenderContext rc) {
    return wglMakeCurrent(ToHdc(dc), ToHglrc(rc)) != FALSE;
}

bool DeleteContext(RenderContext rc) {
    return rc != nullptr && wglDeleteContext(ToHglrc(rc)) != FALSE;
}

bool SwapBuffers(DeviceContext dc) { return dc != nullptr && ::SwapBuffers(ToHdc(dc)) != FALSE; }

bool TextOut(DeviceContext dc, int x, int y, const char* text, int length) {
    if (dc == nullptr || text == nullptr || length < 0) return false;
    const std::wstring wide = Widen(text, length);
    return TextOutW(ToHdc(dc), x, y, wide.c_str(), int(wide.size())) != FALSE;
}

}  // namespace plat
