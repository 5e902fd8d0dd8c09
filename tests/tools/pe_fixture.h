// A small PE image whose every byte the test knows: .text (a pattern), .rsrc
// holding `resources` and, unless the resources come last, .reloc.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pe_resources.h"

struct FixtureLayout {
    bool plus = true;  // PE32+ (x86_64) or PE32 (i686)
    bool resourcesLast = false;
};

constexpr uint32_t kFixturePeOffset = 0x80;
constexpr uint32_t kFixtureOptional = kFixturePeOffset + 24;  // the optional header
constexpr uint32_t kFixtureSectionAlignment = 0x1000;
constexpr uint32_t kFixtureFileAlignment = 0x200;
constexpr uint32_t kFixtureHeaders = 0x400;

// Little-endian `bytes`-byte value at `at`.
inline void FixturePut(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t FixtureGet(const std::vector<uint8_t>& b, size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}
constexpr size_t FixtureDirectories(bool plus) {
    return kFixtureOptional + (plus ? 112 : 96);
}
constexpr size_t FixtureSectionTable(bool plus) {
    return kFixtureOptional + (plus ? 240 : 224);
}

inline std::vector<uint8_t> MakeFixtureImage(const std::vector<PeResource>& resources,
                                             FixtureLayout layout = {}) {
    struct Sec {
        const char* name;
        std::vector<uint8_t> data;
        uint32_t flags, rva;
    };
    std::vector<uint8_t> text(0x300);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<Sec> sections = {{".text", text, 0x60000020u, 0}, {".rsrc", {}, 0xC0000040u, 0}};
    if (!layout.resourcesLast)
        sections.push_back({".reloc", std::vector<uint8_t>(12, 0xAB), 0x42000040u, 0});
    auto align = [](size_t n, uint32_t to) {
        return static_cast<uint32_t>((n + to - 1) / to * to);
    };
    uint32_t rva = kFixtureSectionAlignment;
    for (Sec& s : sections) {
        s.rva = rva;
        if (&s == &sections[1]) s.data = BuildResourceSection(resources, rva);
        rva += align(s.data.size(), kFixtureSectionAlignment);
    }

    std::vector<uint8_t> image(kFixtureHeaders, 0);
    const size_t coff = kFixturePeOffset + 4, opt = kFixtureOptional;
    FixturePut(image, 0, 'M' | 'Z' << 8, 2);
    FixturePut(image, 0x3C, kFixturePeOffset);
    FixturePut(image, kFixturePeOffset, 0x00004550u);  // "PE\0\0"
    FixturePut(image, coff, layout.plus ? 0x8664 : 0x14C, 2);
    FixturePut(image, coff + 2, static_cast<uint32_t>(sections.size()), 2);
    FixturePut(image, coff + 16, layout.plus ? 240 : 224, 2);
    FixturePut(image, coff + 18, 0x22, 2);
    FixturePut(image, opt, layout.plus ? 0x20B : 0x10B, 2);
    FixturePut(image, opt + 32, kFixtureSectionAlignment);
    FixturePut(image, opt + 36, kFixtureFileAlignment);
    FixturePut(image, opt + 56, rva);  // SizeOfImage
    FixturePut(image, opt + 60, kFixtureHeaders);
    FixturePut(image, opt + (layout.plus ? 108 : 92), 16);  // data directories
    if (!resources.empty()) {
        FixturePut(image, FixtureDirectories(layout.plus) + 16, sections[1].rva);
        FixturePut(image, FixtureDirectories(layout.plus) + 20,
                   static_cast<uint32_t>(sections[1].data.size()));
    }
    for (size_t i = 0; i < sections.size(); ++i) {
        const Sec& s = sections[i];
        const size_t h = FixtureSectionTable(layout.plus) + 40 * i;
        const uint32_t raw = align(s.data.size(), kFixtureFileAlignment);
        for (size_t c = 0; s.name[c] != 0; ++c) image[h + c] = static_cast<uint8_t>(s.name[c]);
        FixturePut(image, h + 8, static_cast<uint32_t>(s.data.size()));
        FixturePut(image, h + 12, s.rva);
        FixturePut(image, h + 16, raw);
        FixturePut(image, h + 20, static_cast<uint32_t>(image.size()));
        FixturePut(image, h + 36, s.flags);
        image.insert(image.end(), s.data.begin(), s.data.end());
        image.resize(image.size() + raw - s.data.size(), 0);
    }
    return image;
}
