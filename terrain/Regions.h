// Regions of ground: a copy of the heights and ground letters of a
// rectangle of vertices, turned and flipped, placed back on a map, and kept
// in a file so that another editor, or this one after a restart, can place
// it too.
//
// Conventions: a copy holds width x height vertices (at least 1 x 1),
// index x + y * width, x and y as on the map (+y is the map's north). It is
// placed with its vertex (0, 0) on map vertex (originX, originY); vertices
// that fall off the grid are left out. Turning is by 90 degrees
// counter-clockwise seen from above: copy vertex (x, y) goes to
// (height - 1 - y, x). A placement replaces heights and ground letters, or
// as a stamp adds to each height the copy's height above its own lowest
// vertex and keeps the ground; either way heights end within the terrain's
// limits, and the placed vertices' tile blocks are chosen again and the
// vertices whose light they change are lit again before it returns.
//
// The copy file: the 8 bytes "TECOPY01", then width and height as 32-bit
// little-endian integers, then per vertex (index order) its height as an
// IEEE single (little-endian) and its ground letter: 16 + 5 * width *
// height bytes in all, nothing after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TerrainModel;

// The largest copy side: a whole map of the largest size the editor loads.
constexpr int32_t kMaxCopySide = 4097;

struct GroundCopy {
    int32_t width = 0, height = 0;  // in vertices; 0 x 0 is no copy
    std::vector<float> heights;
    std::vector<char> grounds;

    bool Empty() const { return width == 0 || height == 0; }
};

// Vertices x0..x1, y0..y1 of the map (clipped to the grid).
GroundCopy CopyVertices(const TerrainModel& terrain, int x0, int y0, int x1, int y1);
GroundCopy Turned(const GroundCopy& copy);  // 90 degrees counter-clockwise
GroundCopy FlippedLeftRight(const GroundCopy& copy);
GroundCopy FlippedTopBottom(const GroundCopy& copy);

// Map vertices a placement may change, re-tile or re-light: the copy's
// rectangle grown by one vertex each way, clipped to the grid. Empty (x0 >
// x1) when the copy misses the grid.
struct VertexBox {
    int x0, y0, x1, y1;
};
VertexBox PlacementReach(const TerrainModel& terrain, const GroundCopy& copy, int originX,
                         int originY);

void PlaceCopy(TerrainModel& terrain, const GroundCopy& copy, int originX, int originY,
               bool stamp);

// The places of one click in a symmetry mode (Symmetry.h): the copy at its
// origin first, then its mirror images across the vertical centre line, the
// horizontal one and turned about the centre, as far as the mode has them,
// each with the flips that mirror the copy. An image on the place of one
// before it (a copy centred on a centre line) is left out, so no vertex is
// stamped twice.
struct PlacementSpot {
    int originX, originY;
    bool flipLeftRight, flipTopBottom;
};
std::vector<PlacementSpot> MirroredSpots(const TerrainModel& terrain, const GroundCopy& copy,
                                         int originX, int originY, int symmetry);
// The copy as it is placed at `spot`.
GroundCopy CopyAt(const GroundCopy& copy, const PlacementSpot& spot);

// The copy file's bytes, and back: false with the reason when the bytes are
// no copy (wrong mark, size out of range, length not as the size says, a
// height that is no finite number, a letter of no ground).
std::vector<uint8_t> EncodeCopy(const GroundCopy& copy);
bool DecodeCopy(const uint8_t* bytes, size_t size, GroundCopy* copy, std::string* reason);
