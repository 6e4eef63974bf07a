#include "bench/BenchSupport.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "gl/PngFiles.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "platform/HeadlessControl.h"
#include "platform/PlatformFiles.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"

double RunSeconds(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = -1;
    const bool ran = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     waitpid(child, &status, 0) == child;
    posix_spawn_file_actions_destroy(&actions);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ran && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

bool MakeHillMap(const std::string& mapconvert, const std::string& folder, int side,
                 double level, const std::string& path) {
    GreyPicture picture;
    picture.width = picture.height = side + 1;
    picture.samples.resize(size_t(side + 1) * size_t(side + 1));
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x) {
            const double u = 40.0 * x / side, v = 40.0 * y / side;
            const double h =
                level + 0.3 * std::sin(u) * std::cos(v * 0.8) + 0.1 * std::sin(u * 5 + v * 3);
            picture.samples[size_t(y) * size_t(side + 1) + size_t(x)] = uint16_t(h * 65535.0);
        }
    const std::string heights = folder + "/heights.png";
    std::string failure;
    const PngTexts noTexts;
    const PngContent png = GreyPngContent(picture, noTexts, &failure);
    return plat::ReplaceFileContent(heights.c_str(), WritePng, &png, false) &&
           RunSeconds({mapconvert, "import", heights, path, "--seed", "1"}) >= 0;
}

bool SetUpTiltedEditor(void (*shape)(TerrainModel& terrain)) {
    headless::Reset();
    gWindow = new OpenGLFullscreen(1280, 1024);
    if (!gWindow->IsCreated()) return false;
    gTerrain = new TerrainModel(gWindow, 256, 256);
    if (std::FILE* list = std::fopen("textures/ground/_ground.txt", "rb")) {
        std::fclose(list);
        LoadTextureCatalogue();
    }
    shape(*gTerrain);
    std::srand(1);
    InitGLState();
    BuildMenu();
    gCursor = new GameCursor(gWindow->FindTexture("game_cursor"), gWindow);
    SetSelectionWindow(gWindow);
    SetupSelection();
    LightingEnabled = false;
    ViewOffsetX = 35.0f;
    ViewOffsetY = 35.0f;
    CameraHeight = 2.5f;
    CameraHeading = 30.0f;
    return true;
}
