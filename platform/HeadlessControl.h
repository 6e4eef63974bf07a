// Control surface of the headless backend, for tests only.
//
// The headless backend implements Platform.h without any display: OpenGL runs
// in an EGL surfaceless Mesa context on an offscreen pbuffer (one per device
// context, the size of its window), messages come from a scripted queue,
// message boxes and text output are recorded, the tick count is whatever the
// test sets, dialogs answer from a script, and any creation step can be made
// to fail. Reset() returns every piece of state to its start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace headless {

// Creation and release steps that a test can make fail.
enum class Step {
    RegisterClass,
    ChangeDisplayMode,
    CreateWindow,
    GetDC,
    ChoosePixelFormat,
    SetPixelFormat,
    CreateContext,
    MakeCurrent,
    ReleaseContext,  // MakeCurrent(nullptr, nullptr) during teardown
    DeleteContext,
    ReleaseDC,
    DestroyWindow,
    UnregisterClass,
    RestoreDisplayMode,
    Count
};

struct RecordedBox {
    std::string text;
    std::string title;
    unsigned flags = 0;
    plat::WindowHandle owner = nullptr;
    std::string first, second;  // the labels of a two-button box, else empty
};

struct RecordedText {
    int x = 0, y = 0;
    std::string text;
};

void Reset();
void FailStep(Step step, bool fail = true);

// Display: desktop mode and the modes the display offers (w x h).
void SetDisplayModes(const std::vector<std::pair<int, int>>& modes);
bool DisplaySwitched();  // true while a fullscreen mode is in force
int SwitchedWidth();
int SwitchedHeight();
int CursorCount();  // cursor display count, 0 at start

// Queue: messages are delivered to the window created last (or to the
// handle given), in order, one per PeekMessage.
void PostToWindow(uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostToWindow(plat::WindowHandle window, uint32_t message, uintptr_t wParam,
                  intptr_t lParam);
size_t QueuedMessages();
plat::WindowHandle LastWindow();
int LiveWindows();
bool ClassRegistered(const char* className);
int LiveContexts();
int PixelFormatOf(plat::DeviceContext dc);

// Called at every PeekMessage, before a message is taken; lets a test act
// between passes of a loop (post input, advance time, read pixels).
using PeekHook = void (*)(void* user);
void SetPeekHook(PeekHook hook, void* user);
int PeekCount();
// Number of calls that reached the default window procedure.
int DefaultProcCalls();

void SetTickCount(uint32_t ticks);
void AdvanceTicks(uint32_t ms);

const std::vector<RecordedBox>& MessageBoxes();
// Two-button boxes (AskBox) take the next answer, true for the first
// button; once the answers are used up, the second.
void ScriptBoxAnswers(const std::vector<bool>& firstPressed);
const std::vector<RecordedText>& TextOutputs();
int SwapCount();

// Start form: the script decides whether the button is pressed.
void ScriptFormButton(bool press);
bool FormVisible();
bool FormClosed();

// File dialogs: each call takes the next answer; an empty optional (null
// entry) means "cancelled".
void ScriptFileDialogAnswers(const std::vector<const char*>& answers);
int FileDialogCalls();
// The place the program last gave the open dialog (SetOpenDialogPlace).
const std::string& OpenDialogPlace();

// The state folder plat::StateFolder names (with its separator); empty, as
// after Reset, names none.
void SetStateFolder(const std::string& folder);
// The start path each dialog was given, in order.
const std::vector<std::string>& FileDialogStarts();

// What ProgramPath and UserFolder report ("/headless/terrain-editor" and
// "/headless/home" at start). Whether the program's folder can be written
// is asked of the real file system.
void SetProgramPath(const char* path);
void SetUserFolder(const char* folder);

}  // namespace headless
