// The editor's texture catalogue. Conventions: paths are relative to the
// pack's folder and given without extension (the library adds ".bmp",
// "_alpha.bmp" and their ".cbm" forms); source rectangles are x, y, width,
// height in image pixels with y from the bottom of the image. The menu cells
// are 48 x 48 pixels of one sheet, so every menu record after the first
// shares the first one's tiles and only differs in its rectangle.
// The texture library finds the pack's folder for every file it opens
// (gl/DataFiles.h): the working folder when that holds the pack, else the
// installed data folder.
#include "app/TextureCatalogue.h"

#include "app/Editor.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "terrain/TerrainModel.h"

TextureRecord gTexMenue;
TextureRecord gTexMenueToolLoad;
TextureRecord gTexMenueToolSave;
TextureRecord gTexGroupsErde;
TextureRecord gTexGroupsWiese;
TextureRecord gTexGroupsSchnee;
TextureRecord gTexMenueToolRaise;
TextureRecord gTexMenueToolLower;
TextureRecord gTexMenueToolPlateau;
TextureRecord gTexMenueToolSmooth;
TextureRecord gTexMenueSize2;
TextureRecord gTexMenueSize4;
TextureRecord gTexMenueSize6;
TextureRecord gTexMenueSize8;
TextureRecord gTexWater;
TextureRecord gTexPflanze;
TextureRecord gTexNadelbaum;
TextureRecord gTexNadelbaumStamm;
TextureRecord gTexFachwerk;
TextureRecord gTexStrohdach;
TextureRecord gTexWasserturmHolzseite;
TextureRecord gTexWasserturmDach;
TextureRecord gTexWasserturmHolz;
TextureRecord gTexBauerKopf;
TextureRecord gTexGameCursor;

namespace {

// One catalogue entry; a zero-sized rectangle means the whole image.
struct CatalogueEntry {
    TextureRecord* record;
    const char* name;
    const char* path;
    GLenum minFilter;
    GLenum magFilter;
    GLenum wrap;
    int regionX, regionY, regionWidth, regionHeight;
};

constexpr const char* kMenuSheet = "textures/menue/groups";

// Load order; see the header for why it is fixed.
const CatalogueEntry kCatalogue[kCatalogueTextureCount] = {
    {&gTexMenue, "menue", "textures/menue/menue", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 0, 0, 0},
    {&gTexMenueToolLoad, "menue_tool_load", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 16, 48, 48},
    {&gTexMenueToolSave, "menue_tool_save", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 48, 16, 48, 48},
    {&gTexGroupsErde, "groups_erde", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 208, 48, 48},
    {&gTexGroupsWiese, "groups_wiese", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 48, 208, 48, 48},
    {&gTexGroupsSchnee, "groups_schnee", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 96, 208, 48, 48},
    {&gTexMenueToolRaise, "menue_tool_raise", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 112, 48, 48},
    {&gTexMenueToolLower, "menue_tool_lower", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 48, 112, 48, 48},
    {&gTexMenueToolPlateau, "menue_tool_plateau", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 96, 112, 48, 48},
    {&gTexMenueToolSmooth, "menue_tool_smooth", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 144, 112, 48, 48},
    {&gTexMenueSize2, "menue_size2", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 144, 160, 48, 48},
    {&gTexMenueSize4, "menue_size4", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 96, 160, 48, 48},
    {&gTexMenueSize6, "menue_size6", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 48, 160, 48, 48},
    {&gTexMenueSize8, "menue_size8", kMenuSheet, GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 160, 48, 48},
    {&gTexWater, "water", "textures/water", GL_NEAREST, GL_NEAREST, GL_REPEAT, 0, 0, 0, 0},
    {&gTexPflanze, "pflanze", "textures/pflanze_klein", GL_NEAREST, GL_LINEAR, GL_CLAMP_TO_EDGE, 0, 0, 0, 0},
    {&gTexNadelbaum, "nadelbaum", "textures/nadelbaum", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexNadelbaumStamm, "nadelbaum_stamm", "textures/nadelbaum_stamm", GL_LINEAR, GL_LINEAR, GL_MIRRORED_REPEAT, 0, 0, 0, 0},
    {&gTexFachwerk, "fachwerk", "textures/fachwerk_alt", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexStrohdach, "strohdach", "textures/strohdach", GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, 0, 0, 0, 0},
    {&gTexWasserturmHolzseite, "wasserturm_holzseite", "textures/wasserturm_holzseite", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexWasserturmDach, "wasserturm_dach", "textures/wasserturm_dach", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexWasserturmHolz, "wasserturm_holz", "textures/wasserturm_holz", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexBauerKopf, "bauer_kopf", "textures/bauer_kopf", GL_LINEAR, GL_LINEAR, GL_REPEAT, 0, 0, 0, 0},
    {&gTexGameCursor, "game_cursor", "textures/cursor/cursor_wood", GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 0, 192, 64, 64},
};

}  // namespace

bool LoadTextureCatalogue() {
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.regionWidth != 0 || entry.regionHeight != 0) {
            gWindow->LoadTextureRegion(entry.record, entry.path, entry.minFilter, entry.magFilter,
                                       entry.wrap, entry.name, entry.regionX, entry.regionY,
                                       entry.regionWidth, entry.regionHeight);
        } else {
            gWindow->LoadTexture(entry.record, entry.path, entry.minFilter, entry.magFilter,
                                 entry.wrap, entry.name);
        }
    }
    gTerrain->LoadGroundTextures();
    gWindow->UploadTextures();
    return true;
}
