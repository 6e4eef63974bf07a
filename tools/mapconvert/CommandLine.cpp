#include "tools/mapconvert/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/MapFile.h"
#include "terrain/TerrainModel.h"

// A wrong call names where the usage is.
int WrongCall(const std::string& fault) {
    std::fprintf(stderr, "mapconvert: %s (\"mapconvert --help\" shows the usage)\n",
                 fault.c_str());
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "mapconvert: %s\n", message.c_str());
    return 1;
}

std::string Parse(int argc, char** argv, const Command& command, Arguments* out) {
    const std::string name = command.name;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() <= 2 || word.compare(0, 2, "--") != 0) {
            if (out->plain.size() == command.arguments.size()) {
                std::string takes;
                for (const std::string& argument : command.arguments) takes += " " + argument;
                return name + " takes" + takes + ": \"" + word + "\" is one argument too many";
            }
            out->plain.push_back(word);
            continue;
        }
        bool known = false;
        for (const std::string& option : command.options) known = known || option == word;
        if (!known) return name + " has no option " + word;
        if (word == "--raw" || word == "--big-endian") {
            (word == "--raw" ? out->raw : out->bigEndian) = true;
            continue;
        }
        if (i + 1 >= argc) return word + " needs a value";
        const std::string value = argv[++i];
        if (word == "--ground") out->ground = value;
        if (word == "--pack") out->pack = value;
        if (word == "--size") out->size = value;
        if (word == "--seed") out->seed = value;
        if (word == "--droplets") out->droplets = value;
        if (word == "--height") out->height = value;
        if (word == "--anchor") out->anchor = value;
        if (word == "--snow-above") out->snowAbove = value;
        if (word == "--earth-steeper-than") out->earthSteeperThan = value;
    }
    if (out->plain.size() < command.arguments.size())
        return name + " needs " + command.arguments[out->plain.size()];
    return std::string();
}

bool ParseNumber(const std::string& text, unsigned long low, unsigned long high,
                 unsigned long* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 10)
        return false;
    *value = std::strtoul(text.c_str(), nullptr, 10);
    return *value >= low && *value <= high;
}

std::string NumberFault(const char* option, const std::string& text, unsigned long low,
                        unsigned long high, unsigned long* value) {
    if (ParseNumber(text, low, high, value)) return std::string();
    return std::string(option) + " " + text + ": not a whole number from " + std::to_string(low) +
           " to " + std::to_string(high);
}

std::string DecimalFault(const char* option, const std::string& text, double low, double high,
                         double* value) {
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (!text.empty() && *end == '\0' && errno == 0 && std::isfinite(parsed) && parsed >= low &&
        parsed <= high) {
        *value = parsed;
        return std::string();
    }
    char range[80];
    std::snprintf(range, sizeof range, "%g to %g", low, high);
    return std::string(option) + " " + text + ": not a number from " + range;
}

bool CheckMap(const std::string& path, MapFacts* facts, std::string* error) {
    if (!ReadMapHeader(path, facts, error)) return false;
    if (facts->recordsHeld < facts->recordsNeeded) {
        std::fprintf(stderr,
                     "mapconvert: warning: %s is cut short: %llu of %llu records missing; they "
                     "read as height 0, earth\n",
                     path.c_str(),
                     static_cast<unsigned long long>(facts->recordsNeeded - facts->recordsHeld),
                     static_cast<unsigned long long>(facts->recordsNeeded));
    }
    return true;
}

bool LoadMap(const std::string& path, TerrainModel& terrain, std::string* error) {
    errno = 0;
    if (ReadMapFile(path.c_str(), terrain)) return true;
    *error = path + ": cannot load the map: " +
             (errno ? std::strerror(errno) : "the editor's map reader refused it");
    return false;
}

