// What several benchmark harnesses share: timing a program run, a map made
// by mapconvert from a heightmap drawn here, and the editor set up as the
// frame benchmarks measure it.
//
// Conventions: times are wall-clock seconds; the editor runs on the headless
// backend at 1280 x 1024 over a 256 x 256 map, on the lowest, most tilted
// view (height 2.5, heading 30, offset 35, 35), with the texture pack of the
// working folder when it holds one. The editor's objects live in the
// editor's globals until the program ends.
#pragma once

#include <string>
#include <vector>

class TerrainModel;

// Seconds one run of words took (standard output to /dev/null); negative
// when it could not run or ended with a non-zero status.
double RunSeconds(const std::vector<std::string>& words);

// A map of side x side cells at path, imported by `mapconvert` (the program
// named) with seed 1 from a heightmap of rolling hills around `level`
// (0 .. 1 of the height range) written into folder.
bool MakeHillMap(const std::string& mapconvert, const std::string& folder, int side,
                 double level, const std::string& path);

// Window, map, textures, light, menu, cursor and selection as the editor's
// start makes them, the map's heights and ground letters set by shape
// before the shading (tiles drawn with the seed 1), and the view above.
// False when the window could not be made.
bool SetUpTiltedEditor(void (*shape)(TerrainModel& terrain));
