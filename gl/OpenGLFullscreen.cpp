// Creation and teardown of the fullscreen window and its rendering context.
//
// Creation runs a fixed sequence of platform steps; the first failure shows
// one message box ("Fehler", exclamation icon) and leaves nothing behind
// except, when the display switch itself failed, the registered class: that
// failure returns at once, and the class is unregistered only when the
// object is destroyed. Teardown undoes every step that left a handle set,
// reports each failed release with an information box and goes on with the
// next one, so the display mode and the pointer always come back.
#include "gl/OpenGLFullscreen.h"

#include <cstring>

#include "gl/GL.h"

namespace {

const char* const kClassName = "OpenGL";

void ShowError(const char* text) {
    plat::MessageBox(nullptr, text, "Fehler", plat::MB_OK | plat::MB_ICONEXCLAMATION);
}

void ShowReleaseError(const char* text) {
    plat::MessageBox(nullptr, text, "Fehler", plat::MB_OK | plat::MB_ICONINFORMATION);
}

}  // namespace

OpenGLFullscreen::OpenGLFullscreen(int width_, int height_)
    : width(width_),
      height(height_),
      window(nullptr),
      deviceContext(nullptr),
      renderingContext(nullptr),
      instance(nullptr),
      keys{},
      mouseX(0),
      mouseY(0),
      leftButton(0),
      rightButton(0),
      maxTileSize(256),
      textureCount(0),
      textures(nullptr),
      tileCount(0),
      tileNames(nullptr) {
    created = CreateWindowAndContext(width, height, 16);
}

OpenGLFullscreen::~OpenGLFullscreen() { DestroyWindowAndContext(); }

bool OpenGLFullscreen::CreateWindowAndContext(int width_, int height_, int bits) {
    instance = plat::GetModuleHandle();

    plat::WindowClass windowClass;
    windowClass.style = plat::CS_HREDRAW | plat::CS_VREDRAW | plat::CS_OWNDC;
    windowClass.procedure = &OpenGLFullscreen::StaticWindowProc;
    windowClass.instance = instance;
    windowClass.className = kClassName;
    if (!plat::RegisterWindowClass(windowClass)) {
        ShowError("Fenster Klasse konnte nicht angemeldet werden.");
        return false;
    }
    classRegistered = true;

    if (!plat::ChangeDisplayMode(width_, height_, bits)) {
        ShowError("FullScreen-Mode nicht verfügbar.");
        return false;
    }
    displayChanged = true;

    plat::ShowCursor(false);

    window = plat::CreatePopupWindow(kClassName, "OpenGLFullScreen", 0, 0, width_, height_,
                                     instance);
    if (!window) {
        DestroyWindowAndContext();
        ShowError("OpenGL-Fenster konnte nicht erstellt werden.");
        return false;
    }

    plat::SetWindowUserData(window, this);

    deviceContext = plat::GetDC(window);
    if (!deviceContext) {
        DestroyWindowAndContext();
        ShowError("Device Context konnte nicht erstellt werden.");
        return false;
    }

    plat::PixelFormat request;
    request.colourBits = bits;
    request.depthBits = 32;
    request.doubleBuffer = true;
    const int format = plat::ChoosePixelFormat(deviceContext, request);
    if (format == 0 || !plat::SetPixelFormat(deviceContext, format, request)) {
        DestroyWindowAndContext();
        ShowError("PixelFormat kann nicht gesetzt werden.");
        return false;
    }

    renderingContext = plat::CreateContext(deviceContext);
    if (!renderingContext || !plat::MakeCurrent(deviceContext, renderingContext)) {
        DestroyWindowAndContext();
        ShowError("Rendering Context konnte nicht erstellt werden.");
        return false;
    }

    plat::ShowWindow(window);
    plat::SetForegroundWindow(window);
    plat::SetFocus(window);

    SetProjection(width_, height_);
    return true;
}

void OpenGLFullscreen::DestroyWindowAndContext() {
    // Only what creation did is undone: the display and the pointer come back
    // once per switch, and the class is unregistered once per registration,
    // so a teardown after a failed creation (or a second teardown) neither
    // unbalances the cursor display count nor reports a release that has
    // nothing to release.
    if (displayChanged) {
        plat::RestoreDisplayMode();
        plat::ShowCursor(true);
        displayChanged = false;
    }

    FreeTextureRegistry();

    if (renderingContext) {
        if (!plat::MakeCurrent(nullptr, nullptr) || !plat::DeleteContext(renderingContext)) {
            ShowReleaseError("Rendering Context konnte nicht freigegeben werden.");
        }
        renderingContext = nullptr;
    }

    if (deviceContext) {
        if (!plat::ReleaseDC(window, deviceContext)) {
            ShowReleaseError("Device Context konnte nicht freigegeben werden.");
        }
        deviceContext = nullptr;
    }

    if (window) {
        if (!plat::DestroyWindow(window)) {
            ShowReleaseError("Fenster Hanlde konnte nicht freigegeben werden.");
        }
        window = nullptr;
    }

    if (classRegistered) {
        if (!plat::UnregisterWindowClass(kClassName, instance)) {
            ShowReleaseError("Fenster Klasse konnte nicht freigegeben werden.");
        }
        classRegistered = false;
    }
    instance = nullptr;
}

void OpenGLFullscreen::SetProjection(int width_, int height_) {
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The aspect ratio is formed in double from the two integers; a zero
    // height (never produced by the start dialog) would divide by zero.
    const double aspect = height_ != 0 ? static_cast<double>(width_) / height_ : 1.0;
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 30.0);
}
