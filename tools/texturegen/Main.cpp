// texturegen: paints the editor's texture pack.
//
//   texturegen OUTDIR [--raw RAWDIR]   write the pack below OUTDIR (the build's
//                                      textures folder); entries shipped as
//                                      ".cbm" go to RAWDIR as plain bitmaps
//                                      (default OUTDIR/../texturegen_raw)
//   texturegen --sheet OUT.png         write a contact sheet of every texture
//   texturegen --icons OUTDIR          write the program's icons (hicolor PNGs
//                                      and terrain-editor.ico) below OUTDIR
//
// Everything is painted from fixed seeds: two runs give the same bytes.
#include "AppIcon.h"
#include "ContactSheet.h"
#include "Pack.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

static int Usage() {
    std::fprintf(stderr, "usage: texturegen OUTDIR [--raw RAWDIR]\n"
                         "       texturegen --sheet OUT.png\n"
                         "       texturegen --icons OUTDIR\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--sheet") == 0) {
        tg::Pack pack = tg::PaintPack();
        return tg::WriteContactSheet(pack, argv[2]) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--icons") == 0)
        return tg::WriteAppIcons(argv[2], "terrain-editor") ? 0 : 1;
    std::string outDir, rawDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc) {
            rawDir = argv[++i];
        } else if (argv[i][0] != '-' && outDir.empty()) {
            outDir = argv[i];
        } else {
            return Usage();
        }
    }
    if (outDir.empty()) return Usage();
    if (rawDir.empty())
        rawDir = (std::filesystem::path(outDir).parent_path() / "texturegen_raw").string();
    tg::Pack pack = tg::PaintPack();
    return tg::WritePack(pack, outDir, rawDir) ? 0 : 1;
}
