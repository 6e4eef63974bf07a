// Encoding and reading of the recovery journal. The journal is read as a
// stream, one field or change at a time: every count is checked against the
// bytes the file still holds and against the grid before anything is
// allocated for it, so a damaged journal costs no more than its own size.
#include "app/RecoveryJournal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/MapFile.h"
#include "gl/LittleEndian.h"
#include "platform/PlatformFiles.h"
#include "terrain/EditHistory.h"
#include "terrain/TerrainModel.h"

namespace {

const uint8_t kHeaderMagic[4] = {'T', 'E', 'J', '2'};
const uint8_t kChangeMagic[4] = {'T', 'E', 'C', '1'};
const uint8_t kStateMagic[4] = {'T', 'E', 'S', '1'};
// Bytes of one change entry: the vertex index and its record.
const size_t kEntryBytes = 4 + kMapRecordBytes;
// Longest base path a header may name.
const uint32_t kMaxPathBytes = 1 << 16;

const uint64_t kFnvOffset = 14695981039346656037ull;
const uint64_t kFnvPrime = 1099511628211ull;
// Independent sums a file's bytes are spread over, so that summing a large
// base runs at the speed of reading it.
const size_t kSumLanes = 8;

uint64_t Fnv(const uint8_t* bytes, size_t count, uint64_t hash = kFnvOffset) {
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

void Put32(std::vector<uint8_t>* out, uint32_t value) { AppendLe32(*out, value); }

void Put64(std::vector<uint8_t>* out, uint64_t value) { AppendLe64(*out, value); }

void PutText(std::vector<uint8_t>* out, const std::string& text) {
    Put32(out, uint32_t(text.size()));
    out->insert(out->end(), text.begin(), text.end());
}

uint64_t Read64(const uint8_t* p) { return uint64_t(ReadLe32(p)) | (uint64_t(ReadLe32(p + 4)) << 32); }

// A journal being read: the stream, the bytes left in it, and the running
// checksum of what was read since the last reset.
struct Reader {
    plat::FilePtr file;
    uint64_t left = 0;
    uint64_t hash = kFnvOffset;

    bool Bytes(void* out, size_t count) {
        if (count > left || std::fread(out, 1, count, file.get()) != count) return false;
        left -= count;
        hash = Fnv(static_cast<uint8_t*>(out), count, hash);
        return true;
    }
    bool U32(uint32_t* value) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        *value = ReadLe32(b);
        return true;
    }
    bool U64(uint64_t* value) {
        uint8_t b[8];
        if (!Bytes(b, 8)) return false;
        *value = Read64(b);
        return true;
    }
    bool Text(std::string* text) {
        uint32_t length;
        if (!U32(&length) || length > kMaxPathBytes || length > left) return false;
        text->assign(length, '\0');
        return length == 0 || Bytes(&(*text)[0], length);
    }
    // The stored checksum of what was read since the last reset.
    bool Checked() {
        const uint64_t expected = hash;
        uint64_t stored;
        if (!U64(&stored)) return false;
        hash = kFnvOffset;
        return stored == expected;
    }
};

bool ReadHeader(Reader& in, JournalHeader* header) {
    uint8_t magic[4];
    uint32_t width, height, unsaved, isBase;
    uint64_t modified;
    if (!in.Bytes(magic, 4) || std::memcmp(magic, kHeaderMagic, 4) != 0) return false;
    if (!in.U32(&width) || !in.U32(&height) || !in.U32(&unsaved)) return false;
    header->width = int32_t(width);
    header->height = int32_t(height);
    header->unsaved = unsaved != 0;
    if (!in.Text(&header->snapshotName) || !in.U64(&header->snapshotSize) ||
        !in.U64(&header->snapshotSum))
        return false;
    if (!in.Text(&header->originalPath) || !in.U32(&isBase)) return false;
    header->originalIsBase = isBase != 0;
    if (!in.U64(&header->base.size) || !in.U64(&modified) || !in.U64(&header->base.file) ||
        !in.U64(&header->base.volume))
        return false;
    header->base.modified = int64_t(modified);
    return in.Checked() && header->width >= 0 && header->height >= 0 &&
           header->width <= kMaxMapCellsPerSide && header->height <= kMaxMapCellsPerSide;
}

bool ReadBase(const std::string& path, const JournalHeader& header, TerrainModel& terrain) {
    return ReadMapFile(path.c_str(), terrain) && terrain.width == header.width &&
           terrain.height == header.height;
}

// Reads the snapshot when its content is the recorded one, else the map
// file when it is a base with the recorded identity.
bool LoadBase(const JournalHeader& header, const std::string& sessionFolder,
              TerrainModel& terrain) {
    uint64_t size, sum;
    const std::string snapshot = sessionFolder + header.snapshotName;
    if (!header.snapshotName.empty() &&
        header.snapshotSize <= MapFileBytes(header.width, header.height) &&
        FileChecksum(snapshot, header.snapshotSize, &size, &sum) && size == header.snapshotSize &&
        sum == header.snapshotSum && ReadBase(snapshot, header, terrain))
        return true;
    plat::FileIdentity identity;
    return header.originalIsBase && !header.originalPath.empty() &&
           plat::GetFileIdentity(header.originalPath, &identity) &&
           plat::SameIdentity(identity, header.base) &&
           ReadBase(header.originalPath, header, terrain);
}

// Applies the next whole change or takes the next state; false at the end
// of the journal, at a cut or damaged record, or at an index outside the
// grid.
bool ApplyRecord(Reader& in, TerrainModel& terrain, bool* unsaved, std::vector<uint8_t>* buffer) {
    uint8_t magic[4];
    uint32_t count;
    if (!in.Bytes(magic, 4) || !in.U32(&count)) return false;
    if (std::memcmp(magic, kStateMagic, 4) == 0) {
        if (!in.Checked()) return false;
        *unsaved = count != 0;
        return true;
    }
    if (std::memcmp(magic, kChangeMagic, 4) != 0) return false;
    const uint64_t vertices = (uint64_t(terrain.width) + 1) * (uint64_t(terrain.height) + 1);
    if (count > vertices || uint64_t(count) * kEntryBytes > in.left) return false;
    buffer->resize(size_t(count) * kEntryBytes);
    if (!in.Bytes(buffer->data(), buffer->size()) || !in.Checked()) return false;
    // The whole change is checked before any of it is applied.
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* entry = buffer->data() + k * kEntryBytes;
        TerrainVertex vertex;
        DecodeMapRecord(entry + 4, vertex);
        if (ReadLe32(entry) >= vertices || !std::isfinite(vertex.height)) return false;
    }
    const size_t rows = size_t(terrain.height) + 1;
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* entry = buffer->data() + k * kEntryBytes;
        const uint32_t index = ReadLe32(entry);
        DecodeMapRecord(entry + 4, terrain.columns[index / rows][index % rows]);
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header) {
    std::vector<uint8_t> out(kHeaderMagic, kHeaderMagic + 4);
    Put32(&out, uint32_t(header.width));
    Put32(&out, uint32_t(header.height));
    Put32(&out, header.unsaved ? 1 : 0);
    PutText(&out, header.snapshotName);
    Put64(&out, header.snapshotSize);
    Put64(&out, header.snapshotSum);
    PutText(&out, header.originalPath);
    Put32(&out, header.originalIsBase ? 1 : 0);
    Put64(&out, header.base.size);
    Put64(&out, uint64_t(header.base.modified));
    Put64(&out, header.base.file);
    Put64(&out, header.base.volume);
    Put64(&out, Fnv(out.data(), out.size()));
    return out;
}

void AppendJournalChange(const GridChange& change, std::vector<uint8_t>* out) {
    const size_t start = out->size();
    out->insert(out->end(), kChangeMagic, kChangeMagic + 4);
    Put32(out, uint32_t(change.count));
    out->resize(start + 8 + change.count * kEntryBytes);
    uint8_t* entry = out->data() + start + 8;
    for (size_t k = 0; k < change.count; ++k, entry += kEntryBytes) {
        WriteLe32(entry, change.index[k]);
        EncodeMapRecord(change.records[k], entry + 4);
    }
    Put64(out, Fnv(out->data() + start, out->size() - start));
}

void AppendJournalState(bool unsaved, std::vector<uint8_t>* out) {
    const size_t start = out->size();
    out->insert(out->end(), kStateMagic, kStateMagic + 4);
    Put32(out, unsaved ? 1 : 0);
    Put64(out, Fnv(out->data() + start, out->size() - start));
}

bool FileChecksum(const std::string& path, uint64_t limit, uint64_t* size, uint64_t* sum) {
    plat::FilePtr file(plat::OpenRegularFile(path.c_str(), "rb", nullptr));
    if (!file) return false;
    // A chunk is a whole number of lanes, so byte i of the file always
    // reaches lane i % kSumLanes.
    std::vector<uint8_t> chunk(size_t(1) << 16);
    uint64_t lanes[kSumLanes];
    std::fill(lanes, lanes + kSumLanes, kFnvOffset);
    *size = 0;
    for (;;) {
        const size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        *size += got;
        if (*size > limit) return false;
        size_t i = 0;
        for (; i + kSumLanes <= got; i += kSumLanes)
            for (size_t k = 0; k < kSumLanes; ++k)
                lanes[k] = (lanes[k] ^ chunk[i + k]) * kFnvPrime;
        for (; i < got; ++i) lanes[i % kSumLanes] = (lanes[i % kSumLanes] ^ chunk[i]) * kFnvPrime;
        if (got < chunk.size()) break;
    }
    if (std::ferror(file.get()) != 0) return false;
    std::vector<uint8_t> folded;
    for (uint64_t lane : lanes) Put64(&folded, lane);
    *sum = Fnv(folded.data(), folded.size());
    return true;
}

uint64_t MapFileBytes(int32_t width, int32_t height) {
    return kMapHeaderBytes +
           (uint64_t(width) + 1) * (uint64_t(height) + 1) * uint64_t(kMapRecordBytes);
}

JournalRead ReadJournal(const std::string& journalPath, const std::string& sessionFolder,
                        TerrainModel& terrain) {
    JournalRead result;
    Reader in;
    plat::FileIdentity identity;
    in.file.reset(plat::OpenRegularFile(journalPath.c_str(), "rb", nullptr));
    if (!in.file || !plat::GetFileIdentity(journalPath, &identity)) {
        result.reason = "the journal cannot be read";
        return result;
    }
    in.left = identity.size;
    JournalHeader header;
    if (!ReadHeader(in, &header)) {
        result.reason = "the journal's header is damaged";
        return result;
    }
    result.headerRead = true;
    result.mapPath = header.originalPath;
    if (!LoadBase(header, sessionFolder, terrain)) {
        result.reason = "the journal's base map is gone or was changed";
        return result;
    }
    result.rebuilt = true;
    result.unsaved = header.unsaved;
    std::vector<uint8_t> buffer;
    while (ApplyRecord(in, terrain, &result.unsaved, &buffer)) {
    }
    return result;
}

bool RebuildFromJournal(const std::string& journalPath, const std::string& sessionFolder,
                        TerrainModel& terrain, bool* unsaved, std::string* reason) {
    const JournalRead read = ReadJournal(journalPath, sessionFolder, terrain);
    *unsaved = read.unsaved;
    *reason = read.reason;
    return read.rebuilt;
}
