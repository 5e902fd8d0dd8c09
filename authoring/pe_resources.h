// Reading and rewriting the resources of a Windows program (PE32 or PE32+
// image) without Windows: how brelo-make puts a quiz into a copy of the player
// on Linux, and how it finds the quiz again in any player.
//
// The resource section is a three-level tree (type, name, language) of
// directories whose leaves point, by RVA, at the data. Rewriting keeps every
// other byte of the program: the new tree goes into a section of its own at
// the end of the image (or replaces the resource section in place when that
// one is already last), and the headers are updated to match (data directory,
// section count, SizeOfImage, checksum).
//
// Every offset read from the file is checked before use with arithmetic that
// cannot overflow: the input is whatever file the user names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A resource type or name: an integer, or a UTF-16 string.
struct ResourceId {
    bool isString = false;
    uint16_t number = 0;
    std::u16string text;

    static ResourceId Number(uint16_t n);
    static ResourceId Named(const char* ascii);
    bool operator==(const ResourceId& other) const;
    bool operator!=(const ResourceId& other) const { return !(*this == other); }
    // The order of entries in a resource directory: strings first, in code
    // unit order, then numbers ascending. The loader searches them in halves.
    bool operator<(const ResourceId& other) const;
    std::string Describe() const;  // "104" or "PATCH"
};

struct PeResource {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0;  // LANG_NEUTRAL
    uint32_t codePage = 0;
    std::vector<uint8_t> bytes;
};

constexpr uint16_t RESOURCE_TYPE_RCDATA = 10;  // RT_RCDATA

// Every resource of `image`. A program without resources gives an empty list.
// False with `error` for a file that is not a PE image or whose resource
// tree does not hold together.
bool ReadPeResources(const std::vector<uint8_t>& image, std::vector<PeResource>& out,
                     std::string& error);

// `image` with its resources replaced by exactly `resources`. False with
// `error` when the image cannot take them (not a PE image, signed, no room for
// a section header, too large).
bool ReplacePeResources(const std::vector<uint8_t>& image, const std::vector<PeResource>& resources,
                        std::vector<uint8_t>& out, std::string& error);

// The resource section bytes for `resources` placed at `sectionRva`.
// Resources with equal type, name and language: the last one wins.
std::vector<uint8_t> BuildResourceSection(const std::vector<PeResource>& resources,
                                          uint32_t sectionRva);

// The PE checksum: 16-bit one's-complement-style sum of the file with the
// checksum field taken as zero, plus the file length.
uint32_t PeChecksum(const std::vector<uint8_t>& image, size_t checksumOffset);
