// Frame presentation and the frame-rate display.
//
// The rate is measured with the coarse millisecond tick count over blocks of
// 60 frames, so 59 of every 60 frames read no clock at all. The counters
// belong to the process, not to a window object, and are never reset. The
// shown value is 0 until the first block completes.
#include <cstdio>

#include "gl/OpenGLFullscreen.h"

namespace {

int32_t gFrameCounter = 0;
uint32_t gIntervalStart = 0;
bool gIntervalStarted = false;
int32_t gFrameRate = 0;

}  // namespace

void OpenGLFullscreen::PresentFrame() {
    plat::SwapBuffers(deviceContext);

    if (!gIntervalStarted) {
        gIntervalStart = plat::GetTickCount();
        gIntervalStarted = true;
    }

    ++gFrameCounter;
    if (gFrameCounter == 60) {
        // Unsigned subtraction keeps the interval right across the 49.7-day
        // wrap of the tick count. A block faster than one tick keeps the
        // previous rate instead of dividing by zero.
        const uint32_t elapsed = plat::GetTickCount() - gIntervalStart;
        gIntervalStart = plat::GetTickCount();
        const int32_t elapsedSigned = static_cast<int32_t>(elapsed);
        if (elapsedSigned != 0) gFrameRate = 60 * 1000 / elapsedSigned;
        gFrameCounter = 0;
    }

    char text[12];
    const int length = std::snprintf(text, sizeof text, "%d", static_cast<int>(gFrameRate));
    plat::TextOut(deviceContext, 100, 100, text, length);
}
