// Frame presentation: the buffer swap and the frame rate over blocks of 60
// frames, measured with the tick count the test controls.
#include <gtest/gtest.h>

#include <string>

#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"

namespace {

std::string LastText() {
    const auto& texts = headless::TextOutputs();
    return texts.empty() ? std::string("<none>") : texts.back().text;
}

}  // namespace

// The counters belong to the process, so the whole history runs in one test.
TEST(PresentFrameTest, RateOverBlocksOfSixtyFrames) {
    headless::Reset();
    headless::SetTickCount(5000);
    OpenGLFullscreen window(1280, 1024);
    ASSERT_TRUE(window.IsCreated());

    for (int frame = 1; frame <= 59; ++frame) {
        window.PresentFrame();
        ASSERT_EQ(LastText(), "0") << "frame " << frame;
        headless::AdvanceTicks(frame == 59 ? 1000 - 58 * 16 : 16);
    }
    EXPECT_EQ(headless::SwapCount(), 59);
    EXPECT_EQ(headless::TextOutputs().back().x, 100);
    EXPECT_EQ(headless::TextOutputs().back().y, 100);

    window.PresentFrame();  // 60th frame, 1000 ms after the first
    EXPECT_EQ(LastText(), "60");

    for (int frame = 1; frame <= 59; ++frame) window.PresentFrame();
    EXPECT_EQ(LastText(), "60");  // refreshed only every 60 frames
    headless::AdvanceTicks(2400);
    window.PresentFrame();
    EXPECT_EQ(LastText(), "25");

    // A block shorter than one tick must not divide by zero.
    for (int frame = 1; frame <= 60; ++frame) window.PresentFrame();
    EXPECT_FALSE(LastText().empty());

    // The interval survives the wrap of the 32-bit tick count.
    headless::SetTickCount(0xFFFFFF00u);
    for (int frame = 1; frame <= 60; ++frame) window.PresentFrame();
    headless::SetTickCount(0xFFFFFF00u + 500u);  // wraps past zero
    for (int frame = 1; frame <= 60; ++frame) window.PresentFrame();
    EXPECT_EQ(LastText(), "120");
}
