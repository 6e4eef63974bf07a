// The editor's keys and mouse actions, one table for everything that tells
// the user about them: the key card drawn in the panel font and the key
// sections of the manual page, LIESMICH.txt and the README (written from it
// by tools/keydocs, checked by the test docs_match_program).
//
// Conventions: texts are UTF-8. Each row names one key, key pair or mouse
// action and what it does, in German for the key card and LIESMICH.txt and
// in English for the manual page and the README; the English texts may say
// more than fits a card. Rows are in the order the card and the manuals
// show them: mouse first, then the view, the tools, the history, the files.
#pragma once

struct KeyRow {
    const char* keys;       // German names of the keys ("Strg+Z", "Ziffernblock 8 / 2")
    const char* effect;     // German, short enough for the key card
    const char* keysEn;     // English names of the same keys
    const char* effectEn;   // English, for the manuals
};

constexpr int kKeyRowCount = 27;
extern const KeyRow kKeyRows[kKeyRowCount];
