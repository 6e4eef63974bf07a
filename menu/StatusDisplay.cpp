// The fields' contents and layout. Lines are set on baselines kLinePitch
// apart from the top of each field; values and labels share one colour, the
// unsaved state has its own.
#include "menu/StatusDisplay.h"

#include <cmath>
#include <cstdio>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"
#include "menu/PanelLayout.h"

namespace {

constexpr int kMargin = 10;      // from a field's edge to its contents
constexpr int kLinePitch = 17;
constexpr int kFirstBaseline = 22;  // below a field's top edge
constexpr int kIconSize = 48;
constexpr int kMinimapInset = kPanelFieldBevel + 5;

constexpr float kTextColour[3] = {0.95f, 0.89f, 0.74f};
constexpr float kUnsavedColour[3] = {1.0f, 0.55f, 0.3f};

const char* const kSymmetryNames[] = {"aus", "links/rechts", "oben/unten", "vierfach", "Punkt"};

// The middle field's tool: its row's name and icon, for the paint tool the
// ground's. Load and save requests last no longer than their pass and show
// as no tool.
struct ShownTool {
    const char* name;
    const TextureRecord* icon;
};

ShownTool ToolShown(const StatusDisplay& d, const StatusView& v) {
    const ToolMode* tool = FindToolMode(v.mode);
    if (tool == nullptr) return {"Kein Werkzeug", nullptr};
    if (tool->name != nullptr) return {tool->name, d.modeIcons[tool - kToolModes]};
    const GroundKind* ground = FindGround(v.ground);
    if (ground == nullptr) return {"Kein Werkzeug", nullptr};
    return {ground->paintName, d.groundIcons[ground - kGrounds]};
}

const char* GroundName(char letter) {
    const GroundKind* ground = FindGround(letter);
    return ground ? ground->name : "?";
}

// A height with a decimal comma and three places; never "-0,000".
std::string Height(double value) {
    if (std::fabs(value) < 0.0005) value = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string out = text;
    for (char& c : out)
        if (c == '.') c = ',';
    return out;
}

// Line `line` (0 at the top) of a field, in the given colour.
void Line(const StatusDisplay& d, const PanelField& f, int line, const std::string& text,
          const float colour[3] = kTextColour) {
    glColor3fv(colour);
    const int width = f.right - f.left - 2 * kMargin;
    PanelText(d.font, f.left + kMargin, f.top - kFirstBaseline - line * kLinePitch,
              FitPanelText(d.font, text, width));
}

int IconBottom(const PanelField& f) { return f.top - kMargin - kIconSize; }

void ToolIcon(const StatusDisplay& d, const StatusView& v) {
    const PanelField f = PanelFieldRect(1);
    const ShownTool tool = ToolShown(d, v);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (tool.icon) d.window->DrawTexture(tool.icon, f.left + kMargin, IconBottom(f));
}

// The texts of the middle field (inside the text batch).
void ToolField(const StatusDisplay& d, const StatusView& v) {
    const PanelField f = PanelFieldRect(1);
    glColor3fv(kTextColour);
    PanelText(d.font, f.left + 2 * kMargin + kIconSize, IconBottom(f) + kIconSize / 2 - 4,
              ToolShown(d, v).name);
    const int first = 4;  // the lines below the icon
    const ToolMode* tool = FindToolMode(v.mode);
    // The select and paste tools use no brush and paint nothing.
    const bool regionTool =
        tool != nullptr && !tool->usesBrush && tool->footprint != FootprintShape::Paint;
    const std::string selection =
        "Auswahl: " + (v.selectionWidth > 0 ? std::to_string(v.selectionWidth) + " x " +
                                                  std::to_string(v.selectionHeight)
                                            : std::string("keine"));
    if (regionTool)
        Line(d, f, first, selection);
    else if (tool != nullptr && !tool->usesBrush)
        Line(d, f, first, "Malt eine Ecke je Bild");
    else
        Line(d, f, first, "Pinselgröße: " + std::to_string(v.brush));
    Line(d, f, first + 1, "Plateauhöhe: " + Height(v.plateauHeight));
    const bool known = v.symmetry >= 0 && v.symmetry < 5;
    Line(d, f, first + 2, std::string("Spiegelung: ") + (known ? kSymmetryNames[v.symmetry] : "?"));
    // Full strength is the tools' steps as they always were: nothing to say.
    if (v.strength < kFullStrength) Line(d, f, first + 3, "Stärke: " + std::to_string(v.strength) + " %");
    if (!regionTool && v.selectionWidth > 0) Line(d, f, first + 4, selection);
}

// The texts of the right field (inside the text batch).
void PointerField(const StatusDisplay& d, const StatusView& v) {
    const PanelField f = PanelFieldRect(2);
    if (v.cellShown) {
        Line(d, f, 0, "Zelle: " + std::to_string(v.cellX) + ", " + std::to_string(v.cellY));
        Line(d, f, 1, "Höhe: " + Height(v.cellHeight));
        Line(d, f, 2, std::string("Boden: ") + GroundName(v.cellGround));
        if (v.waterDepth > 0.0f) Line(d, f, 3, "Wassertiefe: " + Height(v.waterDepth));
    } else {
        Line(d, f, 0, "Zelle: keine");
    }
    const std::string name = v.mapName.empty() ? "Neue Karte" : v.mapName;
    Line(d, f, 5, "Karte: " + name + (v.unsaved ? " *" : ""));
    Line(d, f, 6, "Größe: " + std::to_string(v.mapWidth) + " x " + std::to_string(v.mapHeight));
    // A new map was never saved: it claims nothing until its first save.
    if (v.unsaved)
        Line(d, f, 7, "Nicht gespeichert", kUnsavedColour);
    else if (!v.mapName.empty())
        Line(d, f, 7, "Gespeichert");
    Line(d, f, 8, "Rückgängig: " + std::to_string(v.undoSteps) +
                      "  Wiederholen: " + std::to_string(v.redoSteps));
}

}  // namespace

MinimapBox StatusMinimapBox() {
    const PanelField f = PanelFieldRect(0);
    return MinimapBox{f.left + kMinimapInset, f.bottom + kMinimapInset,
                      f.right - f.left - 2 * kMinimapInset, f.top - f.bottom - 2 * kMinimapInset};
}

bool StartStatusDisplay(StatusDisplay& display, OpenGLFullscreen& window) {
    display.window = &window;
    for (int k = 0; k < kToolModeCount; ++k)
        display.modeIcons[k] = kToolModes[k].icon ? window.FindTexture(kToolModes[k].icon) : nullptr;
    for (int k = 0; k < kGroundCount; ++k)
        display.groundIcons[k] = window.FindTexture(kGrounds[k].icon);
    return LoadPanelFont(window, display.font);
}

void DrawStatusDisplay(StatusDisplay& display, const StatusView& view) {
    if (display.window == nullptr) return;
    display.window->Begin2D();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    MinimapMarks marks{};
    for (int k = 0; k < 4; ++k) {
        marks.outline[k][0] = view.outline[k][0];
        marks.outline[k][1] = view.outline[k][1];
    }
    marks.cellShown = view.cellShown;
    marks.cellX = view.cellX;
    marks.cellY = view.cellY;
    DrawMinimap(display.minimap, marks);
    ToolIcon(display, view);
    BeginPanelText(display.font);
    ToolField(display, view);
    PointerField(display, view);
    EndPanelText(display.font);
    glDisable(GL_BLEND);
    display.window->End2D();
}
