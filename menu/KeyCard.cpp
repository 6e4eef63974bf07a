// The card is a dark, slightly transparent box with a title line and the
// key table in two columns: the keys on the left, as wide as the widest key
// text, and what they do on the right.
#include "menu/KeyCard.h"

#include <algorithm>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/KeyTable.h"
#include "menu/PanelFont.h"
#include "platform/Platform.h"
#include "terrain/FrameState.h"

namespace {

constexpr int kPadding = 16;
constexpr int kColumnGap = 20;
constexpr int kLinePitch = 17;
constexpr float kBoxColour[4] = {0.06f, 0.05f, 0.04f, 0.85f};
constexpr float kTitleColour[3] = {1.0f, 0.85f, 0.45f};
constexpr float kKeyColour[3] = {0.95f, 0.89f, 0.74f};
constexpr float kEffectColour[3] = {0.85f, 0.85f, 0.85f};
const char* const kTitle = "Tasten und Maus (F1 oder eine andere Taste schließt)";

void Box(int x0, int y0, int x1, int y1) {
    glDisable(GL_TEXTURE_2D);
    glColor4fv(kBoxColour);
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

}  // namespace

void KeyCardKeys(const bool* keys, KeyCard& card) {
    if (keys == nullptr) return;
    for (unsigned k = 0; k < 256; ++k) {
        const bool pressed = keys[k] && !card.before[k];
        card.before[k] = keys[k];
        if (!pressed) continue;
        card.shown = k == plat::VK_F1 ? !card.shown : false;
    }
}

void DrawKeyCard(OpenGLFullscreen& window, const PanelFont& font, const KeyCard& card) {
    if (!card.shown) return;
    int keysWidth = 0, effectsWidth = 0;
    for (const KeyRow& row : kKeyRows) {
        keysWidth = std::max(keysWidth, PanelTextWidth(font, row.keys));
        effectsWidth = std::max(effectsWidth, PanelTextWidth(font, row.effect));
    }
    const int width = std::max(keysWidth + kColumnGap + effectsWidth, PanelTextWidth(font, kTitle)) +
                      2 * kPadding;
    const int height = (kKeyRowCount + 2) * kLinePitch + 2 * kPadding;
    const int x0 = std::max(0, (window.GetWidth() - width) / 2);
    const int viewMiddle = kMenuPanelRows + (window.GetHeight() - kMenuPanelRows) / 2;
    const int y1 = std::min(window.GetHeight(), viewMiddle + height / 2);
    window.Begin2D();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Box(x0, y1 - height, x0 + width, y1);
    BeginPanelText(font);
    int baseline = y1 - kPadding - kLinePitch + 4;
    glColor3fv(kTitleColour);
    PanelText(font, x0 + kPadding, baseline, kTitle);
    baseline -= kLinePitch;
    for (const KeyRow& row : kKeyRows) {
        baseline -= kLinePitch;
        glColor3fv(kKeyColour);
        PanelText(font, x0 + kPadding, baseline, row.keys);
        glColor3fv(kEffectColour);
        PanelText(font, x0 + kPadding + keysWidth + kColumnGap, baseline, row.effect);
    }
    EndPanelText(font);
    glDisable(GL_BLEND);
    window.End2D();
}
