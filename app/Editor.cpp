// The editor's run: set-up in a fixed order, the main loop, teardown.
//
// One pass of the main loop per frame, as fast as the machine allows: at most
// one queued message (so every press and release is seen by a frame of its
// own), then the frame, then the presentation. The quit message ends the loop
// only after the pass that took it has run in full. Set-up failures show a
// message box titled "Fehler" and end the run; what was already created is
// released again so the display mode and the pointer come back.
//
// The folder of every map loaded or saved is remembered for the dialogs
// (gl/DialogFolder.h).
//
// Recovery: after set-up, maps left unsaved by editors that have ended are
// recovered and named in one message box, whose "Öffnen" loads the newest
// at once; while the editor runs, every finished step reaches the recovery
// journal at the end of its pass; at the end, an unsaved map becomes a
// recovered map (Recovery.h), and when that cannot be written the user is
// asked whether to save it now (RecoveryBox.h).
#include "app/Editor.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "app/EditorOverlay.h"
#include "app/MapFile.h"
#include "app/Recovery.h"
#include "app/RecoveryBox.h"
#include "app/StampFile.h"
#include "app/TextureCatalogue.h"
#include "gl/DialogFolder.h"
#include "gl/GLState.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/Cursor.h"
#include "menu/Menue.h"
#include "terrain/EditHistory.h"
#include "terrain/FrameUpdate.h"
#include "terrain/RegionTool.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"

OpenGLFullscreen* gWindow = nullptr;
TerrainModel* gTerrain = nullptr;
GameMenue* gMenu = nullptr;
GameCursor* gCursor = nullptr;
int32_t gEditMode = kModeNone;

namespace {

void ShowSetupError(const char* text) {
    plat::MessageBox(nullptr, text, "Fehler", plat::MB_OK | plat::MB_ICONEXCLAMATION);
}

// Releases the objects of a run in teardown order; safe for a partial set-up.
void ReleaseEditorObjects(bool selectionSetUp) {
    if (selectionSetUp) TeardownSelection();
    delete gTerrain;
    gTerrain = nullptr;
    delete gMenu;
    gMenu = nullptr;
    delete gWindow;
    gWindow = nullptr;
    delete gCursor;
    gCursor = nullptr;
}

}  // namespace

void RunEditor(int width, int height) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    gWindow = new OpenGLFullscreen(width, height);
    if (!gWindow->IsCreated()) {
        // Creation has shown its message and released its handles already.
        ReleaseEditorObjects(false);
        return;
    }

    gTerrain = new TerrainModel(gWindow, 256, 256);

    if (!LoadTextureCatalogue()) {
        ShowSetupError("Laden der Texturen ist fehlgeschlagen.");
        ReleaseEditorObjects(false);
        return;
    }
    if (!InitGLState()) {
        ShowSetupError("Initialisierung von OpenGL ist fehlgeschlagen.");
        ReleaseEditorObjects(false);
        return;
    }

    if (!BuildMenu()) {
        ShowSetupError("Erstellen des Menues ist fehlgeschlagen.");
        ReleaseEditorObjects(false);
        return;
    }

    gCursor = new GameCursor(gWindow->FindTexture("game_cursor"), gWindow);

    SetSelectionWindow(gWindow);
    SetupSelection();

    const char* stateFolder = plat::StateFolder();
    RecoveryKeeper recovery(stateFolder != nullptr ? stateFolder : "");
    const std::string openNow = TellRecovery(recovery.RecoverEnded());
    plat::SetOpenDialogPlace(stateFolder);
    gRegionTool.copyFile = CopyFileIn(stateFolder);
    StartNewMap();
    // The status display follows the frame and every change of the map;
    // the changes reach the recovery keeper through it.
    EditorOverlay overlay;
    StartEditorOverlay(overlay, &recovery);
    if (!openNow.empty() && MapLoadPath(openNow.c_str()).done) {
        recovery.Rebase(*gTerrain, openNow);
        RedrawOverlayMap(overlay);
    }

    LightingEnabled = false;
    gEditMode = kModeNone;
    bool quit = false;

    while (!quit) {
        plat::Message message;
        if (plat::PeekMessage(&message)) {
            if (message.message == plat::WM_QUIT) {
                quit = true;
            } else {
                plat::TranslateMessage(message);
                plat::DispatchMessage(message);
            }
        }
        FrameUpdate();
        gMenu->Update();
        gWindow->PresentFrame();
        // Load and save requests are one-shot: served after the frame that
        // raised them, then no tool is selected, whatever the outcome.
        if (gEditMode == kModeLoad) {
            const MapStep step = MapLoad();
            if (step.done) {
                recovery.Rebase(*gTerrain, step.path);
                RedrawOverlayMap(overlay);
                RememberMapFolder(stateFolder, step.path);
            }
            gEditMode = kModeNone;
        }
        if (gEditMode == kModeSave) {
            const MapStep step = MapSave();
            if (step.done) {
                recovery.Rebase(*gTerrain, step.path);
                RememberMapFolder(stateFolder, step.path);
            }
            gEditMode = kModeNone;
        }
        ServeStampRequest(gRegionTool, gEditMode);
        // The pass's finished steps reach the disk before the next frame.
        recovery.Flush(*gTerrain, gEditHistory.Unsaved());
    }

    // A stroke still held when the editor ends is finished work too.
    gEditHistory.EndStroke(*gTerrain);
    // Saved at the question, the map leaves no recovery data behind.
    if (!recovery.Finish(*gTerrain, gEditHistory.Unsaved()) &&
        AskToSaveUnkept(recovery.FailureReason()) && MapSave().done)
        recovery.Finish(*gTerrain, false);
    StopEditorOverlay(overlay);
    ReleaseEditorObjects(true);
}
