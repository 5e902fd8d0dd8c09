// Scaffolding shared by the authoring, brelo-make and Studio tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"

// The bytes of the file at a UTF-8 path.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scratch folder holding `files`, randomly named (test runs may overlap), removed at the end.
struct Scratch {
    std::filesystem::path dir;
    explicit Scratch(const std::string& name, const std::map<std::string, std::string>& files = {})
        : dir(std::filesystem::temp_directory_path() /
              ("brelo-" + name + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(dir);
        for (const auto& [file, bytes] : files) Write(file, bytes);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string Path(const std::string& name = "") const { return (dir / name).generic_u8string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
};

// A small PE32+ image: .text (a pattern), .rsrc with `resources`, then .reloc unless
// `resourcesLast`. PE32 is read and written over the real i686 player under 32-bit wine.
constexpr uint32_t kFixturePeOffset = 0x80, kFixtureOptional = kFixturePeOffset + 24;
constexpr uint32_t kFixtureDirectories = kFixtureOptional + 112;
constexpr uint32_t kFixtureSectionTable = kFixtureDirectories + 128;
constexpr uint32_t kFixtureSectionAlignment = 0x1000, kFixtureFileAlignment = 0x200;
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

inline std::vector<uint8_t> MakeFixtureImage(const std::vector<PeResource>& resources,
                                             bool resourcesLast = false) {
    const char* names[] = {".text", ".rsrc", ".reloc"};
    const uint32_t flags[] = {0x60000020u, 0xC0000040u, 0x42000040u};
    std::vector<std::vector<uint8_t>> data = {std::vector<uint8_t>(0x300), {}};
    for (size_t i = 0; i < 0x300; ++i) data[0][i] = static_cast<uint8_t>(i * 7 + 1);
    if (!resourcesLast) data.push_back(std::vector<uint8_t>(12, 0xAB));
    auto align = [](size_t n, uint32_t to) { return uint32_t((n + to - 1) / to * to); };

    std::vector<uint8_t> image(kFixtureHeaders, 0);
    const size_t coff = kFixturePeOffset + 4, opt = kFixtureOptional;
    uint32_t rva = kFixtureSectionAlignment;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i == 1) data[1] = BuildResourceSection(resources, rva);
        const uint32_t size = uint32_t(data[i].size()), at = uint32_t(image.size()),
                       raw = align(size, kFixtureFileAlignment);
        const size_t h = kFixtureSectionTable + 40 * i;
        std::memcpy(&image[h], names[i], std::strlen(names[i]));
        FixturePut(image, h + 8, size);
        FixturePut(image, h + 12, rva);
        FixturePut(image, h + 16, raw);
        FixturePut(image, h + 20, at);
        FixturePut(image, h + 36, flags[i]);
        if (i == 1 && !resources.empty()) {
            FixturePut(image, kFixtureDirectories + 16, rva);
            FixturePut(image, kFixtureDirectories + 20, size);
        }
        image.resize(at + raw, 0);
        std::copy(data[i].begin(), data[i].end(), image.begin() + at);
        rva += align(size, kFixtureSectionAlignment);
    }
    FixturePut(image, 0, 'M' | 'Z' << 8, 2);
    FixturePut(image, 0x3C, kFixturePeOffset);
    FixturePut(image, kFixturePeOffset, 0x00004550u);  // "PE\0\0"
    FixturePut(image, coff, 0x8664, 2);
    FixturePut(image, coff + 2, static_cast<uint32_t>(data.size()), 2);
    FixturePut(image, coff + 16, 240, 2);
    FixturePut(image, coff + 18, 0x22, 2);
    FixturePut(image, opt, 0x20B, 2);
    FixturePut(image, opt + 32, kFixtureSectionAlignment);
    FixturePut(image, opt + 36, kFixtureFileAlignment);
    FixturePut(image, opt + 56, rva);  // SizeOfImage
    FixturePut(image, opt + 60, kFixtureHeaders);
    FixturePut(image, opt + 108, 16);  // data directories
    return image;
}
