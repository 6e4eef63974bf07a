// Stamps from files: the main loop's step for Ctrl+Shift+V. The open dialog
// (title "Stempel laden") takes a .map file or, where the build has libpng
// (not the Windows build), a heightmap PNG of any kind mapconvert import
// reads; its heights (and a map's ground) become the copy to paste
// (RegionTool.h). A file that cannot be read is told in a message box with
// the reason, as a refused load is; a cancelled dialog changes nothing.
#pragma once

#include <cstdint>

struct RegionTool;

// Serves regions.stampRequested (and clears it): on a map read, pasting
// starts with the whole map as the copy, `mode` becoming the paste mode.
void ServeStampRequest(RegionTool& regions, int32_t& mode);
