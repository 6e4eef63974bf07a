// The editor run on the headless backend: the main loop's one message per
// pass, the full pass after the quit message, set-up failures and teardown,
// and the start dialog's click handler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Editor.h"
#include "app/StartFormular.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"

namespace {

// Posts a script of messages to the editor's window at the first pass and
// records what the window's input state was at the start of every pass.
struct Script {
    std::vector<plat::Message> messages;
    std::vector<int> mouseXAtPass;
    std::vector<headless::Step> failAtStart;
};

void OnPeek(void* user) {
    auto* script = static_cast<Script*>(user);
    if (headless::PeekCount() == 1) {
        for (headless::Step step : script->failAtStart) headless::FailStep(step);
        for (const plat::Message& m : script->messages) {
            headless::PostToWindow(m.message, m.wParam, m.lParam);
        }
    }
    script->mouseXAtPass.push_back(gWindow ? gWindow->GetMouseX() : -1);
    // A runaway loop would hang the test run: end it after many passes.
    if (headless::PeekCount() > 500) headless::PostToWindow(plat::WM_CLOSE, 0, 0);
}

bool HasBox(const std::string& text) {
    for (const auto& box : headless::MessageBoxes()) {
        if (box.text == text) return true;
    }
    return false;
}

}  // namespace

TEST(EditorTest, QuitMessageIsFollowedByOneCompletePass) {
    headless::Reset();
    Script script;
    script.messages.push_back({nullptr, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
    headless::SetPeekHook(&OnPeek, &script);
    RunEditor(1280, 1024);
    // Pass 1 dispatches Escape (which posts the quit message), pass 2 takes
    // the quit message and still draws and presents its frame.
    EXPECT_EQ(headless::PeekCount(), 2);
    EXPECT_EQ(headless::SwapCount(), 2);
    EXPECT_EQ(gWindow, nullptr);
    EXPECT_EQ(gTerrain, nullptr);
    EXPECT_FALSE(headless::DisplaySwitched());
    EXPECT_EQ(headless::CursorCount(), 0);
    EXPECT_EQ(headless::LiveWindows(), 0);
    EXPECT_EQ(headless::LiveContexts(), 0);
}

TEST(EditorTest, EachPassHandlesExactlyOneMessage) {
    headless::Reset();
    Script script;
    for (int x : {10, 20, 30}) script.messages.push_back({nullptr, plat::WM_MOUSEMOVE, 0, x});
    script.messages.push_back({nullptr, plat::WM_CLOSE, 0, 0});
    headless::SetPeekHook(&OnPeek, &script);
    RunEditor(1280, 1024);
    // Three moves, the close request, then the quit message: five passes.
    EXPECT_EQ(headless::SwapCount(), 5);
    const std::vector<int> expected{0, 10, 20, 30, 30};
    EXPECT_EQ(script.mouseXAtPass, expected);
    // The close request showed the pointer once more than teardown alone.
    EXPECT_EQ(headless::CursorCount(), 1);
}

TEST(EditorTest, FailedWindowCreationEndsTheRunAtOnce) {
    headless::Reset();
    headless::SetDisplayModes({{1024, 768}});
    RunEditor(1280, 1024);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "FullScreen-Mode nicht verfügbar.");
    EXPECT_EQ(headless::MessageBoxes()[0].title, "Fehler");
    EXPECT_EQ(headless::MessageBoxes()[0].flags, 0x30u);
    EXPECT_EQ(headless::PeekCount(), 0);
    EXPECT_EQ(gWindow, nullptr);
    EXPECT_FALSE(headless::ClassRegistered("OpenGL"));
    EXPECT_EQ(headless::CursorCount(), 0);
}

TEST(EditorTest, AnyFailingCreationStepEndsTheRunWithNothingLeft) {
    using headless::Step;
    for (Step step : {Step::RegisterClass, Step::CreateWindow, Step::GetDC,
                      Step::SetPixelFormat, Step::CreateContext, Step::MakeCurrent}) {
        SCOPED_TRACE(static_cast<int>(step));
        headless::Reset();
        headless::FailStep(step);
        RunEditor(1280, 1024);
        EXPECT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::PeekCount(), 0);
        EXPECT_EQ(gWindow, nullptr);
        EXPECT_EQ(gTerrain, nullptr);
        EXPECT_FALSE(headless::DisplaySwitched());
        EXPECT_EQ(headless::CursorCount(), 0);
        EXPECT_EQ(headless::LiveWindows(), 0);
        EXPECT_FALSE(headless::ClassRegistered("OpenGL"));
    }
}

TEST(EditorTest, TeardownRestoresDisplayAndPointerWhenAReleaseFails) {
    headless::Reset();
    Script script;
    script.failAtStart = {headless::Step::DestroyWindow, headless::Step::ReleaseDC};
    script.messages.push_back({nullptr, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
    headless::SetPeekHook(&OnPeek, &script);
    RunEditor(1280, 1024);
    EXPECT_TRUE(HasBox("Device Context konnte nicht freigegeben werden."));
    EXPECT_TRUE(HasBox("Fenster Hanlde konnte nicht freigegeben werden."));
    EXPECT_FALSE(headless::DisplaySwitched());
    EXPECT_EQ(headless::CursorCount(), 0);
    EXPECT_FALSE(headless::ClassRegistered("OpenGL"));
}

TEST(EditorTest, StartButtonRunsTheEditorAtTheChosenSizeThenClosesTheForm) {
    headless::Reset();
    Script script;
    script.messages.push_back({nullptr, plat::WM_KEYDOWN, plat::VK_ESCAPE, 0});
    headless::SetPeekHook(&OnPeek, &script);
    headless::ScriptFormButton(true);
    EXPECT_EQ(RunStartFormular(), 0);
    EXPECT_EQ(headless::SwapCount(), 2);
    EXPECT_TRUE(headless::FormClosed());
    EXPECT_FALSE(headless::FormVisible());
}

TEST(EditorTest, ClosingTheFormWithoutStartRunsNoEditor) {
    headless::Reset();
    headless::ScriptFormButton(false);
    EXPECT_EQ(RunStartFormular(), 0);
    EXPECT_EQ(headless::PeekCount(), 0);
    EXPECT_EQ(headless::SwapCount(), 0);
    EXPECT_FALSE(headless::DisplaySwitched());
}
