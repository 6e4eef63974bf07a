// The editor's own textures and drawing, set up offscreen for mapconvert.
//
// Conventions: one EditorScene at a time; while it is open it owns the
// editor's program-wide gWindow (an offscreen OpenGL context from the
// headless backend, 1280 x 1024) and gTerrain, and deletes both when it
// ends. The texture pack is the folder that holds "textures/", the layout
// the editor reads from its working folder; it is loaded exactly as the
// editor loads it (same catalogue, same order), so the ground tiles get the
// OpenGL texture names the editor gives them and a map shaded here shows
// the right tiles in the editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TerrainModel;

// The size of the top view of a map of cellsWide x cellsHigh cells (both at
// least 1) whose longer side is longSide pixels.
void TopViewSize(int cellsWide, int cellsHigh, int longSide, int* width, int* height);

// The texture pack to use: the given folder, else the working folder when it
// holds textures/ground/_ground.txt, else the folder of this program, else
// its installed data folder (plat::DataFolder: ../share/terrain-editor).
std::string FindTexturePack(const std::string& given);

class EditorScene {
public:
    EditorScene() = default;
    ~EditorScene();
    EditorScene(const EditorScene&) = delete;
    EditorScene& operator=(const EditorScene&) = delete;

    // Creates the context and the terrain and loads the catalogue and the
    // ground list from pack. False with the reason when the context cannot
    // be made or the pack has no ground textures.
    bool Open(const std::string& pack, std::string* error);

    TerrainModel& Terrain();

    // Draws the terrain as it is (stored tiles, brightness, water) from
    // straight above, map y upward, the longer side longSide pixels.
    // rgb: width x height x 3 bytes, top row first.
    bool DrawTopView(int longSide, int* width, int* height, std::vector<uint8_t>* rgb,
                     std::string* error);

private:
    bool open = false;
};
