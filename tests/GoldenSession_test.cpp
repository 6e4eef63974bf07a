// Golden edit session: a scripted session through the editor's real run
// (main loop, frame, menu, tools, save dialog) on the headless backend,
// whose saved map must equal tests/golden/session.map.gz byte for byte.
//
// The script is a queue of actions run from the backend's peek hook, that is
// at the start of every pass of the main loop. An action that posts a
// message or waits uses up its pass; checks and camera look-ups do not. The
// pointer is aimed at a cell by projecting the cell's middle with the frame's
// own camera, and every stroke first checks that the frame picked that cell,
// so the strokes really reach the grid's edges and corners. The map is the
// golden hill map of 16 x 16 cells, tiled from a fixed seed at the first
// pass and loaded through the load icon; nothing depends on time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <deque>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/Editor.h"
#include "app/MapFile.h"
#include "gl/LittleEndian.h"
#include "gl/OpenGLFullscreen.h"
#include "platform/HeadlessControl.h"
#include "platform/Platform.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TriangleSelection.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/Golden.h"
#include "tests/support/ImageFiles.h"

namespace {

constexpr int kMapCells = 16;

// An action returns true when it has used up the pass.
using Action = std::function<bool()>;

struct Session {
    std::deque<Action> actions;
    std::string failures;
    int passes = 0;
};

Session* sSession = nullptr;

void Fail(const std::string& text) {
    sSession->failures += text + "\n";
}

void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    sSession->actions.push_back([=] {
        headless::PostToWindow(message, wParam, lParam);
        return true;
    });
}

void Wait(int passes) {
    for (int i = 0; i < passes; ++i) sSession->actions.push_back([] { return true; });
}

intptr_t Position(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y) << 16) | static_cast<uint32_t>(x));
}

// Holds a key for `passes` frames.
void HoldKey(uint32_t key, int passes) {
    Post(plat::WM_KEYDOWN, key);
    Wait(passes - 1);
    Post(plat::WM_KEYUP, key);
}

// A click on menu cell (column, row), row 0 at the top; the pointer stays
// there. With `release` false the button stays down, and the frame must
// have picked no cell under the pointer, so the press captures no plateau
// height.
void ClickMenu(int column, int row, bool release) {
    const int x = 1026 + 60 * column + 30;
    const int yUp = 17 + 60 * (3 - row) + 30;
    Post(plat::WM_MOUSEMOVE, 0, Position(x, testeditor::kHeight - 1 - yUp));
    sSession->actions.push_back([=] {
        if (!release && FramePickedCell() != kNoCell)
            Fail("menu cell " + std::to_string(column) + "," + std::to_string(row) +
                 ": picked " + std::to_string(FramePickedCell()));
        return false;
    });
    Post(plat::WM_LBUTTONDOWN);
    if (release) Post(plat::WM_LBUTTONUP);
}

// Moves the pointer over the middle of cell (x, y) as the current camera
// shows it; the next pass then checks that the frame picked that cell.
void PointAt(int x, int y) {
    sSession->actions.push_back([=] {
        const TerrainModel& t = *gTerrain;
        const float s = t.spacing;
        const float z = 0.25f * (t.columns[x][y].height + t.columns[x + 1][y].height +
                                 t.columns[x][y + 1].height + t.columns[x + 1][y + 1].height);
        const Matrix4 m = testeditor::SetFrameCamera();
        const Vector4 c = Matrix4::Transform(
            m, Vector4((x + 0.5f) * s - ViewOffsetX, (y + 0.5f) * s - ViewOffsetY, z));
        const int px =
            static_cast<int>(std::lround((c.x / c.w + 1.0f) * 0.5f * testeditor::kWidth));
        const int pyUp =
            static_cast<int>(std::lround((c.y / c.w + 1.0f) * 0.5f * testeditor::kHeight));
        // Inside the view: above the menu rows and clear of the scrolling
        // bands at the screen edges.
        if (c.w <= 0.0f || px < 30 || px > testeditor::kWidth - 30 || pyUp < 300 ||
            pyUp > testeditor::kHeight - 30)
            Fail("cell " + std::to_string(x) + "," + std::to_string(y) + " is off the view at " +
                 std::to_string(px) + "," + std::to_string(pyUp));
        headless::PostToWindow(plat::WM_MOUSEMOVE, 0,
                               Position(px, testeditor::kHeight - 1 - pyUp));
        return true;
    });
    sSession->actions.push_back([=] {
        const int id = MakeCellId(x, y);
        if (FramePickedCell() != id)
            Fail("aimed at cell " + std::to_string(x) + "," + std::to_string(y) + ", picked " +
                 std::to_string(CellIdX(FramePickedCell())) + "," +
                 std::to_string(CellIdY(FramePickedCell())));
        return false;
    });
}

// A stroke: the button goes down on the first cell, is held for `hold`
// passes on each cell in turn and released on the last.
void Stroke(bool left, std::initializer_list<std::pair<int, int>> cells, int hold) {
    bool first = true;
    for (const auto& cell : cells) {
        PointAt(cell.first, cell.second);
        if (first) Post(left ? plat::WM_LBUTTONDOWN : plat::WM_RBUTTONDOWN);
        first = false;
        Wait(hold);
    }
    Post(left ? plat::WM_LBUTTONUP : plat::WM_RBUTTONUP);
}

// Scrolls with the arrow keys until cell (x, y) lies near the middle of the
// view, where the eye's orbit centre (CameraTargetX, CameraTargetY) shows:
// the needed offset change is split into the heading's forward and sideways
// directions, and both keys are held together for as many frames as each
// direction takes.
void Bring(int x, int y) {
    sSession->actions.push_back([=] {
        const float s = gTerrain->spacing;
        const float h = CameraHeading * static_cast<float>(kPi) / 180.0f;
        const float fx = std::sin(h), fy = std::cos(h);
        const float dx = (x + 0.5f) * s - CameraTargetX - ViewOffsetX;
        const float dy = (y + 0.5f) * s - CameraTargetY - ViewOffsetY;
        const int ahead = static_cast<int>(std::lround((dx * fx + dy * fy) / 0.1f));
        const int aside = static_cast<int>(std::lround((dx * fy - dy * fx) / 0.1f));
        const uint32_t keys[2] = {ahead > 0 ? plat::VK_UP : plat::VK_DOWN,
                                  aside > 0 ? plat::VK_RIGHT : plat::VK_LEFT};
        const int frames[2] = {std::abs(ahead), std::abs(aside)};
        // Key k goes down in pass k and up in pass k + frames[k], so it is
        // down for frames[k] frames (one more when two messages meet in one
        // pass, as the main loop takes one message per pass).
        std::deque<Action> steps;
        const int passes = std::max(frames[0], frames[1]) + 2;
        for (int pass = 0; pass < passes; ++pass) {
            std::vector<std::pair<uint32_t, uint32_t>> messages;
            for (int k = 0; k < 2; ++k) {
                if (frames[k] == 0) continue;
                if (pass == k) messages.push_back({plat::WM_KEYDOWN, keys[k]});
                if (pass == k + frames[k]) messages.push_back({plat::WM_KEYUP, keys[k]});
            }
            steps.push_back([messages] {
                for (const auto& m : messages) headless::PostToWindow(m.first, m.second, 0);
                return true;
            });
        }
        sSession->actions.insert(sSession->actions.begin(), steps.begin(), steps.end());
        return false;
    });
}

// Menu cells (column, row).
enum Item { kSave, kEarth, kMeadow, kSnow, kRaise, kLower, kPlateau, kSmooth };
const int kItemCell[][2] = {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}, {3, 2}};
void Menu(Item item) { ClickMenu(kItemCell[item][0], kItemCell[item][1], true); }
void Brush(int size) { ClickMenu(size / 2 - 1, 3, true); }

// Picks the plateau tool from the menu where no cell lies under the pointer,
// so the press captures nothing, and drags it onto cell (x, y): the tool
// flattens to the height captured by an earlier press.
void DragPlateauTo(int x, int y) {
    ClickMenu(kItemCell[kPlateau][0], kItemCell[kPlateau][1], false);
    PointAt(x, y);
    Wait(3);
    Post(plat::WM_LBUTTONUP);
}

void WriteScript(const std::string& mapPath) {
    // The map, tiled from the fixed seed, is written to a file before the
    // first frame with its light left out, as a map made elsewhere may come:
    // after loading it, exactly the vertices the tools re-light are lit.
    sSession->actions.push_back([mapPath] {
        golden::MakeHillMap(kMapCells);
        std::srand(golden::kSeed);
        gTerrain->ShadeAll();
        for (int x = 0; x <= gTerrain->width; ++x) {
            for (int y = 0; y <= gTerrain->height; ++y) {
                TerrainVertex& v = gTerrain->columns[x][y];
                for (int i = 0; i < 3; ++i) v.normal[i] = v.colour[i] = 0.0f;
            }
        }
        if (!WriteMapFile(mapPath.c_str(), *gTerrain)) Fail("the start map was not written");
        return false;
    });
    // The pointer starts in the top-left corner, where it would scroll.
    Post(plat::WM_MOUSEMOVE, 0, Position(640, 500));
    ClickMenu(0, 0, true);  // load, answered with the start map

    // Near corner; the ground under the menu then lies beyond the map.
    Bring(1, 2);
    Menu(kRaise);
    Stroke(true, {{0, 0}}, 8);
    Stroke(false, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, 2);
    // Both buttons: the right button's step wins.
    PointAt(3, 3);
    Post(plat::WM_LBUTTONDOWN);
    Post(plat::WM_RBUTTONDOWN);
    Wait(2);
    Post(plat::WM_RBUTTONUP);
    Post(plat::WM_LBUTTONUP);
    // A height captured by a raise press, used later without a new press.
    Stroke(true, {{2, 2}}, 2);
    DragPlateauTo(3, 1);

    Brush(4);
    Menu(kLower);
    Stroke(true, {{1, 2}, {2, 3}}, 3);
    Stroke(false, {{0, 3}}, 3);
    Menu(kSmooth);
    Stroke(true, {{1, 1}, {2, 1}}, 3);
    Stroke(false, {{0, 2}}, 3);
    DragPlateauTo(2, 0);
    // The right button does not flatten.
    Stroke(false, {{3, 2}}, 2);

    Menu(kEarth);
    Stroke(true, {{0, 0}, {1, 0}, {0, 1}}, 1);
    Menu(kMeadow);
    Stroke(true, {{2, 2}, {3, 2}, {2, 3}, {3, 3}}, 1);
    Menu(kSnow);
    Stroke(true, {{4, 1}, {4, 2}}, 1);

    // Far corner, turned and zoomed in on the way.
    HoldKey(plat::VK_NUMPAD2, 12);
    HoldKey(plat::VK_NUMPAD4, 4);
    Bring(14, 13);
    Brush(8);
    Menu(kLower);
    Stroke(false, {{15, 15}}, 4);
    Stroke(true, {{15, 14}, {15, 13}, {14, 12}}, 2);
    Brush(6);
    Menu(kSmooth);
    Stroke(false, {{14, 13}, {13, 14}}, 2);
    Menu(kRaise);
    Stroke(true, {{13, 15}}, 4);
    Menu(kPlateau);
    Stroke(true, {{13, 13}, {14, 13}}, 2);
    Menu(kSnow);
    Stroke(true, {{15, 15}, {14, 15}}, 1);
    HoldKey(plat::VK_NUMPAD6, 6);
    HoldKey(plat::VK_NUMPAD8, 4);
    HoldKey('L', 2);
    Brush(2);
    Menu(kMeadow);
    Stroke(true, {{15, 12}, {14, 11}}, 1);
    Menu(kSmooth);
    Stroke(false, {{15, 11}}, 3);

    Menu(kSave);
    Wait(1);
    Post(plat::WM_KEYDOWN, plat::VK_ESCAPE);
}

void OnPeek(void*) {
    ++sSession->passes;
    while (!sSession->actions.empty()) {
        Action action = sSession->actions.front();
        sSession->actions.pop_front();
        if (action()) return;
    }
    // The script is over and the editor still runs: end it.
    if (sSession->passes > 5000) headless::PostToWindow(plat::WM_CLOSE, 0, 0);
}

const char* const kFieldNames[] = {"ground", "padding", "tileTexture", "tileU", "tileV",
                                   "height", "normal", "colour"};
// Byte offset of each field in the 68-byte record, and where the next begins.
const size_t kFieldStarts[] = {0, 1, 4, 8, 24, 40, 44, 56, 68};

// Names the first vertex and field that differ, with both values.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    if (expected.size() != actual.size() || expected.size() < kMapHeaderBytes ||
        expected.compare(0, kMapHeaderBytes, actual, 0, kMapHeaderBytes) != 0)
        return "sizes differ: golden " + std::to_string(expected.size()) + " bytes, this run " +
               std::to_string(actual.size());
    const auto* e = reinterpret_cast<const uint8_t*>(expected.data());
    const auto* a = reinterpret_cast<const uint8_t*>(actual.data());
    const uint32_t width = ReadLe32(e);
    size_t i = kMapHeaderBytes;
    while (i < expected.size() && e[i] == a[i]) ++i;
    const size_t record = (i - kMapHeaderBytes) / kMapRecordBytes;
    const size_t offset = (i - kMapHeaderBytes) % kMapRecordBytes;
    int field = 0;
    while (kFieldStarts[field + 1] <= offset) ++field;
    const size_t at = kMapHeaderBytes + record * kMapRecordBytes;
    const size_t element = (offset - kFieldStarts[field]) / 4;
    std::ostringstream out;
    out << "first difference at vertex (" << record % (width + 1) << ", "
        << record / (width + 1) << "), field " << kFieldNames[field];
    if (field >= 3) {
        const size_t pos = at + kFieldStarts[field] + 4 * element;
        float ev, av;
        const uint32_t eb = ReadLe32(e + pos), ab = ReadLe32(a + pos);
        std::memcpy(&ev, &eb, 4);
        std::memcpy(&av, &ab, 4);
        if (field != 5) out << "[" << element << "]";
        out << ": golden " << ev << ", this run " << av;
    } else if (field == 2) {
        out << ": golden " << ReadLe32(e + at + 4) << ", this run " << ReadLe32(a + at + 4);
    } else {
        out << ": golden '" << char(e[i]) << "', this run '" << char(a[i]) << "'";
    }
    return out.str();
}

TEST(GoldenSessionTest, ScriptedSessionSavesTheGoldenMap) {
    testimg::TempDir dir;
    const std::string mapPath = dir.File("start.map");
    const std::string savePath = dir.File("session.map");
    Session session;
    sSession = &session;
    headless::Reset();
    headless::ScriptFileDialogAnswers({mapPath.c_str(), savePath.c_str()});
    WriteScript(mapPath);
    headless::SetPeekHook(&OnPeek, nullptr);
    RunEditor(testeditor::kWidth, testeditor::kHeight);
    headless::SetPeekHook(nullptr, nullptr);
    sSession = nullptr;

    EXPECT_TRUE(session.actions.empty()) << "the editor ended before the script did";
    EXPECT_EQ(session.failures, "");
    const std::vector<uint8_t> saved = testimg::ReadAll(savePath);
    ASSERT_FALSE(saved.empty()) << "no map was saved";
    const std::string actual(saved.begin(), saved.end());

    const std::string failure =
        golden::Check("session.map.gz", actual, "the session's map differs", FirstDifference);
    if (!failure.empty()) ADD_FAILURE() << failure;
}

}  // namespace
