// Golden frames: the OpenGL calls of whole editor frames compared with
// tests/golden/frames.txt.gz.
//
// The program is linked with --wrap for every OpenGL and GLU entry point the
// frame uses (tests/CMakeLists.txt), so each call of the editor's code reaches
// a __wrap_ function below, which records it while a frame is being recorded
// and then forwards it to the real one. Recorded form, one line per call
// outside glBegin/glEnd and one line per primitive with the attribute and
// vertex calls inside it in call order; floats with 5 significant digits,
// bound textures by their record names. The frames are deterministic: a
// fixed seed for the tile choice, the animation phases reset, no input.
// The last frame has the raise tool and brush 8 selected and the status
// display drawn, so it also holds the brush footprint and the display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/EditorOverlay.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "platform/HeadlessControl.h"
#include "terrain/FrameUpdate.h"
#include "terrain/SceneRender.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"
#include "terrain/TriangleSelection.h"
#include "tests/support/Golden.h"

namespace {

bool sRecording = false;
bool sInPrimitive = false;
std::string sLine;
std::vector<std::string> sLines;
std::map<GLuint, std::string> sTextureNames;

std::string Num(double value) {
    // Rounding noise around zero must not show as "-0" or "1e-09".
    if (std::fabs(value) < 1e-6) value = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.5g", value);
    return text;
}

std::string Nums(std::initializer_list<double> values) {
    std::string out;
    for (double v : values) out += (out.empty() ? "" : ",") + Num(v);
    return out;
}

std::string EnumName(GLenum value) {
    switch (value) {
    case GL_TRIANGLES: return "TRIANGLES";
    case GL_TRIANGLE_STRIP: return "TRIANGLE_STRIP";
    case GL_QUADS: return "QUADS";
    case GL_LINE_LOOP: return "LINE_LOOP";
    case GL_LIGHTING: return "LIGHTING";
    case GL_BLEND: return "BLEND";
    case GL_ALPHA_TEST: return "ALPHA_TEST";
    case GL_DEPTH_TEST: return "DEPTH_TEST";
    case GL_CULL_FACE: return "CULL_FACE";
    case GL_SCISSOR_TEST: return "SCISSOR_TEST";
    case GL_POLYGON_OFFSET_FILL: return "POLYGON_OFFSET_FILL";
    case GL_TEXTURE_2D: return "TEXTURE_2D";
    case GL_SRC_ALPHA: return "SRC_ALPHA";
    case GL_ONE_MINUS_SRC_ALPHA: return "ONE_MINUS_SRC_ALPHA";
    case GL_GREATER: return "GREATER";
    case GL_PROJECTION: return "PROJECTION";
    case GL_MODELVIEW: return "MODELVIEW";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", value);
        return text;
    }
    }
}

// A call outside a primitive is a line of its own; inside one it joins the
// primitive's line.
void Call(const std::string& text) {
    if (!sRecording) return;
    if (sInPrimitive) {
        sLine += " " + text;
    } else {
        sLines.push_back(text);
    }
}

std::string TextureName(GLuint name) {
    auto it = sTextureNames.find(name);
    return it != sTextureNames.end() ? it->second : "#" + std::to_string(name);
}

}  // namespace

extern "C" {
void __real_glBegin(GLenum);
void __real_glEnd();
void __real_glVertex3f(GLfloat, GLfloat, GLfloat);
void __real_glVertex2i(GLint, GLint);
void __real_glVertex2f(GLfloat, GLfloat);
void __real_glLineWidth(GLfloat);
void __real_glPolygonOffset(GLfloat, GLfloat);
void __real_glTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum,
                            const void*);
void __real_glTexCoord2f(GLfloat, GLfloat);
void __real_glNormal3fv(const GLfloat*);
void __real_glColor3f(GLfloat, GLfloat, GLfloat);
void __real_glColor3fv(const GLfloat*);
void __real_glColor4f(GLfloat, GLfloat, GLfloat, GLfloat);
void __real_glBindTexture(GLenum, GLuint);
void __real_glEnable(GLenum);
void __real_glDisable(GLenum);
void __real_glBlendFunc(GLenum, GLenum);
void __real_glAlphaFunc(GLenum, GLclampf);
void __real_glMatrixMode(GLenum);
void __real_glLoadIdentity();
void __real_glPushMatrix();
void __real_glPopMatrix();
void __real_glTranslatef(GLfloat, GLfloat, GLfloat);
void __real_glRotatef(GLfloat, GLfloat, GLfloat, GLfloat);
void __real_glScalef(GLfloat, GLfloat, GLfloat);
void __real_glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
void __real_glScissor(GLint, GLint, GLsizei, GLsizei);
void __real_glClear(GLbitfield);
void __real_gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble);
void __real_gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                      GLdouble, GLdouble);

void __wrap_glBegin(GLenum mode) {
    if (sRecording) {
        sInPrimitive = true;
        sLine = EnumName(mode);
    }
    __real_glBegin(mode);
}
void __wrap_glEnd() {
    if (sRecording && sInPrimitive) sLines.push_back(sLine);
    sInPrimitive = false;
    __real_glEnd();
}
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Call("v" + Nums({x, y, z}));
    __real_glVertex3f(x, y, z);
}
void __wrap_glVertex2i(GLint x, GLint y) {
    Call("v" + Nums({double(x), double(y)}));
    __real_glVertex2i(x, y);
}
void __wrap_glVertex2f(GLfloat x, GLfloat y) {
    Call("v" + Nums({x, y}));
    __real_glVertex2f(x, y);
}
void __wrap_glLineWidth(GLfloat width) {
    Call("linewidth " + Num(width));
    __real_glLineWidth(width);
}
void __wrap_glPolygonOffset(GLfloat factor, GLfloat units) {
    Call("polygonoffset " + Nums({factor, units}));
    __real_glPolygonOffset(factor, units);
}
void __wrap_glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h,
                            GLenum format, GLenum type, const void* pixels) {
    Call("subimage " + Nums({double(x), double(y), double(w), double(h)}));
    __real_glTexSubImage2D(target, level, x, y, w, h, format, type, pixels);
}
void __wrap_glTexCoord2f(GLfloat u, GLfloat v) {
    Call("t" + Nums({u, v}));
    __real_glTexCoord2f(u, v);
}
void __wrap_glNormal3fv(const GLfloat* n) {
    Call("n" + Nums({n[0], n[1], n[2]}));
    __real_glNormal3fv(n);
}
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    Call("c" + Nums({r, g, b}));
    __real_glColor3f(r, g, b);
}
void __wrap_glColor3fv(const GLfloat* c) {
    Call("c" + Nums({c[0], c[1], c[2]}));
    __real_glColor3fv(c);
}
void __wrap_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Call("c" + Nums({r, g, b, a}));
    __real_glColor4f(r, g, b, a);
}
void __wrap_glBindTexture(GLenum target, GLuint name) {
    Call("bind " + EnumName(target) + " " + TextureName(name));
    __real_glBindTexture(target, name);
}
void __wrap_glEnable(GLenum cap) {
    Call("enable " + EnumName(cap));
    __real_glEnable(cap);
}
void __wrap_glDisable(GLenum cap) {
    Call("disable " + EnumName(cap));
    __real_glDisable(cap);
}
void __wrap_glBlendFunc(GLenum s, GLenum d) {
    Call("blend " + EnumName(s) + " " + EnumName(d));
    __real_glBlendFunc(s, d);
}
void __wrap_glAlphaFunc(GLenum f, GLclampf ref) {
    Call("alpha " + EnumName(f) + " " + Num(ref));
    __real_glAlphaFunc(f, ref);
}
void __wrap_glMatrixMode(GLenum mode) {
    Call("matrix " + EnumName(mode));
    __real_glMatrixMode(mode);
}
void __wrap_glLoadIdentity() {
    Call("identity");
    __real_glLoadIdentity();
}
void __wrap_glPushMatrix() {
    Call("push");
    __real_glPushMatrix();
}
void __wrap_glPopMatrix() {
    Call("pop");
    __real_glPopMatrix();
}
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Call("translate " + Nums({x, y, z}));
    __real_glTranslatef(x, y, z);
}
void __wrap_glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    Call("rotate " + Nums({a, x, y, z}));
    __real_glRotatef(a, x, y, z);
}
void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
    Call("scale " + Nums({x, y, z}));
    __real_glScalef(x, y, z);
}
void __wrap_glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Call("ortho " + Nums({l, r, b, t, n, f}));
    __real_glOrtho(l, r, b, t, n, f);
}
void __wrap_glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    Call("scissor " + Nums({double(x), double(y), double(w), double(h)}));
    __real_glScissor(x, y, w, h);
}
void __wrap_glClear(GLbitfield mask) {
    Call("clear " + EnumName(mask));
    __real_glClear(mask);
}
void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Call("perspective " + Nums({fovy, aspect, zNear, zFar}));
    __real_gluPerspective(fovy, aspect, zNear, zFar);
}
void __wrap_gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy,
                      GLdouble cz, GLdouble ux, GLdouble uy, GLdouble uz) {
    Call("lookat " + Nums({ex, ey, ez, cx, cy, cz, ux, uy, uz}));
    __real_gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
}  // extern "C"

namespace {

constexpr int kMapCells = 24;
// Grid steps of 0.3: the middle of the map is about 3.6 units in, and the
// view looks at ground 3.5 to 10 units ahead of the offset.
constexpr float kCentreX = 3.6f;
constexpr float kCentreY = -3.0f;

struct View {
    const char* name;
    float offsetX, offsetY, height, heading;
    bool lighting;
};

const View kViews[] = {
    {"start", 0.0f, 0.0f, 6.0f, 0.0f, false},
    {"centre", kCentreX, kCentreY, 6.0f, 0.0f, false},
    {"centre_lit", kCentreX, kCentreY, 6.0f, 0.0f, true},
    {"low_tilted", kCentreX, kCentreY, 2.5f, 30.0f, false},
};

void NameTextures() {
    sTextureNames.clear();
    for (int i = 0; i < gWindow->textureCount; ++i) {
        const TextureRecord* record = gWindow->textures[i];
        if (record == nullptr || record->name == nullptr) continue;
        if (record->glName != 0) sTextureNames[record->glName] = record->name;
        const int tiles = record->tileColumns * record->tileRows;
        for (int k = 0; k < tiles && record->tiles != nullptr; ++k)
            sTextureNames[record->tiles[k].glName] =
                std::string(record->name) + "[" + std::to_string(k) + "]";
    }
}

std::string RecordFrame(const View& view) {
    ViewOffsetX = view.offsetX;
    ViewOffsetY = view.offsetY;
    CameraHeight = view.height;
    CameraHeading = view.heading;
    LightingEnabled = view.lighting;
    sLines.clear();
    sRecording = true;
    FrameUpdate();
    sRecording = false;
    std::string out = std::string("frame ") + view.name + "\n";
    for (const std::string& line : sLines) out += line + "\n";
    return out;
}

std::string RecordFrames() {
    WavePhase = WaterScroll = SwayPhase = 0.0f;
    std::string out;
    for (const View& view : kViews) out += RecordFrame(view);

    EditorOverlay overlay;
    StartEditorOverlay(overlay, nullptr);
    sTextureNames[overlay.display.font.texture] = "panel_font";
    sTextureNames[overlay.display.minimap.texture] = "minimap";
    gEditMode = kModeRaise;
    gBrushSize = 8;
    out += RecordFrame({"raise_display", kCentreX, 0.0f, 6.0f, 0.0f, false});
    StopEditorOverlay(overlay);
    gEditMode = kModeNone;
    gBrushSize = 2;
    return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The first differing line with the frame it belongs to, a little context
// before it and the next lines of both sides.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> e = SplitLines(expected), a = SplitLines(actual);
    size_t i = 0;
    std::string frame = "?";
    while (i < e.size() && i < a.size() && e[i] == a[i]) {
        if (e[i].rfind("frame ", 0) == 0) frame = e[i].substr(6);
        ++i;
    }
    std::ostringstream out;
    out << "first difference at line " << i + 1 << " (frame " << frame << "; golden has "
        << e.size() << " lines, this run " << a.size() << ")\n";
    // Within a long primitive line, the first call that differs.
    if (i < e.size() && i < a.size()) {
        std::istringstream es(e[i]), as(a[i]);
        std::string et, at;
        int call = 0;
        while (es >> et && as >> at && et == at) ++call;
        out << "first differing call in that line: #" << call << " golden '" << et
            << "', this run '" << at << "'\n";
    }
    for (size_t k = i >= 2 ? i - 2 : 0; k < i; ++k) out << "  " << e[k].substr(0, 300) << "\n";
    for (size_t k = i; k < i + 4 && k < e.size(); ++k) out << "- " << e[k].substr(0, 300) << "\n";
    for (size_t k = i; k < i + 4 && k < a.size(); ++k) out << "+ " << a[k].substr(0, 300) << "\n";
    return out.str();
}

TEST(GoldenFrameTest, FramesMatchTheGoldenCalls) {
    headless::Reset();
    gWindow = new OpenGLFullscreen(1280, 1024);
    ASSERT_TRUE(gWindow->IsCreated());
    gTerrain = new TerrainModel(gWindow, kMapCells, kMapCells);
    ASSERT_TRUE(LoadTextureCatalogue()) << "run from the build folder, next to textures/";
    ASSERT_GT(gTerrain->groundTextureCount, 0);
    golden::MakeHillMap(kMapCells);
    std::srand(golden::kSeed);
    ASSERT_TRUE(InitGLState());  // shades the whole map
    ASSERT_TRUE(BuildMenu());
    gCursor = new GameCursor(gWindow->FindTexture("game_cursor"), gWindow);
    SetSelectionWindow(gWindow);
    SetupSelection();
    NameTextures();
    // The pointer rests over the terrain, so each frame has a picked cell.
    gWindow->mouseX = 700;
    gWindow->mouseY = 520;

    const std::string actual = RecordFrames();

    TeardownSelection();
    delete gCursor;
    gCursor = nullptr;
    delete gMenu;
    gMenu = nullptr;
    delete gTerrain;
    gTerrain = nullptr;
    delete gWindow;
    gWindow = nullptr;

    const std::string failure =
        golden::Check("frames.txt.gz", actual, "frames differ", FirstDifference);
    if (!failure.empty()) ADD_FAILURE() << failure;
}

}  // namespace
