// Explicit little-endian reads and writes of file fields, independent of the
// machine's own byte order. Callers check that the bytes exist first.
#pragma once

#include <cstdint>
#include <cstring>

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
