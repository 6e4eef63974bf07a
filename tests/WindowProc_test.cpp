// The window procedure's message table and the input accessors, driven
// through the real message queue of the headless backend.
#include <gtest/gtest.h>

#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"

namespace {

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        window = new OpenGLFullscreen(1280, 1024);
        ASSERT_TRUE(window->IsCreated());
    }
    void TearDown() override { delete window; }

    // Dispatches one message the way the main loop does.
    intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        plat::Message m{window->window, message, wParam, lParam};
        plat::TranslateMessage(m);
        return plat::DispatchMessage(m);
    }

    bool QuitPosted() {
        plat::Message m;
        while (plat::PeekMessage(&m)) {
            if (m.message == plat::WM_QUIT) return true;
        }
        return false;
    }

    OpenGLFullscreen* window = nullptr;
};

}  // namespace

TEST_F(WindowProcTest, StartsWithNoInput) {
    EXPECT_EQ(window->GetMouseX(), 0);
    EXPECT_EQ(window->GetMouseY(), 0);
    EXPECT_FALSE(window->GetLeftButton());
    EXPECT_FALSE(window->GetRightButton());
    EXPECT_EQ(window->GetWidth(), 1280);
    EXPECT_EQ(window->GetHeight(), 1024);
}

TEST_F(WindowProcTest, EscapeSetsItsFlagAndPostsQuit) {
    EXPECT_EQ(Send(plat::WM_KEYDOWN, plat::VK_ESCAPE), 0);
    EXPECT_TRUE(window->GetKeys()[plat::VK_ESCAPE]);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(WindowProcTest, KeysAreLevelsAndOtherKeysDoNotQuit) {
    Send(plat::WM_KEYDOWN, plat::VK_NUMPAD8);
    Send(plat::WM_KEYDOWN, 'L');
    EXPECT_TRUE(window->GetKeys()[plat::VK_NUMPAD8]);
    EXPECT_TRUE(window->GetKeys()['L']);
    EXPECT_FALSE(QuitPosted());
    Send(plat::WM_KEYUP, plat::VK_NUMPAD8);
    EXPECT_FALSE(window->GetKeys()[plat::VK_NUMPAD8]);
    EXPECT_TRUE(window->GetKeys()['L']);
    // A code past the table is ignored rather than written out of bounds.
    EXPECT_EQ(Send(plat::WM_KEYDOWN, 0x1234), 0);
}

TEST_F(WindowProcTest, SystemKeysAreNotRecorded) {
    Send(plat::WM_SYSKEYDOWN, plat::VK_F10);
    EXPECT_FALSE(window->GetKeys()[plat::VK_F10]);
}

TEST_F(WindowProcTest, CloseShowsPointerAndPostsQuitWithoutDestroying) {
    const int before = headless::CursorCount();
    EXPECT_EQ(Send(plat::WM_CLOSE), 0);
    EXPECT_EQ(headless::CursorCount(), before + 1);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(headless::LiveWindows(), 1);
}

TEST_F(WindowProcTest, AltF4BecomesACloseRequest) {
    const int before = headless::CursorCount();
    Send(plat::WM_SYSKEYDOWN, plat::VK_F4);
    EXPECT_EQ(headless::CursorCount(), before + 1);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreSwallowed) {
    const int before = headless::DefaultProcCalls();
    EXPECT_EQ(Send(plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER), 0);
    EXPECT_EQ(headless::DefaultProcCalls(), before);
    // Any other system command takes the default path.
    Send(plat::WM_SYSCOMMAND, 0xF020);
    EXPECT_EQ(headless::DefaultProcCalls(), before + 1);
    Send(plat::WM_ACTIVATE, 1);
    EXPECT_EQ(headless::DefaultProcCalls(), before + 1);
}

TEST_F(WindowProcTest, MousePositionUnpacksBothHalvesUnsigned) {
    Send(plat::WM_MOUSEMOVE, 0, (0 << 16) | 1279);
    EXPECT_EQ(window->GetMouseX(), 1279);
    EXPECT_EQ(window->GetMouseY(), 0);
    Send(plat::WM_MOUSEMOVE, 0, (1023 << 16) | 5);
    EXPECT_EQ(window->GetMouseX(), 5);
    EXPECT_EQ(window->GetMouseY(), 1023);
    Send(plat::WM_MOUSEMOVE, 0, static_cast<intptr_t>(0xFFFFFFFFu));
    EXPECT_EQ(window->GetMouseX(), 65535);
    EXPECT_EQ(window->GetMouseY(), 65535);
}

TEST_F(WindowProcTest, BothButtonsAreIndependentLevels) {
    Send(plat::WM_LBUTTONDOWN);
    Send(plat::WM_RBUTTONDOWN);
    EXPECT_TRUE(window->GetLeftButton());
    EXPECT_TRUE(window->GetRightButton());
    Send(plat::WM_LBUTTONUP);
    EXPECT_FALSE(window->GetLeftButton());
    EXPECT_TRUE(window->GetRightButton());
    Send(plat::WM_RBUTTONUP);
    EXPECT_FALSE(window->GetRightButton());
}

TEST_F(WindowProcTest, MessagesBeforeTheObjectIsStoredGoToTheDefault) {
    plat::SetWindowUserData(window->window, nullptr);
    const int before = headless::DefaultProcCalls();
    Send(plat::WM_KEYDOWN, plat::VK_ESCAPE);
    EXPECT_FALSE(window->GetKeys()[plat::VK_ESCAPE]);
    EXPECT_EQ(headless::DefaultProcCalls(), before + 1);
    plat::SetWindowUserData(window->window, window);
}
