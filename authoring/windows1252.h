// Conversion between the UTF-8 of quiz sources and the Windows-1252 bytes the
// player stores and shows.
#pragma once

#include <cstdint>
#include <string>

struct Windows1252Result {
    bool ok = true;
    std::string text;           // the converted text (complete only when ok)
    uint32_t badCodePoint = 0;  // the first character with no Windows-1252 form
    std::string badCharacter;   // that character as UTF-8, for messages
};

// `utf8` must be well-formed UTF-8 (the JSON reader guarantees it; malformed
// sequences are reported as U+FFFD). Fails on the first character that has no
// single-byte Windows-1252 form.
Windows1252Result Utf8ToWindows1252(const std::string& utf8);

// Every byte has a form: the five bytes Windows-1252 leaves unassigned map to
// the C1 controls of the same value, as Windows itself does, so unpacking and
// building again gives the same bytes.
std::string Windows1252ToUtf8(const std::string& bytes);

// "U+0151" style name of a code point.
std::string CodePointName(uint32_t codePoint);

// True when `text` is well-formed UTF-8 (what a spreadsheet's export may not be).
bool IsWellFormedUtf8(const std::string& text);
