// mapconvert's shaping commands over a whole map: erode (hydraulic erosion
// by droplets) and paint (ground letters by height and slope).
//
// Conventions: each command reads IN.map with the editor's reader and
// writes OUT.map through the editor's writer (the whole file, or nothing);
// its words are read and its faults told as every command's
// (CommandLine.h). A --seed makes a run repeatable: the same seed and input
// give the same bytes.
#pragma once

struct Arguments;

// Droplets of `mapconvert erode` when --droplets is not given: one per cell.
constexpr unsigned long kErodeDropletsPerCell = 1;

int ErodeCommand(const Arguments& args);
int PaintCommand(const Arguments& args);
