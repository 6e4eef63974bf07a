// mapconvert's one reading of a command's words, its fault lines and its
// map loading, shared by every command.
//
// Conventions: exit status 0 when the command did its work, 1 when a file
// could not be read or written (Fail: one line on standard error naming the
// file and the reason), 2 for a wrong call (WrongCall: one line on standard
// error naming the fault, before anything is read or written).
#pragma once

#include <string>
#include <vector>

#include "tools/mapconvert/MapFacts.h"

class TerrainModel;

// The words after the command: plain arguments, options with a value and
// flags. An option not given leaves its value empty.
struct Arguments {
    std::vector<std::string> plain;
    std::string ground, pack, size, seed, height, anchor;
    std::string droplets, snowAbove, earthSteeperThan;
    bool raw = false, bigEndian = false;
};

// What a command takes: its options and the names of its plain arguments
// (for the line that says which one is missing).
struct Command {
    const char* name;
    int (*run)(const Arguments&);
    std::vector<std::string> options;
    std::vector<std::string> arguments;
};

// The fault of the words argv[2 ..] for the command, or empty when they fit
// it (then `out` holds them).
std::string Parse(int argc, char** argv, const Command& command, Arguments* out);

int WrongCall(const std::string& fault);
int Fail(const std::string& message);

// A whole decimal number in [low, high].
bool ParseNumber(const std::string& text, unsigned long low, unsigned long high,
                 unsigned long* value);
// The fault of a number option's value, empty when it is in [low, high].
std::string NumberFault(const char* option, const std::string& text, unsigned long low,
                        unsigned long high, unsigned long* value);
// The same for a finite decimal number with a point, as "0.8" or "-1e3".
std::string DecimalFault(const char* option, const std::string& text, double low, double high,
                         double* value);

// Checks the map's header and length (the editor's reader is silent about
// what it refuses) and warns about missing records.
bool CheckMap(const std::string& path, MapFacts* facts, std::string* error);
// Loads a map that CheckMap accepted with the editor's own reader.
bool LoadMap(const std::string& path, TerrainModel& terrain, std::string* error);
