// Toolkit-independent pieces of the file dialogs: the filter syntax, the
// default extension and the initial folder.
//
// Conventions: a filter is "description|pattern|description|pattern...",
// where a pattern may list several globs separated by ';' ("*.bmp;*.cbm").
// Patterns match case-insensitively, as on the desktop system the editor
// comes from. Paths are 8-bit strings, UTF-8 on Linux.
#pragma once

#include <string>
#include <vector>

namespace desktop {

struct FilterEntry {
    std::string description;
    std::vector<std::string> patterns;
};

// Pairs of the filter; a trailing description without a pattern is dropped,
// empty globs are skipped. A null or empty filter gives no entries.
std::vector<FilterEntry> ParseFilter(const char* filter);

// "*.map" -> "*.[mM][aA][pP]": a glob that matches either letter case.
std::string CaseInsensitiveGlob(const std::string& glob);

// The path with "." + extension appended when its file name has no
// extension of its own (no dot after the last '/', or only a leading dot);
// unchanged when the extension is null or empty.
std::string WithDefaultExtension(const std::string& path, const char* extension);

// Folder in which a dialog starts for the given path: the path itself when
// it is a folder, else the folder that holds it; empty when neither exists.
std::string InitialFolder(const char* path);

}  // namespace desktop
