// Assembly of the pack from the painters and its output as BMP files.
#include "Pack.h"

#include "BmpWriter.h"
#include "CursorArt.h"
#include "MenuArt.h"
#include "PanelFont.h"
#include "SceneTextures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tg {

namespace fs = std::filesystem;

Pack PaintPack() {
    Pack pack;
    pack.ground = PaintGroundTiles();
    pack.entries = PaintSceneTextures();
    pack.entries.push_back(PaintMenuPanel());
    pack.entries.push_back(PaintIconSheet(pack.ground));
    pack.entries.push_back(PaintCursor());
    pack.entries.push_back(PaintPanelFont());
    return pack;
}

static bool WritePicture(const Canvas& c, const std::string& path) {
    return WriteFileBytes(path, EncodeBmp24(c.width, c.height, ToRgbBytes(c)));
}

static bool MakeDir(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) std::fprintf(stderr, "texturegen: cannot create %s\n", dir.string().c_str());
    return !ec;
}

bool WritePack(const Pack& pack, const std::string& outDir, const std::string& rawDir) {
    const fs::path out(outDir), raw(rawDir);
    bool ok = MakeDir(out / "ground") && MakeDir(raw);
    if (!ok) return false;

    std::string list;
    for (const GroundTile& tile : pack.ground) {
        ok = WritePicture(tile.picture, (out / "ground" / (tile.name + ".bmp")).string()) && ok;
        list += tile.name + "\n";
    }
    ok = WriteFileBytes((out / "ground" / "_ground.txt").string(),
                        std::vector<uint8_t>(list.begin(), list.end())) && ok;

    for (const PackEntry& e : pack.entries) {
        fs::path target = out / (e.path + ".bmp");
        ok = MakeDir(target.parent_path()) && ok;
        if (e.scrambled) {
            // The editor prefers a ".bmp" over the ".cbm"; a plain copy left
            // from an older pack would hide the scrambled one.
            std::error_code ec;
            fs::remove(target, ec);
            ok = WritePicture(e.picture, (raw / (fs::path(e.path).filename().string() + ".bmp")).string()) && ok;
        } else {
            ok = WritePicture(e.picture, target.string()) && ok;
        }
        if (e.picture.HasAlpha()) {
            std::string mask = (out / (e.path + "_alpha.bmp")).string();
            ok = WriteFileBytes(mask, EncodeBmp24(e.picture.width, e.picture.height,
                                                  ToAlphaMaskBytes(e.picture))) && ok;
        }
    }
    return ok;
}

}  // namespace tg
