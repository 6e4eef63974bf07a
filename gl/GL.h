// The OpenGL and GLU headers for portable code. On Windows the system's
// gl.h wants two calling-convention macros that normally come from the
// platform header; they are given here so that portable code never pulls in
// the platform's own headers. Enums newer than OpenGL 1.1 that the editor
// uses are defined where the system header lacks them.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define CALLBACK __stdcall
#endif

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_MIRRORED_REPEAT
#define GL_MIRRORED_REPEAT 0x8370
#endif
