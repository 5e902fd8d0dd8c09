#include "authoring/windows1252.h"

#include <cstdio>

namespace {

// Bytes 0x80-0x9F are the only ones that differ from Latin-1; zero marks the
// five that Windows-1252 leaves unassigned (they map to U+0081 etc.).
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

uint32_t ByteToCodePoint(uint8_t byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    uint16_t mapped = kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;
}

// Returns -1 when the code point has no single-byte form.
int CodePointToByte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        uint16_t mapped = kHighControls[i];
        if (mapped == 0 ? cp == 0x80u + i : cp == mapped) return 0x80 + i;
    }
    return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The length of the well-formed sequence at `pos` (1 to 4 bytes), or 0 when
// the lead byte, the length or a continuation byte is wrong.
size_t SequenceLength(const std::string& s, size_t pos) {
    const uint8_t lead = static_cast<uint8_t>(s[pos]);
    size_t extra;
    if (lead < 0x80) {
        extra = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
    } else {
        return 0;
    }
    if (extra > s.size() - pos - 1) return 0;
    for (size_t i = 1; i <= extra; ++i) {
        if ((static_cast<uint8_t>(s[pos + i]) & 0xC0) != 0x80) return 0;
    }
    return extra + 1;
}

// Decodes one sequence at `pos` and advances past it; a malformed sequence
// yields U+FFFD and one byte.
uint32_t NextCodePoint(const std::string& s, size_t& pos) {
    const size_t length = SequenceLength(s, pos);
    const uint8_t lead = static_cast<uint8_t>(s[pos]);
    if (length == 0) {
        ++pos;
        return 0xFFFD;
    }
    uint32_t cp = length == 1 ? lead : lead & (0x7Fu >> length);
    for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (static_cast<uint8_t>(s[pos + i]) & 0x3Fu);
    pos += length;
    return cp;
}

}  // namespace

Windows1252Result Utf8ToWindows1252(const std::string& utf8) {
    Windows1252Result result;
    size_t pos = 0;
    while (pos < utf8.size()) {
        size_t start = pos;
        uint32_t cp = NextCodePoint(utf8, pos);
        int byte = CodePointToByte(cp);
        if (byte < 0) {
            result.ok = false;
            result.badCodePoint = cp;
            result.badCharacter =
                cp == 0xFFFD ? std::string("\xEF\xBF\xBD") : utf8.substr(start, pos - start);
            return result;
        }
        result.text += static_cast<char>(byte);
    }
    return result;
}

std::string Windows1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(out, ByteToCodePoint(static_cast<uint8_t>(c)));
    return out;
}

std::string CodePointName(uint32_t codePoint) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    return name;
}

bool IsWellFormedUtf8(const std::string& text) {
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = SequenceLength(text, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}
