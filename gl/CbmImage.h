// Scrambled bitmap files (".cbm"): the texture library's alternative to a
// ".bmp" file, a raw RgbImage hidden behind a byte-wise XOR key.
//
// File layout, little-endian, no magic, no checksum:
//   0  width,  signed 32-bit
//   4  height, signed 32-bit
//   8  width * height * 3 pixel bytes (R, G, B, bottom row first, no
//      padding), byte i XORed with CbmKeyByte(i).
// The key byte of index i is the low 8 bits of the integer part (truncated
// toward zero, as a 64-bit integer) of
//   sin(i * kCbmSinMultiplier) * kCbmSinScale + cos(i * kCbmCosMultiplier) * kCbmCosScale
// with double-precision radians. These four constants are the format's key.
//
// Reading is strict: the header must describe exactly the bytes that follow
// (no negative sizes, no overflow, nothing missing, nothing extra), so a
// damaged file is refused instead of being read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gl/RgbImage.h"

constexpr int64_t kCbmSinMultiplier = 131;
constexpr int64_t kCbmCosMultiplier = 977;
constexpr float kCbmSinScale = 2718.28f;
constexpr double kCbmCosScale = 31415.9265;

constexpr size_t kCbmHeaderSize = 8;
// Largest pixel block a ".cbm" file may hold; larger headers are refused.
constexpr uint64_t kCbmMaxPixelBytes = uint64_t(1) << 30;

uint8_t CbmKeyByte(uint64_t i);

// XORs bytes [0, count) of a pixel block, whose first byte has key index
// `first`, with their key bytes; scrambling and unscrambling are the same.
void CbmScramble(uint8_t* bytes, size_t count, uint64_t first = 0);

// Decodes a whole ".cbm" file held in memory. Returns null (with a short
// English reason in error when given) unless the header matches the length.
RgbImage* DecodeCbm(const uint8_t* data, size_t size, std::string* error);

// The file bytes of an image; empty when the image is not valid (negative
// or overflowing size, or no pixels for a non-empty picture).
std::vector<uint8_t> EncodeCbm(const RgbImage& image);

// Reads a ".cbm" file. Silent: any failure (missing, unreadable, damaged)
// gives null, and the texture library treats the texture as missing.
RgbImage* ReadCbmFile(const char* path);

// Writes image to path as a ".cbm" file. False on any failure.
bool WriteCbmFile(const char* path, const RgbImage& image);
