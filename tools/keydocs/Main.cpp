// keydocs: writes the key sections of the manuals from the key table
// (menu/KeyTable.h), so the manual page, LIESMICH.txt and the README name
// the keys the editor has.
//
//   keydocs check FILE...    exit 1, naming each FILE whose section differs
//   keydocs update FILE...   rewrites the sections in place
//   keydocs write IN OUT     IN with its section written, as OUT
//
// Conventions: the kind of a file follows its name: *.md the README (a
// Markdown table between the lines kMdBegin and kMdEnd), *.1 a manual page
// (.TP entries between the roff comments kManBegin and kManEnd), anything
// else LIESMICH.txt (aligned lines from the line kTxtBegin up to the next
// empty line). The marker lines stay; only what lies between them is
// written. Files are read whole and replaced with plat::ReplaceFileContent.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "menu/KeyTable.h"
#include "platform/PlatformFiles.h"

namespace {

const char* const kMdBegin = "<!-- keys: written by keydocs from menu/KeyTable.cpp -->";
const char* const kMdEnd = "<!-- keys: end -->";
const char* const kManBegin = ".\\\" keys: written by keydocs from menu/KeyTable.cpp";
const char* const kManEnd = ".\\\" keys: end";
const char* const kTxtBegin = "Tasten und Maus:";
// LIESMICH.txt: the effect starts in this column; longer keys get a line
// of their own.
const size_t kTxtColumn = 24;

enum class Kind { Readme, Manual, Text };

Kind KindOf(const std::string& path) {
    const auto ends = [&](const std::string& tail) {
        return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
    };
    return ends(".md") ? Kind::Readme : ends(".1") ? Kind::Manual : Kind::Text;
}

// Characters, not bytes, for the alignment of UTF-8 text.
size_t Width(const std::string& text) {
    size_t width = 0;
    for (unsigned char c : text) width += (c & 0xC0) != 0x80;
    return width;
}

// Roff takes "-" as a hyphen and "\" as an escape.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '-' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::vector<std::string> Section(Kind kind) {
    std::vector<std::string> lines;
    if (kind == Kind::Readme) {
        lines.push_back("| Key or pointer | Effect |");
        lines.push_back("|---|---|");
    }
    for (const KeyRow& row : kKeyRows) {
        if (kind == Kind::Readme) {
            lines.push_back(std::string("| ") + row.keysEn + " | " + row.effectEn + " |");
        } else if (kind == Kind::Manual) {
            lines.push_back(".TP");
            lines.push_back(".B " + Roff(row.keysEn));
            lines.push_back(Roff(row.effectEn));
        } else if (Width(row.keys) + 2 > kTxtColumn) {
            lines.push_back(std::string("  ") + row.keys);
            lines.push_back(std::string(kTxtColumn, ' ') + row.effect);
        } else {
            lines.push_back("  " + std::string(row.keys) +
                            std::string(kTxtColumn - 2 - Width(row.keys), ' ') + row.effect);
        }
    }
    return lines;
}

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) lines->push_back(line);
    return !in.bad();
}

// The file's lines with the section written; empty with an error when the
// markers are missing.
std::vector<std::string> Written(const std::string& path, const std::vector<std::string>& lines,
                                 std::string* error) {
    const Kind kind = KindOf(path);
    const std::string begin = kind == Kind::Readme ? kMdBegin : kind == Kind::Manual ? kManBegin : kTxtBegin;
    const std::string end = kind == Kind::Readme ? kMdEnd : kind == Kind::Manual ? kManEnd : "";
    size_t first = 0;
    while (first < lines.size() && lines[first] != begin) ++first;
    size_t last = first + 1;
    while (last < lines.size() && lines[last] != end) ++last;
    if (first >= lines.size() || (last >= lines.size() && !end.empty())) {
        *error = path + ": no key section (the line \"" + begin + "\" and its end)";
        return {};
    }
    std::vector<std::string> out(lines.begin(), lines.begin() + long(first) + 1);
    for (const std::string& line : Section(kind)) out.push_back(line);
    out.insert(out.end(), lines.begin() + long(last), lines.end());
    return out;
}

bool WriteText(std::FILE* file, const void* user) {
    const std::string& text = *static_cast<const std::string*>(user);
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Check, update or write one file; false after a line on standard error.
bool Run(const std::string& mode, const std::string& in, const std::string& out) {
    std::vector<std::string> lines;
    std::string error;
    if (!ReadLines(in, &lines)) error = in + ": cannot be read";
    const std::vector<std::string> written = error.empty() ? Written(in, lines, &error) : lines;
    if (error.empty() && mode == "check" && written != lines)
        error = in + ": the key section differs from menu/KeyTable.cpp (build the target update_docs)";
    const std::string text = Joined(written);
    if (error.empty() && mode != "check" && !plat::ReplaceFileContent(out.c_str(), &WriteText, &text, false))
        error = out + ": cannot be written";
    if (!error.empty()) std::fprintf(stderr, "keydocs: %s\n", error.c_str());
    return error.empty();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 4) return Run(mode, argv[2], argv[3]) ? 0 : 1;
    if ((mode != "check" && mode != "update") || argc < 3) {
        std::fputs("usage: keydocs check|update FILE... | keydocs write IN OUT\n", stderr);
        return 2;
    }
    bool all = true;
    for (int i = 2; i < argc; ++i) all = Run(mode, argv[i], argv[i]) && all;
    return all ? 0 : 1;
}
