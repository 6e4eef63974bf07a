// Map files: serialisation of the vertex grid and the load and save steps.
//
// Conventions: a record is encoded field by field with the little-endian
// helpers (floats by their IEEE bit pattern, padding bytes as they are), so
// encoding then decoding gives back the vertex's exact bytes. Files are read
// and written one grid row at a time through a buffer of one row, so memory
// stays bounded by the size of the grid itself.
//
// Failure rules:
// - Save never leaves a half-written map in place of a good one and keeps
//   the file as the user had it (links followed, permission bits and owner
//   kept, read-only files refused, hard links: the chosen name gets the new
//   map, other names keep the old one): see plat::ReplaceFileContent. A save
//   that was asked for and not written says so in one message box, since
//   otherwise the user would leave the editor believing the map is safe; its
//   second line names the file and the system's reason. A cancelled dialog
//   is no failure and stays silent.
// - Load changes nothing when the file does not open (silent, as a cancel),
//   when the path is not a regular file (refused before any read, so a FIFO
//   or device can never block the editor) or when its header is not sane
//   (negative, or beyond kMaxMapCellsPerSide, or refused by Resize); the two
//   refusals are told in a message box whose second line names the file and
//   why (not a regular file; not a map, with the hint that mapconvert
//   import reads pictures; no memory). Once the header is accepted the grid
//   is re-created and filled with what the file holds; a short or unreadable
//   rest leaves initial values. Such a map is still loaded (files rely on
//   it), but the user is told how many records were missing, so that a
//   damaged map is not saved over a good one unknowingly: a warning, as the
//   map did load.
#include "app/MapFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "app/Editor.h"
#include "app/KeptMaps.h"
#include "gl/LittleEndian.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/Platform.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"

namespace {

const char* const kFilter = "Karte (*.map)|*.map";
const char* const kExtension = "map";

const char* const kSaveFailed = "Die Karte konnte nicht gespeichert werden.";
const char* const kLoadRefused = "Die Karte kann nicht geladen werden.";
const char* const kNotRegular =
    "ist keine gew\xC3\xB6hnliche Datei (ein Ordner, eine Pipe oder ein Ger\xC3\xA4t)";
const char* const kNotAMap =
    "ist keine Karte. H\xC3\xB6henbilder (PNG, RAW16) macht \"mapconvert import\" zu Karten.";
const char* const kWriteFailed = "Schreiben fehlgeschlagen";

enum class MapRead { Loaded, NotOpened, Refused };

// The outcome of reading a map file and how much of the grid it held.
struct MapReadResult {
    MapRead outcome = MapRead::NotOpened;
    size_t recordsNeeded = 0;
    size_t recordsRead = 0;  // whole records; a record cut by the end is missing
    std::string reason;      // why a file was refused
};

// The step's memory: the file of the map on screen.
struct MapFileState {
    std::string currentPath;
};
MapFileState sMapFile;

using plat::FilePtr;

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

}  // namespace

void EncodeMapRecord(const TerrainVertex& v, uint8_t* out) {
    out[0] = static_cast<uint8_t>(v.ground);
    std::memcpy(out + 1, v.padding, 3);
    WriteLe32(out + 4, v.tileTexture);
    PutFloats(out + 8, v.tileU, 4);
    PutFloats(out + 24, v.tileV, 4);
    PutFloats(out + 40, &v.height, 1);
    PutFloats(out + 44, v.normal, 3);
    PutFloats(out + 56, v.colour, 3);
}

void DecodeMapRecord(const uint8_t* in, TerrainVertex& v) {
    v.ground = static_cast<char>(in[0]);
    std::memcpy(v.padding, in + 1, 3);
    v.tileTexture = ReadLe32(in + 4);
    GetFloats(in + 8, v.tileU, 4);
    GetFloats(in + 24, v.tileV, 4);
    GetFloats(in + 40, &v.height, 1);
    GetFloats(in + 44, v.normal, 3);
    GetFloats(in + 56, v.colour, 3);
}

namespace {

bool WriteGrid(std::FILE* file, const void* user) {
    const TerrainModel& terrain = *static_cast<const TerrainModel*>(user);
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
            EncodeMapRecord(terrain.columns[x][y], row.get() + size_t(x) * kMapRecordBytes);
        if (std::fwrite(row.get(), 1, rowBytes, file) != rowBytes) return false;
    }
    return true;
}

MapReadResult ReadMap(const char* path, TerrainModel& terrain) {
    MapReadResult result;
    bool notRegular = false;
    FilePtr file(plat::OpenRegularFile(path, "rb", &notRegular));
    if (!file) {
        result.outcome = notRegular ? MapRead::Refused : MapRead::NotOpened;
        result.reason = kNotRegular;
        return result;
    }
    result.outcome = MapRead::Refused;
    result.reason = kNotAMap;

    // Each header value is taken only if all four of its bytes are there.
    uint8_t header[kMapHeaderBytes] = {};
    const size_t got = std::fread(header, 1, sizeof header, file.get());
    const int32_t width = got >= 4 ? ReadLeS32(header) : 0;
    const int32_t height = got >= 8 ? ReadLeS32(header + 4) : 0;
    if (width < 0 || height < 0 || width > kMaxMapCellsPerSide || height > kMaxMapCellsPerSide)
        return result;
    result.reason = std::strerror(ENOMEM);

    // One row buffer, allocated before the grid is touched, so running out
    // of memory here still leaves the old map in place.
    const size_t rowBytes = (size_t(width) + 1) * kMapRecordBytes;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]);
    if (!row) return result;
    if (!terrain.Resize(width, height)) return result;
    result.outcome = MapRead::Loaded;
    result.recordsNeeded = (size_t(width) + 1) * (size_t(height) + 1);

    for (int y = 0; y <= terrain.height; ++y) {
        const size_t have = std::fread(row.get(), 1, rowBytes, file.get());
        // Whole records first, then the one the end of the file cuts: its
        // missing bytes keep the vertex's initial values.
        const size_t whole = have / kMapRecordBytes;
        result.recordsRead += whole;
        for (size_t x = 0; x < whole; ++x)
            DecodeMapRecord(row.get() + x * kMapRecordBytes, terrain.columns[x][y]);
        const size_t rest = have % kMapRecordBytes;
        if (rest > 0) {
            TerrainVertex& v = terrain.columns[whole][y];
            uint8_t record[kMapRecordBytes];
            EncodeMapRecord(v, record);
            std::memcpy(record, row.get() + whole * kMapRecordBytes, rest);
            DecodeMapRecord(record, v);
        }
        if (have < rowBytes) break;  // end of file or read error: the rest stays initial
    }
    return result;
}

// The user's answer to a cut map: how many records the file did not hold.
void TellMissingRecords(const MapReadResult& read) {
    if (read.recordsRead >= read.recordsNeeded) return;
    const std::string text = "Die Karte ist unvollst\xC3\xA4ndig: " +
                             std::to_string(read.recordsNeeded - read.recordsRead) + " von " +
                             std::to_string(read.recordsNeeded) + " Feldern fehlen.";
    plat::MessageBox(nullptr, text.c_str(), "Warnung", plat::MB_ICONEXCLAMATION);
}

// A box whose first line says what failed and whose second names the file
// and why.
void TellFailure(const char* what, const char* path, const std::string& reason) {
    const std::string text = std::string(what) + "\n" + path + ": " + reason;
    plat::MessageBox(nullptr, text.c_str(), "Fehler", plat::MB_ICONEXCLAMATION);
}

}  // namespace

bool WriteMapFile(const char* path, const TerrainModel& terrain, bool syncToDisk) {
    return plat::ReplaceFileContent(path, &WriteGrid, &terrain, syncToDisk);
}

bool ReadMapFile(const char* path, TerrainModel& terrain) {
    return ReadMap(path, terrain).outcome == MapRead::Loaded;
}

MapStep MapSave() {
    MapStep step;
    if (gWindow != nullptr && gTerrain != nullptr) {
        char* path = gWindow->SaveFileDialog("Karte speichern", kExtension, kFilter);
        if (path != nullptr) {
            if (SaveKeepingReplaced(plat::StateFolder(), path, *gTerrain)) {
                step.done = true;
                step.path = path;
                sMapFile.currentPath = path;
                gEditHistory.MarkSaved();
            } else {
                const int error = errno;
                TellFailure(kSaveFailed, path, error != 0 ? std::strerror(error) : kWriteFailed);
            }
            plat::FreeString(path);
        }
    }
    gEditMode = kModeNone;
    return step;
}

MapStep MapLoadPath(const char* path) {
    MapStep step;
    const MapReadResult read = ReadMap(path, *gTerrain);
    if (read.outcome == MapRead::Loaded) {
        // The steps of the old map do not apply to the new one.
        gEditHistory.Clear();
        gEditHistory.MarkSaved();
        step.done = true;
        step.path = path;
        sMapFile.currentPath = path;
        TellMissingRecords(read);
    }
    if (read.outcome == MapRead::Refused) TellFailure(kLoadRefused, path, read.reason);
    return step;
}

MapStep MapLoad() {
    MapStep step;
    if (gWindow != nullptr && gTerrain != nullptr) {
        char* path = gWindow->OpenFileDialog("Karte laden", kExtension, kFilter);
        if (path != nullptr) {
            step = MapLoadPath(path);
            plat::FreeString(path);
        }
    }
    gEditMode = kModeNone;
    return step;
}

const std::string& CurrentMapPath() { return sMapFile.currentPath; }

void StartNewMap() {
    sMapFile.currentPath.clear();
    gEditHistory.Clear();
}
