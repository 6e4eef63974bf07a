// libFuzzer entry for map files: any bytes, stored as a .map file, go
// through the editor's load step (the open dialog answers with that file).
// Whatever grid results must save without a message, load back to the same
// bytes, and take a few tool strokes; a refused file must leave the grid as
// it was, a cut one may only say so. The same bytes are then read as a
// recovery journal twice: whole (its header taken from the input), and as
// the changes after a sound header whose base is the saved map, which must
// then be found. Sanitizers catch every read or write out of bounds, leak
// and undefined operation on the way.
//
// Conventions: the fuzz build caps the map side at MAP_MAX_CELLS_PER_SIDE
// (see CMakeLists.txt), so every input stays quick. The tool strokes are
// chosen from the input's first bytes. Files live in one scratch folder per
// process, in memory (/dev/shm) where possible.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>


#include "app/Editor.h"
#include "app/MapFile.h"
#include "app/RecoveryJournal.h"
#include "fuzz/ScratchFolder.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainTools.h"

// The editor's globals and the few window and platform calls the load and
// save steps and the tools reach. The window stands in for the real one:
// its dialogs answer with the file of the current input.
OpenGLFullscreen* gWindow = nullptr;
TerrainModel* gTerrain = nullptr;
GameMenue* gMenu = nullptr;
GameCursor* gCursor = nullptr;
int32_t gEditMode = 0;

namespace {
std::string gDialogAnswer;
int gMessages = 0;

char* CopyOf(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}
}  // namespace

OpenGLFullscreen::OpenGLFullscreen(int width_, int height_)
    : width(width_), height(height_), window(nullptr), deviceContext(nullptr),
      renderingContext(nullptr), instance(nullptr), keys(), mouseX(0), mouseY(0), leftButton(0),
      rightButton(0), maxTileSize(256), textureCount(0), textures(nullptr), tileCount(0),
      tileNames(nullptr) {}

char* OpenGLFullscreen::OpenFileDialog(const char*, const char*, const char*) {
    return CopyOf(gDialogAnswer);
}
char* OpenGLFullscreen::SaveFileDialog(const char*, const char*, const char*) {
    return CopyOf(gDialogAnswer);
}
bool OpenGLFullscreen::LoadTextureList(TextureRecord*, int& count, const char*, const char*, int) {
    count = 0;
    return false;
}

namespace plat {
int MessageBox(WindowHandle, const char*, const char*, unsigned) {
    ++gMessages;
    return 1;
}
void FreeString(char* text) { delete[] text; }
// No state folder: a save keeps no replaced map.
const char* StateFolder() { return nullptr; }
}  // namespace plat

// The matrix code reads OpenGL matrices, which the tools never do.
void glGetFloatv(GLenum, GLfloat*) { std::abort(); }

namespace {

std::vector<uint8_t> GridBytes(const TerrainModel& t) {
    std::vector<uint8_t> all;
    for (int x = 0; x <= t.width; ++x) {
        const auto* p = reinterpret_cast<const uint8_t*>(t.columns[x]);
        all.insert(all.end(), p, p + sizeof(TerrainVertex) * size_t(t.height + 1));
    }
    return all;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!gWindow) gWindow = new OpenGLFullscreen(1280, 1024);
    const char* const files[] = {"in.map", "out.map", "journal"};
    const std::string& folder = fuzzscratch::ScratchFolder("mapfuzz", files);
    const std::string in = folder + "in.map";
    const std::string out = folder + "out.map";
    if (!WriteFile(in, data, size)) std::abort();

    TerrainModel terrain(gWindow, 3, 2);
    gTerrain = &terrain;
    const std::vector<uint8_t> before = GridBytes(terrain);

    gDialogAnswer = in;
    gMessages = 0;
    gEditMode = 1;
    const bool loaded = MapLoad().done;
    if (gEditMode != 0 || gMessages > 1) std::abort();
    // A refusal is told and leaves the grid; a load says at most that the
    // file was cut.
    if (!loaded && gMessages == 1 && GridBytes(terrain) != before) std::abort();

    // Whatever grid there is saves silently and loads back byte for byte.
    gDialogAnswer = out;
    gEditMode = 2;
    gMessages = 0;
    MapSave();
    if (gEditMode != 0 || gMessages != 0) std::abort();
    {
        TerrainModel again(nullptr, 1, 1);
        if (!ReadMapFile(out.c_str(), again) || GridBytes(again) != GridBytes(terrain))
            std::abort();
    }

    // The input as a journal, and as the changes to the saved map.
    {
        TerrainModel rebuilt(nullptr, 1, 1);
        bool unsaved = false;
        std::string reason;
        RebuildFromJournal(in, folder, rebuilt, &unsaved, &reason);
        JournalHeader header;
        header.width = terrain.width;
        header.height = terrain.height;
        header.originalPath = out;
        header.originalIsBase = true;
        if (!plat::GetFileIdentity(out, &header.base)) std::abort();
        std::vector<uint8_t> journal = EncodeJournalHeader(header);
        journal.insert(journal.end(), data, data + size);
        if (!WriteFile(folder + "journal", journal.data(), journal.size())) std::abort();
        if (!RebuildFromJournal(folder + "journal", folder, rebuilt, &unsaved, &reason))
            std::abort();
    }

    // A few strokes of the tools, from the input's first bytes: tool and
    // symmetry mode, brush size and cell (cells outside the grid included).
    gWindow->leftButton = 1;
    gWindow->mouseY = 0;
    for (size_t i = 0; i + 3 < size && i < 16; i += 4) {
        SetEditMode(3 + data[i] % 5);
        gSymmetry = data[i] / 5 % 5;
        SetBrushSize(data[i + 1] % 10);
        SelectGround("ews"[data[i + 1] % 3]);
        SetEditMode(3 + data[i] % 5);
        const int x = data[i + 2] % (terrain.width + 3) - 1;
        const int y = data[i + 3] % (terrain.height + 3) - 1;
        ApplyTools(x < 0 || y < 0 ? -1 : (x << 16) | y);
    }
    gWindow->leftButton = 0;
    ApplyTools(-1);
    gSymmetry = 0;
    gTerrain = nullptr;
    return 0;
}
