// Explicit little-endian reads and writes of file fields, independent of the
// machine's own byte order. Callers check that the bytes exist first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline uint16_t ReadLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t ReadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
           (uint32_t(p[3]) << 24);
}

inline int32_t ReadLeS32(const uint8_t* p) {
    const uint32_t u = ReadLe32(p);
    int32_t s;
    std::memcpy(&s, &u, sizeof s);
    return s;
}

inline void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The same, appended to a growing byte string.
inline void AppendLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
    const size_t at = out.size();
    out.resize(at + 4);
    WriteLe32(out.data() + at, v);
}

inline void AppendLe64(std::vector<uint8_t>& out, uint64_t v) {
    AppendLe32(out, uint32_t(v));
    AppendLe32(out, uint32_t(v >> 32));
}
