// The fullscreen OpenGL window: display mode, window, device and rendering
// context, the polled input state written by its window procedure, frame
// presentation, the texture library and screen-pixel drawing.
//
// Conventions: one instance per editor run (gWindow), created and used on the
// program's one thread, on which its rendering context is current. Window
// pixels have (0, 0) at the top-left, y downward (mouse); screen-pixel
// drawing has (0, 0) at the lower-left, y upward. The object owns its four
// handles, the window-class registration and the texture registry's heap
// blocks; it does not own the TextureRecords the registry points to.
// The member operations are spread over several files: OpenGLFullscreen.cpp
// (creation, teardown, projection), WindowProc.cpp (messages and input),
// PresentFrame.cpp, FileDialogs.cpp, TextureLibrary.cpp, Draw2D.cpp.
#pragma once

#include <cstdint>

#include "gl/RgbImage.h"
#include "gl/TextureRecord.h"
#include "platform/Platform.h"

// Window row y (counted down from the top, as the mouse is) as a screen-pixel
// row counted up from the bottom: height - 1 - y. In 64 bits, so no window
// size or mouse position can overflow it.
inline int64_t FlipScreenY(int64_t height, int64_t y) { return height - 1 - y; }

class OpenGLFullscreen;
// The editor run's one window (null outside a run), owned by RunEditor.
extern OpenGLFullscreen* gWindow;

class OpenGLFullscreen {
public:
    OpenGLFullscreen(int width, int height);
    ~OpenGLFullscreen();
    OpenGLFullscreen(const OpenGLFullscreen&) = delete;
    OpenGLFullscreen& operator=(const OpenGLFullscreen&) = delete;

    // Result of the creation the constructor ran; the editor ends when false.
    bool IsCreated() const { return created; }

    bool CreateWindowAndContext(int width, int height, int bits);
    void DestroyWindowAndContext();
    void SetProjection(int width, int height);

    // Window procedure (registered with the class "OpenGL") and its member.
    static intptr_t StaticWindowProc(plat::WindowHandle window, uint32_t message,
                                     uintptr_t wParam, intptr_t lParam);
    intptr_t WindowProc(plat::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);

    // Input accessors (no side effects).
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    const bool* GetKeys() const { return keys; }
    int GetMouseX() const { return mouseX; }
    int GetMouseY() const { return mouseY; }
    bool GetLeftButton() const { return leftButton != 0; }
    bool GetRightButton() const { return rightButton != 0; }

    // Swaps the buffers and writes the frame rate at window (100, 100).
    void PresentFrame();

    // Modal file dialogs over the fullscreen window; heap path or null.
    char* OpenFileDialog(const char* title, const char* defaultExtension, const char* filter);
    char* SaveFileDialog(const char* title, const char* defaultExtension, const char* filter);

    // Texture library.
    RgbImage* LoadImageFile(char* fileName);
    void LoadTexture(TextureRecord* record, const char* path, uint32_t minFilter,
                     uint32_t magFilter, uint32_t wrap, const char* name);
    void LoadTextureRegion(TextureRecord* record, const char* path, uint32_t minFilter,
                           uint32_t magFilter, uint32_t wrap, const char* name, int regionX,
                           int regionY, int regionWidth, int regionHeight);
    bool LoadTextureList(TextureRecord* records, int& count, const char* directory,
                         const char* listFile, int maximumCount);
    void UploadTextures();
    TextureRecord* FindTexture(const char* name) const;

    // Screen-pixel drawing, one image pixel to one screen pixel.
    void Begin2D();
    void End2D();
    void DrawTexture(const TextureRecord* record, int x, int y);
    void DrawTextureRegion(const TextureRecord* record, int x, int y, int sx, int sy, int sw,
                           int sh);

    // Fields, public: the window procedure writes the input state, and the
    // other subsystems and the tests read (tests also set) them directly.
    int32_t width;
    int32_t height;
    plat::WindowHandle window;
    plat::DeviceContext deviceContext;
    plat::RenderContext renderingContext;
    plat::ModuleHandle instance;
    bool keys[256];
    int32_t mouseX;
    int32_t mouseY;
    int32_t leftButton;
    int32_t rightButton;
    int32_t maxTileSize;
    int32_t textureCount;
    TextureRecord** textures;
    int32_t tileCount;
    uint32_t* tileNames;

private:
    // Frees the texture registry's heap blocks. Teardown does this right
    // after restoring the display mode, before the rendering context goes.
    void FreeTextureRegistry();

    bool created = false;
    bool classRegistered = false;
    bool displayChanged = false;
};
