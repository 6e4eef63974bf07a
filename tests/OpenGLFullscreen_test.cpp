// Creation and teardown of the fullscreen window on the headless backend:
// every creation step failing in turn, release failures, projection, and
// the folder the file dialogs start in.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gl/DataFiles.h"
#include "gl/DialogFolder.h"
#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "tests/support/ImageFiles.h"

using headless::Step;

namespace {

struct StepCase {
    Step step;
    const char* message;
};

}  // namespace

TEST(OpenGLFullscreenTest, CreatesWindowContextAndSwitchesDisplay) {
    headless::Reset();
    OpenGLFullscreen window(1280, 1024);
    ASSERT_TRUE(window.IsCreated());
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_TRUE(headless::DisplaySwitched());
    EXPECT_EQ(headless::SwitchedWidth(), 1280);
    EXPECT_EQ(headless::CursorCount(), -1);  // pointer hidden
    EXPECT_NE(window.window, nullptr);
    EXPECT_NE(window.deviceContext, nullptr);
    EXPECT_NE(window.renderingContext, nullptr);
    EXPECT_EQ(plat::GetWindowUserData(window.window), &window);
    EXPECT_EQ(plat::GetFocus(), window.window);
    EXPECT_EQ(window.maxTileSize, 256);
    EXPECT_EQ(window.textureCount, 0);
    for (bool key : window.keys) EXPECT_FALSE(key);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1280);
    EXPECT_EQ(viewport[3], 1024);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    // gluPerspective puts f / aspect in (0,0) and f in (1,1): their ratio is
    // the aspect ratio 1.25; f = cot(22.5 degrees).
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 1.25, 1e-5);
    EXPECT_NEAR(projection[5], 1.0 / std::tan(M_PI / 8.0), 1e-5);
    const double n = 0.1f, f = 30.0;
    EXPECT_NEAR(projection[10], -(f + n) / (f - n), 1e-5);
}

TEST(OpenGLFullscreenTest, TeardownRestoresEverything) {
    headless::Reset();
    {
        OpenGLFullscreen window(1280, 1024);
        ASSERT_TRUE(window.IsCreated());
    }
    EXPECT_FALSE(headless::DisplaySwitched());
    EXPECT_EQ(headless::CursorCount(), 0);
    EXPECT_EQ(headless::LiveWindows(), 0);
    EXPECT_EQ(headless::LiveContexts(), 0);
    EXPECT_FALSE(headless::ClassRegistered("OpenGL"));
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(OpenGLFullscreenTest, EachCreationStepFailureShowsItsMessageAndReleases) {
    const StepCase cases[] = {
        {Step::RegisterClass, "Fenster Klasse konnte nicht angemeldet werden."},
        {Step::ChangeDisplayMode, "FullScreen-Mode nicht verfügbar."},
        {Step::CreateWindow, "OpenGL-Fenster konnte nicht erstellt werden."},
        {Step::GetDC, "Device Context konnte nicht erstellt werden."},
        {Step::ChoosePixelFormat, "PixelFormat kann nicht gesetzt werden."},
        {Step::SetPixelFormat, "PixelFormat kann nicht gesetzt werden."},
        {Step::CreateContext, "Rendering Context konnte nicht erstellt werden."},
        {Step::MakeCurrent, "Rendering Context konnte nicht erstellt werden."},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.message);
        headless::Reset();
        headless::FailStep(c.step);
        auto* window = new OpenGLFullscreen(1280, 1024);
        EXPECT_FALSE(window->IsCreated());
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        const headless::RecordedBox box = headless::MessageBoxes()[0];
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.title, "Fehler");
        EXPECT_EQ(box.flags, 0x30u);
        EXPECT_EQ(box.owner, nullptr);
        // When the message shows, the display is back and the pointer visible.
        EXPECT_FALSE(headless::DisplaySwitched());
        EXPECT_EQ(headless::CursorCount(), 0);
        EXPECT_EQ(headless::LiveWindows(), 0);
        EXPECT_EQ(headless::LiveContexts(), 0);
        EXPECT_EQ(window->window, nullptr);
        EXPECT_EQ(window->deviceContext, nullptr);
        EXPECT_EQ(window->renderingContext, nullptr);
        delete window;
        // Destroying the object afterwards releases the class once and says
        // nothing more; the pointer count stays balanced.
        EXPECT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_FALSE(headless::ClassRegistered("OpenGL"));
        EXPECT_EQ(headless::CursorCount(), 0);
    }
}

TEST(OpenGLFullscreenTest, DisplayWithoutTheSizeLeavesDesktopUntouched) {
    headless::Reset();
    headless::SetDisplayModes({{1024, 768}, {800, 600}});
    OpenGLFullscreen window(1280, 1024);
    EXPECT_FALSE(window.IsCreated());
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "FullScreen-Mode nicht verfügbar.");
    EXPECT_FALSE(headless::DisplaySwitched());
    EXPECT_EQ(headless::CursorCount(), 0);
    EXPECT_EQ(headless::LiveWindows(), 0);
}

TEST(OpenGLFullscreenTest, ReleaseFailuresAreReportedAndReleasingGoesOn) {
    const StepCase cases[] = {
        {Step::ReleaseContext, "Rendering Context konnte nicht freigegeben werden."},
        {Step::DeleteContext, "Rendering Context konnte nicht freigegeben werden."},
        {Step::ReleaseDC, "Device Context konnte nicht freigegeben werden."},
        {Step::DestroyWindow, "Fenster Hanlde konnte nicht freigegeben werden."},
        {Step::UnregisterClass, "Fenster Klasse konnte nicht freigegeben werden."},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.message);
        headless::Reset();
        auto* window = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(window->IsCreated());
        headless::FailStep(c.step);
        window->DestroyWindowAndContext();
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].text, c.message);
        EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
        EXPECT_EQ(headless::MessageBoxes()[0].flags, 0x40u);
        EXPECT_FALSE(headless::DisplaySwitched());
        EXPECT_EQ(headless::CursorCount(), 0);
        EXPECT_EQ(window->window, nullptr);
        EXPECT_EQ(window->deviceContext, nullptr);
        EXPECT_EQ(window->renderingContext, nullptr);
        EXPECT_EQ(window->instance, nullptr);
        headless::FailStep(c.step, false);
        delete window;  // nothing left to release: no second message
        EXPECT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::CursorCount(), 0);
    }
}

TEST(OpenGLFullscreenTest, DialogsStartInTheFolderLastUsedElseBesideAPackElseInTheUsersFolder) {
    testimg::TempDir dir;
    const std::string built = dir.File("build/terrain-editor");  // a folder with its pack
    const std::string installed = dir.File("usr/bin/terrain-editor");
    const std::string maps = dir.File("maps"), state = dir.File("state/");
    ASSERT_TRUE(testimg::Run("mkdir -p " + dir.File("build/textures/ground") + " " + maps +
                             " " + dir.File("usr/bin") + " && touch " + dir.File("build/") +
                             kPackMark));
    struct Case {
        std::string program, user, mapUsed, start;
    };
    const Case cases[] = {
        {built, "/home/anna", "", built},                    // beside its pack: as always
        {installed, "/home/anna", "", "/home/anna"},         // no pack beside it
        {installed, "", "", installed},                      // no user folder known
        {built, "/home/anna", maps + "/insel.map", maps},    // the folder last used
        {installed, "/home/anna", dir.File("gone/a.map"), "/home/anna"},  // no longer there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " / " + c.user + " / " + c.mapUsed);
        headless::Reset();
        ASSERT_TRUE(testimg::Run("rm -rf " + state));
        OpenGLFullscreen window(1280, 1024);
        headless::SetProgramPath(c.program.c_str());
        headless::SetUserFolder(c.user.c_str());
        headless::SetStateFolder(state);
        if (!c.mapUsed.empty()) {
            EXPECT_TRUE(RememberMapFolder(state.c_str(), c.mapUsed));
        }
        headless::ScriptFileDialogAnswers({nullptr, nullptr});
        EXPECT_EQ(window.OpenFileDialog("Karte laden", "map", "Karte (*.map)|*.map"), nullptr);
        EXPECT_EQ(window.SaveFileDialog("Karte speichern", "map", "Karte (*.map)|*.map"), nullptr);
        EXPECT_EQ(headless::FileDialogStarts(), std::vector<std::string>(2, c.start));
    }
}
