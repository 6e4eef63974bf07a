// One frame of the editor: tool keys, camera, terrain pass, overlays, camera
// controls and tools, in that order. The frame reads the window's input and
// the tool settings once, into one frame state (FrameState.h), right after
// the terrain pass has picked a cell; everything after it works from that.
//
// Camera conventions: world x and y span the map plane, z points up; every
// world point is drawn shifted by (-ViewOffsetX, -ViewOffsetY, 0). The camera
// lives entirely in the projection matrix (the modelview stays the identity
// for the terrain), so the OpenGL light set up once at start keeps its place.
// CameraHeading is in degrees, the forward direction on the map for heading h
// being (sin h, cos h). Every speed is a fixed step per frame.
#pragma once

extern float ViewOffsetX;
extern float ViewOffsetY;
extern const float CameraTargetX;
extern const float CameraTargetY;
extern float CameraHeight;
extern const float CameraHeightMin;
extern const float CameraHeightMax;
extern float CameraHeading;
extern bool LightingEnabled;
extern const float HighlightColour[3];

// Draws and updates one frame; always true.
bool FrameUpdate();

// The cell picked by the last frame's terrain pass, (x << 16) | y, or -1:
// the cell the tools act on.
int FramePickedCell();

struct FrameState;

// An overlay the frame draws after the menu and before the pointer (so the
// pointer stays on top), in screen-pixel drawing with lighting and the
// scissor test off, given the frame's state; it may move the view. One hook
// (null for none), set by the frame's owner.
using FrameOverlayHook = void (*)(void* user, const FrameState& frame);
void SetFrameOverlay(FrameOverlayHook hook, void* user);
