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
constexpr uint32_t kFixtureSectionAlignment = 0x1000;
constexpr uint32_t kFixtureFileAlignment = 0x200;
constexpr uint32_t kFixtureHeaders = 0x400;

inline void FixturePut32(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void FixturePut16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    FixturePut32(b, at, v, 2);
}
inline uint32_t FixtureGet32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) |
           static_cast<uint32_t>(b[at + 3]) << 24;
}
constexpr size_t FixtureOptional() {
    return kFixturePeOffset + 24;
}
constexpr size_t FixtureDirectories(bool plus) {
    return FixtureOptional() + (plus ? 112 : 96);
}
constexpr size_t FixtureSectionTable(bool plus) {
    return FixtureOptional() + (plus ? 240 : 224);
}

inline std::vector<uint8_t> MakeFixtureImage(const std::vector<PeResource>& resources,
                                             FixtureLayout layout = {}) {
    struct Sec {
        const char* name;
        std::vector<uint8_t> data;
        uint32_t flags;
    };
    std::vector<uint8_t> text(0x300);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<Sec> sections = {{".text", text, 0x60000020u}, {".rsrc", {}, 0xC0000040u}};
    const uint32_t rsrcIndex = 1;
    if (!layout.resourcesLast)
        sections.push_back({".reloc", std::vector<uint8_t>(12, 0xAB), 0x42000040u});

    const size_t table = FixtureSectionTable(layout.plus);
    std::vector<uint8_t> image(kFixtureHeaders, 0);
    uint32_t rva = kFixtureSectionAlignment;
    std::vector<uint32_t> rvas;
    for (size_t i = 0; i < sections.size(); ++i) {
        rvas.push_back(rva);
        if (i == rsrcIndex) sections[i].data = BuildResourceSection(resources, rva);
        rva += (static_cast<uint32_t>(sections[i].data.size()) + kFixtureSectionAlignment - 1) /
               kFixtureSectionAlignment * kFixtureSectionAlignment;
    }
    FixturePut16(image, 0, 'M' | 'Z' << 8);
    FixturePut32(image, 0x3C, kFixturePeOffset);
    FixturePut32(image, kFixturePeOffset, 0x00004550u);
    const size_t coff = kFixturePeOffset + 4;
    FixturePut16(image, coff, layout.plus ? 0x8664 : 0x14C);
    FixturePut16(image, coff + 2, static_cast<uint32_t>(sections.size()));
    FixturePut16(image, coff + 16, layout.plus ? 240 : 224);
    FixturePut16(image, coff + 18, 0x22);
    const size_t opt = FixtureOptional();
    FixturePut16(image, opt, layout.plus ? 0x20B : 0x10B);
    FixturePut32(image, opt + 32, kFixtureSectionAlignment);
    FixturePut32(image, opt + 36, kFixtureFileAlignment);
    FixturePut32(image, opt + 56, rva);  // SizeOfImage
    FixturePut32(image, opt + 60, kFixtureHeaders);
    FixturePut32(image, opt + (layout.plus ? 108 : 92), 16);
    const size_t dirs = FixtureDirectories(layout.plus);
    if (!resources.empty()) {
        FixturePut32(image, dirs + 16, rvas[rsrcIndex]);
        FixturePut32(image, dirs + 20, static_cast<uint32_t>(sections[rsrcIndex].data.size()));
    }
    for (size_t i = 0; i < sections.size(); ++i) {
        const size_t h = table + 40 * i;
        for (size_t c = 0; sections[i].name[c] != 0; ++c)
            image[h + c] = static_cast<uint8_t>(sections[i].name[c]);
        const uint32_t raw =
            static_cast<uint32_t>((sections[i].data.size() + kFixtureFileAlignment - 1) /
                                  kFixtureFileAlignment * kFixtureFileAlignment);
        FixturePut32(image, h + 8, static_cast<uint32_t>(sections[i].data.size()));
        FixturePut32(image, h + 12, rvas[i]);
        FixturePut32(image, h + 16, raw);
        FixturePut32(image, h + 20, static_cast<uint32_t>(image.size()));
        FixturePut32(image, h + 36, sections[i].flags);
        image.insert(image.end(), sections[i].data.begin(), sections[i].data.end());
        image.resize(image.size() + raw - sections[i].data.size(), 0);
    }
    return image;
}
