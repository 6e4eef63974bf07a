// Filter parsing, default extension and initial folder of the file dialogs.
#include "platform/linux/FileDialogSupport.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>

namespace desktop {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<FilterEntry> ParseFilter(const char* filter) {
    std::vector<FilterEntry> entries;
    if (filter == nullptr || *filter == '\0') return entries;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry;
        entry.description = parts[i];
        for (const std::string& glob : Split(parts[i + 1], ';')) {
            const std::string trimmed = Trim(glob);
            if (!trimmed.empty()) entry.patterns.push_back(trimmed);
        }
        if (!entry.patterns.empty()) entries.push_back(entry);
    }
    return entries;
}

std::string CaseInsensitiveGlob(const std::string& glob) {
    std::string result;
    bool inClass = false;  // inside [...] the glob is already explicit
    for (char c : glob) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '[') inClass = true;
        if (c == ']') inClass = false;
        if (!inClass && std::isalpha(u) && u < 0x80) {
            result += '[';
            result += char(std::tolower(u));
            result += char(std::toupper(u));
            result += ']';
        } else {
            result += c;
        }
    }
    return result;
}

std::string WithDefaultExtension(const std::string& path, const char* extension) {
    if (extension == nullptr || *extension == '\0' || path.empty()) return path;
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return path;  // a folder, not a file name
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) return path;
    return path + "." + extension;
}

std::string InitialFolder(const char* path) {
    if (path == nullptr || *path == '\0') return std::string();
    const std::string text = path;
    if (IsFolder(text)) return text;
    const size_t slash = text.rfind('/');
    if (slash == std::string::npos) return std::string();
    const std::string folder = slash == 0 ? std::string("/") : text.substr(0, slash);
    return IsFolder(folder) ? folder : std::string();
}

}  // namespace desktop
