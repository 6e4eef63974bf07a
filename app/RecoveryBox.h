// What the user is told of recovery, and asked: the start's boxes about the
// sessions of editors that have ended, and the question at a quit whose
// unsaved work could not be kept. Texts are the interface's German.
#pragma once

#include <string>

#include "app/EndedSessions.h"

// The start's boxes: one "Wiederherstellung" box naming every recovered map
// (with the map it came from) and every session moved aside; with a map,
// its buttons are "Öffnen" and "Später". Then, when a session could not be
// recovered, one "Fehler" box with the system's reason. Returns the map to
// load now (the newest, on "Öffnen"), else empty.
std::string TellRecovery(const RecoveryReport& report);

// The quit's question when the recovered map could not be written: true
// when the user asks to save now.
bool AskToSaveUnkept(const std::string& reason);
