// Water over the submerged cells and the three decorative scene objects.
//
// Conventions: the water quad of cell (x, y) lies at world ((x + dx) * s,
// (y + dy) * s, waterLevel + wave) for its corners (dx, dy) in the order
// (0,0), (1,0), (1,1), (0,1), counter-clockwise from above. Objects are
// modelled in grid cells with z up and every face counter-clockwise seen from
// outside, so back-face culling drops the inner sides. All three objects
// stand at the height of vertex (0, 0) whatever the ground under them: they
// are fixed decoration, not part of the map. Only the scene records of the
// texture catalogue are bound, by their single-tile glName.
#include "terrain/SceneRender.h"

#include <cmath>

#include "app/Editor.h"
#include "app/TextureCatalogue.h"
#include "gl/GL.h"
#include "terrain/FrameUpdate.h"
#include "terrain/TerrainModel.h"
#include "terrain/TerrainRender.h"

float WavePhase = 0.0f;
float WaterScroll = 0.0f;
float SwayPhase = 0.0f;

namespace {

constexpr float kPiF = static_cast<float>(kPi);
constexpr float kTwoPiF = 2.0f * kPiF;

constexpr float kWaveStep = 0.02f;
constexpr float kScrollStep = 0.001f;
constexpr float kSwayStep = 0.01f;

constexpr int kTrunkSides = 5;
constexpr int kCrownLayers = 4;
constexpr int kTowerSegments = 16;
constexpr int kTowerLegs = 5;
constexpr float kTowerDiameter = 2.0f;

void Bind(const TextureRecord& record) {
    glBindTexture(GL_TEXTURE_2D, record.glName);
}

// Whether the cell's four corners all lie inside the grid. The visible spans
// are built from the same grid in the same frame, so this only guards against
// a span list that no longer matches the grid.
bool CellInGrid(const TerrainModel& terrain, int x, int y) {
    return terrain.columns != nullptr && x >= 0 && y >= 0 && x < terrain.width &&
           y < terrain.height;
}

bool CellSubmerged(const TerrainModel& terrain, int x, int y) {
    const float level = terrain.waterLevel;
    return terrain.columns[x][y].height < level || terrain.columns[x + 1][y].height < level ||
           terrain.columns[x][y + 1].height < level ||
           terrain.columns[x + 1][y + 1].height < level;
}

// The whole cell at water height, even where the ground rises above it: the
// depth test hides the water there.
void DrawWaterQuad(const TerrainModel& terrain, int x, int y) {
    static const int kCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const float s = terrain.spacing;
    const float level = terrain.waterLevel;
    glBegin(GL_QUADS);
    for (const auto& corner : kCorners) {
        const float px = static_cast<float>(x + corner[0]) * s;
        const float py = static_cast<float>(y + corner[1]) * s;
        const float w =
            (std::sin(4.0f * px + 2.0f * WavePhase) + std::cos(2.0f * py + WavePhase)) / 15.0f;
        const float pz = level + w;
        glColor4f(0.8f + 0.5f * w, 0.8f + 0.5f * w, 1.0f, 0.1f + w / 3.0f);
        glTexCoord2f(px / 3.0f + WaterScroll - 0.2f * pz,
                     py / 3.0f + 0.5f * WaterScroll - 0.2f * pz);
        glVertex3f(px - ViewOffsetX, py - ViewOffsetY, pz);
    }
    glEnd();
}

// Modelview = identity x translate(anchor) x scale(s): object coordinates
// in grid cells on top of the world shift.
void PlaceObject(float cellX, float cellY, float z, float s) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(cellX * s - ViewOffsetX, cellY * s - ViewOffsetY, z);
    glScalef(s, s, s);
}

// A five-sided cone, 3.8 cells high with radius 0.25 at the base.
void DrawTrunk() {
    const float hx = 0.25f * std::sin(kPiF / kTrunkSides);
    const float hy = 0.25f * std::cos(kPiF / kTrunkSides);
    Bind(gTexNadelbaumStamm);
    glColor4f(0.2f, 0.2f, 0.2f, 1.0f);
    for (int k = 0; k < kTrunkSides; ++k) {
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0.5f, 10.0f);
        glVertex3f(0.0f, 0.0f, 3.8f);
        glTexCoord2f(3.0f, 0.0f);
        glVertex3f(hx, hy, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-hx, hy, 0.0f);
        glEnd();
        glRotatef(360.0f / kTrunkSides, 0.0f, 0.0f, 1.0f);
    }
}

// Four square pyramids, narrowing and lightening upward. Each layer sways on
// its own (push/pop), and each starts the texture at a different corner so
// that the four layers show it turned by different quarter turns.
void DrawCrown() {
    Bind(gTexNadelbaum);
    SwayPhase += kSwayStep;
    const int n = kCrownLayers;
    float zb = -0.6f;
    for (int i = 0; i < n; ++i) {
        const float r = 1.5f * static_cast<float>(n + 1 - i) / static_cast<float>(n + 3);
        zb += 2.0f / static_cast<float>(i + 1);
        const float zt = zb + r;
        const float c = 0.1f + 0.2f * static_cast<float>(i);
        float u = static_cast<float>(i % 2);
        float v = static_cast<float>((i / 2) % 2);
        float a = -1.0f;
        float b = -1.0f;

        glPushMatrix();
        glRotatef(3.0f * std::sin(2.0f * static_cast<float>(i) + SwayPhase), 0.0f, 0.0f, 1.0f);
        glTranslatef(0.025f * std::sin(SwayPhase), std::cos(SwayPhase) / 60.0f, 0.0f);
        for (int k = 0; k < 4; ++k) {
            const float first = c + 0.05f * (-a - b);
            const float second = c + 0.05f * (b - a);
            glBegin(GL_TRIANGLES);
            glColor4f(c, c + 0.3f, c, 1.0f);
            glTexCoord2f(0.5f, 0.5f);
            glVertex3f(0.0f, 0.0f, zt);
            glColor4f(first, c + 0.3f, first, 1.0f);
            glTexCoord2f(v, 1.0f - u);
            glVertex3f(b * r, -a * r, zb);
            glColor4f(second, c + 0.3f, second, 1.0f);
            glTexCoord2f(u, v);
            glVertex3f(a * r, b * r, zb);
            glEnd();
            // A quarter turn of the side's corner and texture corner.
            const float nextU = v;
            v = 1.0f - u;
            u = nextU;
            const float nextA = b;
            b = -a;
            a = nextA;
        }
        glPopMatrix();
    }
}

// A 2 x 2 x 1 body with gables at both ends, under a roof that overhangs it
// by 0.2 on every side; the second pass draws the opposite half.
void DrawHouse() {
    Bind(gTexFachwerk);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glAlphaFunc(GL_GREATER, 0.1f);
    for (int pass = 0; pass < 2; ++pass) {
        glBegin(GL_QUADS);  // end wall
        glTexCoord2f(0.1f, 0.0f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glTexCoord2f(0.9f, 0.0f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glTexCoord2f(0.9f, 0.5f);
        glVertex3f(1.0f, -1.0f, 1.0f);
        glTexCoord2f(0.1f, 0.5f);
        glVertex3f(-1.0f, -1.0f, 1.0f);
        glEnd();
        glBegin(GL_TRIANGLES);  // gable
        glTexCoord2f(0.1f, 0.5f);
        glVertex3f(-1.0f, -1.0f, 1.0f);
        glTexCoord2f(0.9f, 0.5f);
        glVertex3f(1.0f, -1.0f, 1.0f);
        glTexCoord2f(0.5f, 1.0f);
        glVertex3f(0.0f, -1.0f, 2.0f);
        glEnd();
        glBegin(GL_QUADS);  // side wall
        glTexCoord2f(0.1f, 0.0f);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glTexCoord2f(0.9f, 0.0f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glTexCoord2f(0.9f, 0.5f);
        glVertex3f(-1.0f, -1.0f, 1.0f);
        glTexCoord2f(0.1f, 0.5f);
        glVertex3f(-1.0f, 1.0f, 1.0f);
        glEnd();
        glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    }

    Bind(gTexStrohdach);
    for (int pass = 0; pass < 2; ++pass) {
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-1.2f, 1.2f, 0.8f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(-1.2f, -1.2f, 0.8f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(0.0f, -1.2f, 2.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(0.0f, 1.2f, 2.0f);
        glEnd();
        glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    }
}

// A 16-sided tank from 2.0 to 3.5 under a cone roof that overhangs it by a
// tenth, carried by five square posts.
void DrawWaterTower() {
    const int m = kTowerSegments;
    const float hx = std::sin(kPiF / m) * kTowerDiameter * 0.5f;
    const float hy = std::cos(kPiF / m) * kTowerDiameter * 0.5f;
    const float turn = 360.0f / m;

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Bind(gTexWasserturmHolzseite);
    for (int j = 0; j < m; ++j) {
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-hx, -hy, 2.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(hx, -hy, 2.0f);
        glTexCoord2f(1.0f, 4.0f);
        glVertex3f(hx, -hy, 3.5f);
        glTexCoord2f(0.0f, 4.0f);
        glVertex3f(-hx, -hy, 3.5f);
        glEnd();
        glRotatef(turn, 0.0f, 0.0f, 1.0f);
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Bind(gTexWasserturmDach);
    for (int j = 0; j < m; ++j) {
        const float a0 = 2.0f * kPiF * static_cast<float>(j) / m;
        const float a1 = 2.0f * kPiF * static_cast<float>(j + 1) / m;
        glBegin(GL_TRIANGLES);
        glTexCoord2f(0.5f + 0.5f * std::sin(a0), 0.5f + 0.5f * std::cos(a0));
        glVertex3f(-1.1f * hx, -1.1f * hy, 3.5f);
        glTexCoord2f(0.5f + 0.5f * std::sin(a1), 0.5f + 0.5f * std::cos(a1));
        glVertex3f(1.1f * hx, -1.1f * hy, 3.5f);
        glTexCoord2f(0.5f, 0.5f);
        glVertex3f(0.0f, 0.0f, 4.0f);
        glEnd();
        glRotatef(turn, 0.0f, 0.0f, 1.0f);
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Bind(gTexWasserturmHolz);
    for (int j = 0; j < kTowerLegs; ++j) {
        glPushMatrix();
        glRotatef(static_cast<float>(j) * 360.0f / kTowerLegs, 0.0f, 0.0f, 1.0f);
        glTranslatef(-0.9f * hx, -0.9f * hy, 0.0f);
        for (int face = 0; face < 4; ++face) {
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(-0.05f, -0.05f, 0.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(0.05f, -0.05f, 0.0f);
            glTexCoord2f(1.0f, 2.0f);
            glVertex3f(0.05f, -0.05f, 2.0f);
            glTexCoord2f(0.0f, 2.0f);
            glVertex3f(-0.05f, -0.05f, 2.0f);
            glEnd();
            glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
        }
        glPopMatrix();
    }
}

}  // namespace

void DrawWater() {
    if (gTerrain == nullptr) return;
    const TerrainModel& terrain = *gTerrain;

    Bind(gTexWater);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);

    // The phases move every frame, whether or not any water is in view.
    WavePhase += kWaveStep;
    if (WavePhase > kTwoPiF) WavePhase -= kTwoPiF;
    WaterScroll += kScrollStep;

    for (int i = 0; i < gVisibleSpans.count; ++i) {
        const VisibleSpan& span = gVisibleSpans.spans[i];
        for (int x = span.firstColumn; x <= span.lastColumn; ++x) {
            if (!CellInGrid(terrain, x, span.row)) continue;
            if (CellSubmerged(terrain, x, span.row)) DrawWaterQuad(terrain, x, span.row);
        }
    }
}

void DrawSceneObjects() {
    if (gTerrain == nullptr) return;
    const TerrainModel& terrain = *gTerrain;
    const float s = terrain.spacing;

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_LIGHTING);

    // A grid that failed to load may hold no vertex at all: then there is no
    // anchor height, and the objects are left out for that frame.
    const bool haveAnchor = terrain.columns != nullptr && terrain.width >= 0 &&
                            terrain.height >= 0 && terrain.columns[0] != nullptr;
    if (!haveAnchor) {
        SwayPhase += kSwayStep;
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        return;
    }
    const float ground = terrain.columns[0][0].height;

    PlaceObject(0.5f, 0.5f, ground - 0.25f * s, s);
    DrawTrunk();
    DrawCrown();

    PlaceObject(5.0f, 7.0f, ground - 0.01f, s);
    DrawHouse();

    PlaceObject(10.0f, 8.0f, ground - 0.01f, s);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    DrawWaterTower();
}
