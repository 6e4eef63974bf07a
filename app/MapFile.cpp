// Map files: serialisation of the vertex grid and the load and save steps.
//
// Conventions: a record is encoded field by field with the little-endian
// helpers (floats by their IEEE bit pattern, padding bytes as they are), so
// encoding then decoding gives back the vertex's exact bytes. Files are read
// and written one grid row at a time through a buffer of one row, so memory
// stays bounded by the size of the grid itself.
//
// Failure rules (all silent, as the editor shows nothing about map files):
// - Save never leaves a half-written map in place of a good one: it writes a
//   fresh temporary file beside the target ("<path>.tmpN", created only if
//   no such file exists) and renames it over the target once every write,
//   the flush and the close have succeeded. On any failure the temporary
//   file is removed and an existing map at the target stays as it was.
// - Load changes nothing when the file does not open or its header is not
//   sane (negative, or beyond kMaxMapCellsPerSide, or refused by Resize).
//   Once the header is accepted the grid is re-created and filled with what
//   the file holds; a short or unreadable rest leaves initial values.
#include "app/MapFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "app/Editor.h"
#include "gl/LittleEndian.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/Platform.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kFilter = "Karte (*.map)|*.map";
const char* const kExtension = "map";

// Enough tries to get past leftovers of earlier failed saves.
const int kTempNameAttempts = 100;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void PutFloats(uint8_t* out, const float* values, int count) {
    for (int i = 0; i < count; ++i) WriteLe32(out + 4 * i, FloatBits(values[i]));
}

void GetFloats(const uint8_t* in, float* values, int count) {
    for (int i = 0; i < count; ++i) values[i] = BitsFloat(ReadLe32(in + 4 * i));
}

void EncodeVertex(const TerrainVertex& v, uint8_t* out) {
    out[0] = static_cast<uint8_t>(v.ground);
    std::memcpy(out + 1, v.padding, 3);
    WriteLe32(out + 4, v.tileTexture);
    PutFloats(out + 8, v.tileU, 4);
    PutFloats(out + 24, v.tileV, 4);
    PutFloats(out + 40, &v.height, 1);
    PutFloats(out + 44, v.normal, 3);
    PutFloats(out + 56, v.colour, 3);
}

void DecodeVertex(const uint8_t* in, TerrainVertex& v) {
    v.ground = static_cast<char>(in[0]);
    std::memcpy(v.padding, in + 1, 3);
    v.tileTexture = ReadLe32(in + 4);
    GetFloats(in + 8, v.tileU, 4);
    GetFloats(in + 24, v.tileV, 4);
    GetFloats(in + 40, &v.height, 1);
    GetFloats(in + 44, v.normal, 3);
    GetFloats(in + 56, v.colour, 3);
}

// Creates a temporary file next to path that did not exist before, so no
// unrelated file is ever overwritten. Empty name when none could be made.
FilePtr CreateTempBeside(const std::string& path, std::string* tempName) {
    for (int i = 0; i < kTempNameAttempts; ++i) {
        std::string name = path + ".tmp" + std::to_string(i);
        FilePtr file(std::fopen(name.c_str(), "wbx"));
        if (file) {
            *tempName = name;
            return file;
        }
    }
    tempName->clear();
    return nullptr;
}

bool WriteGrid(std::FILE* file, const TerrainModel& terrain) {
    uint8_t header[kMapHeaderBytes];
    WriteLe32(header, static_cast<uint32_t>(terrain.width));
    WriteLe32(header + 4, static_cast<uint32_t>(terrain.height));
    if (std::fwrite(header, 1, sizeof header, file) != sizeof header) return false;
    if (terrain.width < 0 || terrain.height < 0) return true;  // no vertices at all

    const size_t rowBytes = (size_t(terrain.width) + 1) * kMapRecordBytes;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]);
    if (!row) return false;
    for (int y = 0; y <= terrain.height; ++y) {
        for (int x = 0; x <= terrain.width; ++x)
            EncodeVertex(terrain.columns[x][y], row.get() + size_t(x) * kMapRecordBytes);
        if (std::fwrite(row.get(), 1, rowBytes, file) != rowBytes) return false;
    }
    return true;
}

}  // namespace

bool WriteMapFile(const char* path, const TerrainModel& terrain) {
    if (path == nullptr || path[0] == '\0') return false;
    const std::string target(path);
    std::string tempName;
    FilePtr file = CreateTempBeside(target, &tempName);
    if (!file) return false;

    bool ok = WriteGrid(file.get(), terrain);
    ok = (std::fflush(file.get()) == 0) && ok;
    ok = (std::fclose(file.release()) == 0) && ok;

    std::error_code error;
    if (ok) {
        // Replaces an existing map in one step, on every platform.
        std::filesystem::rename(tempName, target, error);
        ok = !error;
    }
    if (!ok) std::filesystem::remove(tempName, error);
    return ok;
}

bool ReadMapFile(const char* path, TerrainModel& terrain) {
    if (path == nullptr) return false;
    FilePtr file(std::fopen(path, "rb"));
    if (!file) return false;

    // Each header value is taken only if all four of its bytes are there.
    uint8_t header[kMapHeaderBytes] = {};
    const size_t got = std::fread(header, 1, sizeof header, file.get());
    const int32_t width = got >= 4 ? ReadLeS32(header) : 0;
    const int32_t height = got >= 8 ? ReadLeS32(header + 4) : 0;
    if (width < 0 || height < 0 || width > kMaxMapCellsPerSide || height > kMaxMapCellsPerSide)
        return false;

    // One row buffer, allocated before the grid is touched, so running out
    // of memory here still leaves the old map in place.
    const size_t rowBytes = (size_t(width) + 1) * kMapRecordBytes;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]);
    if (!row) return false;
    if (!terrain.Resize(width, height)) return false;

    for (int y = 0; y <= terrain.height; ++y) {
        const size_t have = std::fread(row.get(), 1, rowBytes, file.get());
        // Whole records first, then the one the end of the file cuts: its
        // missing bytes keep the vertex's initial values.
        const size_t whole = have / kMapRecordBytes;
        for (size_t x = 0; x < whole; ++x)
            DecodeVertex(row.get() + x * kMapRecordBytes, terrain.columns[x][y]);
        const size_t rest = have % kMapRecordBytes;
        if (rest > 0) {
            TerrainVertex& v = terrain.columns[whole][y];
            uint8_t record[kMapRecordBytes];
            EncodeVertex(v, record);
            std::memcpy(record, row.get() + whole * kMapRecordBytes, rest);
            DecodeVertex(record, v);
        }
        if (have < rowBytes) break;  // end of file or read error: the rest stays initial
    }
    return true;
}

void MapSave() {
    if (gWindow != nullptr && gTerrain != nullptr) {
        char* path = gWindow->SaveFileDialog("Karte speichern", kExtension, kFilter);
        if (path != nullptr) {
            WriteMapFile(path, *gTerrain);
            plat::FreeString(path);
        }
    }
    gEditMode = kModeNone;
}

void MapLoad() {
    if (gWindow != nullptr && gTerrain != nullptr) {
        char* path = gWindow->OpenFileDialog("Karte laden", kExtension, kFilter);
        if (path != nullptr) {
            ReadMapFile(path, *gTerrain);
            plat::FreeString(path);
        }
    }
    gEditMode = kModeNone;
}
