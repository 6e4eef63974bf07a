// Frame presentation and the frame-rate display.
//
// The rate is measured with the coarse millisecond tick count over blocks of
// 60 frames, so 59 of every 60 frames read no clock at all. The counters
// belong to the process, not to a window object, and are never reset. The
// shown value is 0 until the first block completes.
#include <cstdio>

#include "gl/OpenGLFullscreen.h"

namespace {

// The frame-rate display's memory.
struct FrameRate {
    int32_t counter = 0;         // frames of the current block
    uint32_t intervalStart = 0;  // tick count at the block's start
    bool intervalStarted = false;
    int32_t shown = 0;           // frames per second of the last block
};
FrameRate sRate;

}  // namespace

void OpenGLFullscreen::PresentFrame() {
    plat::SwapBuffers(deviceContext);

    if (!sRate.intervalStarted) {
        sRate.intervalStart = plat::GetTickCount();
        sRate.intervalStarted = true;
    }

    ++sRate.counter;
    if (sRate.counter == 60) {
        // Unsigned subtraction keeps the interval right across the 49.7-day
        // wrap of the tick count. A block faster than one tick keeps the
        // previous rate instead of dividing by zero.
        const uint32_t elapsed = plat::GetTickCount() - sRate.intervalStart;
        sRate.intervalStart = plat::GetTickCount();
        const int32_t elapsedSigned = static_cast<int32_t>(elapsed);
        if (elapsedSigned != 0) sRate.shown = 60 * 1000 / elapsedSigned;
        sRate.counter = 0;
    }

    char text[12];
    const int length = std::snprintf(text, sizeof text, "%d", static_cast<int>(sRate.shown));
    plat::TextOut(deviceContext, 100, 100, text, length);
}
