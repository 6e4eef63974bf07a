// The editor's fixed texture catalogue: 25 named textures in global records,
// then the terrain's ground textures, then one upload of everything.
//
// Conventions: the records have static storage for the whole program run and
// are registered with gWindow in the order declared below; that order, the
// image sizes and the ground list decide which OpenGL texture names every
// tile receives (maps store ground tiles by those names), so it must not
// change. The menu and the cursor find their records by name with
// FindTexture; scene drawing binds the glName of the scene records directly.
#pragma once

#include "gl/TextureRecord.h"

extern TextureRecord gTexMenue;              // "menue"
extern TextureRecord gTexMenueToolLoad;      // "menue_tool_load" (reads the menu sheet)
extern TextureRecord gTexMenueToolSave;      // "menue_tool_save" (shares the menu sheet)
extern TextureRecord gTexGroupsErde;         // "groups_erde"
extern TextureRecord gTexGroupsWiese;        // "groups_wiese"
extern TextureRecord gTexGroupsSchnee;       // "groups_schnee"
extern TextureRecord gTexMenueToolRaise;     // "menue_tool_raise"
extern TextureRecord gTexMenueToolLower;     // "menue_tool_lower"
extern TextureRecord gTexMenueToolPlateau;   // "menue_tool_plateau"
extern TextureRecord gTexMenueToolSmooth;    // "menue_tool_smooth"
extern TextureRecord gTexMenueSize2;         // "menue_size2"
extern TextureRecord gTexMenueSize4;         // "menue_size4"
extern TextureRecord gTexMenueSize6;         // "menue_size6"
extern TextureRecord gTexMenueSize8;         // "menue_size8"
extern TextureRecord gTexWater;              // "water"
extern TextureRecord gTexPflanze;            // "pflanze"
extern TextureRecord gTexNadelbaum;          // "nadelbaum"
extern TextureRecord gTexNadelbaumStamm;     // "nadelbaum_stamm"
extern TextureRecord gTexFachwerk;           // "fachwerk"
extern TextureRecord gTexStrohdach;          // "strohdach"
extern TextureRecord gTexWasserturmHolzseite;  // "wasserturm_holzseite"
extern TextureRecord gTexWasserturmDach;     // "wasserturm_dach"
extern TextureRecord gTexWasserturmHolz;     // "wasserturm_holz"
extern TextureRecord gTexBauerKopf;          // "bauer_kopf"
extern TextureRecord gTexGameCursor;         // "game_cursor"

// Number of catalogue records (the ground textures come on top).
constexpr int kCatalogueTextureCount = 25;

// Loads the catalogue into gWindow, the ground textures into gTerrain, and
// uploads all textures. Missing files leave empty textures; always true.
bool LoadTextureCatalogue();
