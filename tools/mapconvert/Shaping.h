// mapconvert's shaping commands over a whole map: erode (hydraulic erosion
// by droplets) and paint (ground letters by height and slope).
//
// Conventions: each command takes the words after its name, reads IN.map
// with the editor's reader and writes OUT.map through the editor's writer
// (the whole file, or nothing). A --seed makes a run repeatable: the same
// seed and input give the same bytes. Exit status as mapconvert's: 0 done,
// 1 a file could not be read or written (one line on standard error), and
// kShapingWrongUsage for a wrong call, which mapconvert answers with its
// usage text.
#pragma once

#include <string>
#include <vector>

constexpr int kShapingWrongUsage = -1;

// Droplets of `mapconvert erode` when --droplets is not given: one per cell.
constexpr unsigned long kErodeDropletsPerCell = 1;

int ErodeCommand(const std::vector<std::string>& words);
int PaintCommand(const std::vector<std::string>& words);
