#include "authoring/pe_resources.h"

#include <algorithm>
#include <map>

namespace {

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// Offsets of the headers, PE32 and PE32+ alike.
constexpr size_t kCoffSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryResource = 2;
constexpr size_t kDirectorySecurity = 4;
constexpr uint32_t kHighBit = 0x80000000u;
// IMAGE_SCN_CNT_INITIALIZED_DATA | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE,
// what the linker gives .rsrc: the player may decipher its quiz in place.
constexpr uint32_t kResourceSectionFlags = 0xC0000040u;
// A few hundred quiz resources are normal; the caps only stop a crafted tree
// whose directories share subdirectories from multiplying without end.
constexpr size_t kMaxResources = 65536;
constexpr size_t kMaxDirectoryEntries = 1 << 20;
constexpr uint64_t kMaxImageSize = 1ull << 30;
// Every resource carries its type and name; a long name shared by many
// resources would be copied for each. Real names are a few characters.
constexpr size_t kMaxNameLength = 256;

struct Section {
    size_t header;  // file offset of its section header
    uint32_t virtualSize;
    uint32_t virtualAddress;
    uint32_t rawSize;
    uint32_t rawPointer;
    uint32_t characteristics;
};

struct PeLayout {
    size_t optional = 0;  // file offset of the optional header
    bool plus = false;    // PE32+
    size_t sectionTable = 0;
    uint32_t sectionAlignment = 0;
    uint32_t fileAlignment = 0;
    uint32_t sizeOfImage = 0;
    uint32_t sizeOfHeaders = 0;
    size_t directories = 0;  // file offset of the data directory
    uint32_t directoryCount = 0;
    std::vector<Section> sections;

    size_t NumberOfSectionsOffset() const { return optional - kCoffSize + 2; }
    size_t CheckSumOffset() const { return optional + 64; }
    size_t SizeOfImageOffset() const { return optional + 56; }
    uint32_t DirectoryRva(const std::vector<uint8_t>& b, size_t i) const {
        return i < directoryCount ? Get32(b, directories + 8 * i) : 0;
    }
    uint32_t DirectorySize(const std::vector<uint8_t>& b, size_t i) const {
        return i < directoryCount ? Get32(b, directories + 8 * i + 4) : 0;
    }
};

bool IsPowerOfTwo(uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

bool ParseLayout(const std::vector<uint8_t>& b, PeLayout& pe, std::string& error) {
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') {
        error = "not a Windows program (no MZ header)";
        return false;
    }
    const uint32_t peOffset = Get32(b, 0x3C);
    if (peOffset > b.size() - 4 - kCoffSize || Get32(b, peOffset) != 0x00004550u) {
        error = "not a Windows program (no PE header)";
        return false;
    }
    const size_t coff = peOffset + 4;
    const uint16_t sectionCount = Get16(b, coff + 2);
    const uint16_t optionalSize = Get16(b, coff + 16);
    pe.optional = coff + kCoffSize;
    if (optionalSize > b.size() - pe.optional || optionalSize < 2) {
        error = "damaged Windows program (optional header past the end of the file)";
        return false;
    }
    const uint16_t magic = Get16(b, pe.optional);
    if (magic != 0x10B && magic != 0x20B) {
        error = "unsupported Windows program (optional header magic " + std::to_string(magic) + ")";
        return false;
    }
    pe.plus = magic == 0x20B;
    const size_t directoryStart = pe.plus ? 112 : 96;
    if (optionalSize < directoryStart) {
        error = "damaged Windows program (optional header too short)";
        return false;
    }
    pe.sectionAlignment = Get32(b, pe.optional + 32);
    pe.fileAlignment = Get32(b, pe.optional + 36);
    pe.sizeOfImage = Get32(b, pe.optional + 56);
    pe.sizeOfHeaders = Get32(b, pe.optional + 60);
    pe.directoryCount = Get32(b, pe.optional + directoryStart - 4);
    pe.directories = pe.optional + directoryStart;
    if (pe.directoryCount > (optionalSize - directoryStart) / 8) {
        error = "damaged Windows program (data directory past its header)";
        return false;
    }
    if (!IsPowerOfTwo(pe.fileAlignment) || !IsPowerOfTwo(pe.sectionAlignment) ||
        pe.sectionAlignment < pe.fileAlignment) {
        error = "damaged Windows program (bad section or file alignment)";
        return false;
    }
    pe.sectionTable = pe.optional + optionalSize;
    if (sectionCount > (b.size() - pe.sectionTable) / kSectionHeaderSize) {
        error = "damaged Windows program (section table past the end of the file)";
        return false;
    }
    // The headers hold the section table, and no section's data lies in them:
    // a rewrite would otherwise write the new section over the headers.
    if (pe.sectionTable + sectionCount * kSectionHeaderSize > pe.sizeOfHeaders ||
        pe.sizeOfHeaders > b.size()) {
        error = "damaged Windows program (headers of the wrong size)";
        return false;
    }
    // Windows loads only images whose sections follow one another in memory
    // and whose data lies in the file; anything else is damage, and the
    // writer relies on it (a section added after the last one overlaps none).
    pe.sections.clear();
    uint64_t previousEnd = pe.sizeOfHeaders;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t h = pe.sectionTable + i * kSectionHeaderSize;
        const Section s{h,
                        Get32(b, h + 8),
                        Get32(b, h + 12),
                        Get32(b, h + 16),
                        Get32(b, h + 20),
                        Get32(b, h + 36)};
        if (s.virtualAddress < previousEnd) {
            error = "damaged Windows program (sections overlap)";
            return false;
        }
        if (s.rawSize != 0 && s.rawPointer < pe.sizeOfHeaders) {
            error = "damaged Windows program (section data inside the headers)";
            return false;
        }
        if (s.rawSize != 0 && (s.rawPointer > b.size() || s.rawSize > b.size() - s.rawPointer)) {
            error = "damaged Windows program (section data past the end of the file)";
            return false;
        }
        const uint32_t extent = std::max(s.virtualSize, s.rawSize);
        previousEnd = AlignUp(uint64_t{s.virtualAddress} + extent, pe.sectionAlignment);
        pe.sections.push_back(s);
    }
    return true;
}

// The file offset of `size` bytes at `rva`, when they all lie in the file
// data of one section.
bool RvaToOffset(const std::vector<uint8_t>& b, const PeLayout& pe, uint32_t rva, uint32_t size,
                 size_t& offset) {
    for (const Section& s : pe.sections) {
        if (rva < s.virtualAddress) continue;
        const uint64_t into = rva - s.virtualAddress;
        // The loader maps the file data up to the end of the section's last
        // page, even where VirtualSize stops short of it (some resource
        // updaters leave it so).
        const uint64_t mapped =
            s.virtualSize ? AlignUp(s.virtualSize, pe.sectionAlignment) : uint64_t{s.rawSize};
        const uint64_t raw = std::min<uint64_t>(s.rawSize, mapped);
        if (into > raw || size > raw - into) continue;  // an empty datum may sit at the end
        const uint64_t at = s.rawPointer + into;
        if (at > b.size() || size > b.size() - at) return false;
        offset = static_cast<size_t>(at);
        return true;
    }
    return false;
}

// Walks the type / name / language directories of the resource tree.
class TreeReader {
  public:
    // Without `keepBytes` the tree is only checked: leaves are counted, not copied.
    TreeReader(const std::vector<uint8_t>& b, const PeLayout& pe, size_t base, size_t span,
               bool keepBytes)
        : b_(b), pe_(pe), base_(base), span_(span), keepBytes_(keepBytes) {}

    bool Read(std::vector<PeResource>& out, std::string& error) {
        PeResource current;
        if (!Directory(0, 0, current, out)) {
            error = "damaged resource section (" + problem_ + ")";
            return false;
        }
        return true;
    }

  private:
    bool Fail(const char* what) {
        problem_ = what;
        return false;
    }

    bool Id(uint32_t field, ResourceId& id) {
        if ((field & kHighBit) == 0) {
            id = ResourceId::Number(static_cast<uint16_t>(field));
            return true;
        }
        const uint32_t at = field & ~kHighBit;
        if (at > span_ || span_ - at < 2) return Fail("name past the end");
        const uint16_t length = Get16(b_, base_ + at);
        if (length > (span_ - at - 2) / 2) return Fail("name past the end");
        if (length > kMaxNameLength) return Fail("a name of more than 256 characters");
        id.isString = true;
        id.number = 0;
        id.text.clear();
        for (size_t i = 0; i < length; ++i) {
            id.text.push_back(static_cast<char16_t>(Get16(b_, base_ + at + 2 + 2 * i)));
        }
        return true;
    }

    bool Leaf(uint32_t at, PeResource& current, std::vector<PeResource>& out) {
        if (at > span_ || span_ - at < 16) return Fail("data entry past the end");
        const uint32_t rva = Get32(b_, base_ + at);
        const uint32_t size = Get32(b_, base_ + at + 4);
        size_t offset = 0;
        if (!RvaToOffset(b_, pe_, rva, size, offset)) return Fail("data outside the file");
        // Real resources never overlap, so together they fit in the file.
        if (size > b_.size() - bytesTaken_) return Fail("more data than the file holds");
        if (out.size() >= kMaxResources) return Fail("too many resources");
        bytesTaken_ += size;
        current.codePage = Get32(b_, base_ + at + 8);
        if (keepBytes_) {
            current.bytes.assign(b_.begin() + static_cast<std::ptrdiff_t>(offset),
                                 b_.begin() + static_cast<std::ptrdiff_t>(offset + size));
        }
        out.push_back(current);
        return true;
    }

    // Level 0 names types, 1 names, 2 languages whose entries are leaves.
    bool Directory(uint32_t at, int level, PeResource& current, std::vector<PeResource>& out) {
        if (at > span_ || span_ - at < 16) return Fail("directory past the end");
        const size_t count =
            static_cast<size_t>(Get16(b_, base_ + at + 12)) + Get16(b_, base_ + at + 14);
        if (count > (span_ - at - 16) / 8) return Fail("directory entries past the end");
        if (count > kMaxDirectoryEntries - entriesSeen_) return Fail("too many entries");
        entriesSeen_ += count;
        for (size_t i = 0; i < count; ++i) {
            const size_t entry = base_ + at + 16 + 8 * i;
            const uint32_t nameField = Get32(b_, entry);
            const uint32_t target = Get32(b_, entry + 4);
            const bool isDirectory = (target & kHighBit) != 0;
            if (isDirectory != (level < 2)) return Fail("tree of the wrong depth");
            if (level == 0 && !Id(nameField, current.type)) return false;
            if (level == 1 && !Id(nameField, current.name)) return false;
            if (level == 2) {
                current.language = static_cast<uint16_t>(nameField);
                if (!Leaf(target, current, out)) return false;
            } else if (!Directory(target & ~kHighBit, level + 1, current, out)) {
                return false;
            }
        }
        return true;
    }

    const std::vector<uint8_t>& b_;
    const PeLayout& pe_;
    size_t base_;
    size_t span_;
    bool keepBytes_;
    uint64_t bytesTaken_ = 0;
    size_t entriesSeen_ = 0;
    std::string problem_;
};

// The section that holds the resource tree, or -1.
int ResourceSectionIndex(const std::vector<uint8_t>& b, const PeLayout& pe) {
    const uint32_t rva = pe.DirectoryRva(b, kDirectoryResource);
    if (rva == 0 || pe.DirectorySize(b, kDirectoryResource) == 0) return -1;
    for (size_t i = 0; i < pe.sections.size(); ++i) {
        const Section& s = pe.sections[i];
        const uint32_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) return static_cast<int>(i);
    }
    return -1;
}

// Resources with equal type, name and language count once: the last one wins.
size_t CountDistinct(const std::vector<PeResource>& resources) {
    std::map<ResourceId, std::map<ResourceId, std::map<uint16_t, bool>>> tree;
    size_t count = 0;
    for (const PeResource& r : resources) {
        bool& seen = tree[r.type][r.name][r.language];
        count += seen ? 0 : 1;
        seen = true;
    }
    return count;
}

void PutDirectoryHeader(std::vector<uint8_t>& out, size_t at, size_t named, size_t numbered) {
    Put16(out, at + 12, static_cast<uint32_t>(named));
    Put16(out, at + 14, static_cast<uint32_t>(numbered));
}

}  // namespace

ResourceId ResourceId::Number(uint16_t n) {
    ResourceId id;
    id.number = n;
    return id;
}

ResourceId ResourceId::Named(const char* ascii) {
    ResourceId id;
    id.isString = true;
    for (const char* c = ascii; *c; ++c) id.text.push_back(static_cast<char16_t>(*c));
    return id;
}

bool ResourceId::operator==(const ResourceId& other) const {
    return isString == other.isString && (isString ? text == other.text : number == other.number);
}

bool ResourceId::operator<(const ResourceId& other) const {
    if (isString != other.isString) return isString;
    return isString ? text < other.text : number < other.number;
}

std::string ResourceId::Describe() const {
    if (!isString) return std::to_string(number);
    std::string s;
    for (char16_t c : text) s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

namespace {

bool ReadTree(const std::vector<uint8_t>& image, bool keepBytes, std::vector<PeResource>& out,
              std::string& error) {
    out.clear();
    PeLayout pe;
    if (!ParseLayout(image, pe, error)) return false;
    const uint32_t rva = pe.DirectoryRva(image, kDirectoryResource);
    if (rva == 0 || pe.DirectorySize(image, kDirectoryResource) == 0) return true;
    const int index = ResourceSectionIndex(image, pe);
    size_t base = 0;
    if (index < 0 || !RvaToOffset(image, pe, rva, 16, base)) {
        error = "damaged resource section (outside the file)";
        return false;
    }
    // The tree may use everything from its start to the end of its section's
    // file data.
    const Section& s = pe.sections[static_cast<size_t>(index)];
    const uint64_t sectionEnd =
        std::min<uint64_t>(uint64_t{s.rawPointer} + s.rawSize, image.size());
    if (sectionEnd < uint64_t{base} + 16) {
        error = "damaged resource section (outside its section)";
        return false;
    }
    TreeReader reader(image, pe, base, static_cast<size_t>(sectionEnd - base), keepBytes);
    std::vector<PeResource> resources;
    if (!reader.Read(resources, error)) return false;
    out = std::move(resources);
    return true;
}

}  // namespace

bool ReadPeResources(const std::vector<uint8_t>& image, std::vector<PeResource>& out,
                     std::string& error) {
    return ReadTree(image, true, out, error);
}

std::vector<uint8_t> BuildResourceSection(const std::vector<PeResource>& resources,
                                          uint32_t sectionRva) {
    using Languages = std::map<uint16_t, const PeResource*>;
    using Names = std::map<ResourceId, Languages>;
    std::map<ResourceId, Names> tree;
    for (const PeResource& r : resources) tree[r.type][r.name][r.language] = &r;

    // First pass: where everything goes. Directories, then the data entries,
    // then the name strings, then the data, each datum on 8 bytes.
    auto directorySize = [](size_t entries) { return 16 + 8 * entries; };
    size_t offset = directorySize(tree.size());
    std::map<const Names*, size_t> nameDirectories;
    std::map<const Languages*, size_t> languageDirectories;
    size_t leaves = 0;
    for (const auto& type : tree) {
        nameDirectories[&type.second] = offset;
        offset += directorySize(type.second.size());
    }
    for (const auto& type : tree) {
        for (const auto& name : type.second) {
            languageDirectories[&name.second] = offset;
            offset += directorySize(name.second.size());
            leaves += name.second.size();
        }
    }
    const size_t dataEntries = offset;
    offset += 16 * leaves;
    std::map<std::u16string, size_t> strings;
    for (const auto& type : tree) {
        if (type.first.isString) strings.emplace(type.first.text, 0);
        for (const auto& name : type.second) {
            if (name.first.isString) strings.emplace(name.first.text, 0);
        }
    }
    for (auto& s : strings) {
        s.second = offset;
        offset += 2 + 2 * s.first.size();
    }
    offset = static_cast<size_t>(AlignUp(offset, 8));
    std::vector<size_t> dataOffsets;
    for (const auto& type : tree) {
        for (const auto& name : type.second) {
            for (const auto& language : name.second) {
                dataOffsets.push_back(offset);
                offset = static_cast<size_t>(AlignUp(offset + language.second->bytes.size(), 8));
            }
        }
    }

    // Second pass: write it.
    std::vector<uint8_t> out(offset, 0);
    auto idField = [&strings](const ResourceId& id) {
        return id.isString ? kHighBit | static_cast<uint32_t>(strings.at(id.text))
                           : uint32_t{id.number};
    };
    auto entries = [&](size_t directory, const auto& children, auto targetOf) {
        size_t named = 0;
        size_t i = 0;
        for (const auto& child : children) {
            const size_t entry = directory + 16 + 8 * i++;
            named += child.first.isString ? 1 : 0;
            Put32(out, entry, idField(child.first));
            Put32(out, entry + 4, targetOf(child.second));
        }
        PutDirectoryHeader(out, directory, named, children.size() - named);
    };
    entries(0, tree, [&](const Names& names) {
        return kHighBit | static_cast<uint32_t>(nameDirectories.at(&names));
    });
    size_t leaf = 0;
    for (const auto& type : tree) {
        entries(nameDirectories.at(&type.second), type.second, [&](const Languages& languages) {
            return kHighBit | static_cast<uint32_t>(languageDirectories.at(&languages));
        });
        for (const auto& name : type.second) {
            const size_t directory = languageDirectories.at(&name.second);
            size_t i = 0;
            for (const auto& language : name.second) {
                const size_t entry = directory + 16 + 8 * i++;
                const size_t dataEntry = dataEntries + 16 * leaf;
                const PeResource& r = *language.second;
                Put32(out, entry, language.first);
                Put32(out, entry + 4, static_cast<uint32_t>(dataEntry));
                Put32(out, dataEntry, sectionRva + static_cast<uint32_t>(dataOffsets[leaf]));
                Put32(out, dataEntry + 4, static_cast<uint32_t>(r.bytes.size()));
                Put32(out, dataEntry + 8, r.codePage);
                std::copy(r.bytes.begin(), r.bytes.end(),
                          out.begin() + static_cast<std::ptrdiff_t>(dataOffsets[leaf]));
                ++leaf;
            }
            PutDirectoryHeader(out, directory, 0, name.second.size());
        }
    }
    for (const auto& s : strings) {
        Put16(out, s.second, static_cast<uint32_t>(s.first.size()));
        for (size_t i = 0; i < s.first.size(); ++i) Put16(out, s.second + 2 + 2 * i, s.first[i]);
    }
    return out;
}

uint32_t PeChecksum(const std::vector<uint8_t>& image, size_t checksumOffset) {
    uint64_t sum = 0;
    for (size_t i = 0; i < image.size(); i += 2) {
        if (i == checksumOffset || i == checksumOffset + 2) continue;
        uint32_t word = image[i];
        if (i + 1 < image.size()) word |= static_cast<uint32_t>(image[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + image.size());
}

bool ReplacePeResources(const std::vector<uint8_t>& image, const std::vector<PeResource>& resources,
                        std::vector<uint8_t>& out, std::string& error) {
    PeLayout pe;
    if (!ParseLayout(image, pe, error)) return false;
    if (pe.DirectorySize(image, kDirectorySecurity) != 0) {
        error = "the program is signed; changing it would break its signature";
        return false;
    }
    if (pe.directoryCount <= kDirectoryResource) {
        error = "unsupported Windows program (no resource directory entry)";
        return false;
    }
    uint64_t total = 0;
    for (const PeResource& r : resources) total += r.bytes.size();
    if (total > kMaxImageSize) {
        error = "the resources add up to more than 1 GiB";
        return false;
    }

    // The resource section can be rewritten where it lies when nothing comes
    // after it, neither in memory nor in the file; otherwise a new section
    // goes at the end and the old one is left unused.
    const int current = ResourceSectionIndex(image, pe);
    // A new section goes past the headers and every section, even where a
    // damaged SizeOfImage says the image ends sooner.
    uint64_t imageEnd = AlignUp(std::max(pe.sizeOfImage, pe.sizeOfHeaders), pe.sectionAlignment);
    int lastInMemory = -1;
    for (size_t i = 0; i < pe.sections.size(); ++i) {
        const Section& s = pe.sections[i];
        const uint64_t end = uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.rawSize);
        imageEnd = std::max(imageEnd, AlignUp(end, pe.sectionAlignment));
        if (lastInMemory < 0 || s.virtualAddress > pe.sections[lastInMemory].virtualAddress) {
            lastInMemory = static_cast<int>(i);
        }
    }
    const bool inPlace =
        current >= 0 && current == lastInMemory &&
        uint64_t{pe.sections[current].rawPointer} + pe.sections[current].rawSize == image.size() &&
        pe.sections[current].rawPointer % pe.fileAlignment == 0;

    Section target{};
    if (inPlace) {
        target = pe.sections[current];
    } else {
        const size_t header = pe.sectionTable + pe.sections.size() * kSectionHeaderSize;
        bool room = header + kSectionHeaderSize <= pe.sizeOfHeaders &&
                    header + kSectionHeaderSize <= image.size();
        for (const Section& s : pe.sections) {
            if (s.rawSize != 0 && s.rawPointer < header + kSectionHeaderSize) room = false;
        }
        for (size_t i = 0; room && i < kSectionHeaderSize; ++i) room = image[header + i] == 0;
        if (!room) {
            error = "the program's headers have no room for another section";
            return false;
        }
        target.header = header;
        target.virtualAddress = static_cast<uint32_t>(imageEnd);
        target.rawPointer = static_cast<uint32_t>(AlignUp(image.size(), pe.fileAlignment));
        target.characteristics =
            current >= 0 ? pe.sections[current].characteristics : kResourceSectionFlags;
        if (imageEnd > kMaxImageSize || AlignUp(image.size(), pe.fileAlignment) > kMaxImageSize) {
            error = "the program is too large";
            return false;
        }
    }

    const std::vector<uint8_t> section = BuildResourceSection(resources, target.virtualAddress);
    const uint64_t rawSize = AlignUp(section.size(), pe.fileAlignment);
    const uint64_t newImageSize =
        AlignUp(uint64_t{target.virtualAddress} + section.size(), pe.sectionAlignment);
    if (target.rawPointer + rawSize > kMaxImageSize || newImageSize > kMaxImageSize) {
        error = "the program with its quiz would be larger than 1 GiB";
        return false;
    }

    std::vector<uint8_t> result(image.begin(),
                                image.begin() + std::min<size_t>(image.size(), target.rawPointer));
    result.resize(target.rawPointer, 0);
    result.insert(result.end(), section.begin(), section.end());
    result.resize(static_cast<size_t>(target.rawPointer + rawSize), 0);

    const size_t h = target.header;
    if (!inPlace) {
        // Tools that show resources look for the section by its name, so the
        // new one takes ".rsrc" and the one it replaces is renamed.
        static const char kName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        static const char kOldName[8] = {'.', 'r', 's', 'r', 'c', 'o', 'l', 'd'};
        if (current >= 0) {
            const auto old =
                result.begin() + static_cast<std::ptrdiff_t>(pe.sections[current].header);
            if (std::equal(kName, kName + 8, old)) std::copy(kOldName, kOldName + 8, old);
        }
        std::copy(kName, kName + 8, result.begin() + static_cast<std::ptrdiff_t>(h));
        Put32(result, h + 12, target.virtualAddress);
        Put32(result, h + 20, target.rawPointer);
        Put32(result, h + 36, target.characteristics);
        Put16(result, pe.NumberOfSectionsOffset(), static_cast<uint32_t>(pe.sections.size() + 1));
    }
    Put32(result, h + 8, static_cast<uint32_t>(section.size()));
    Put32(result, h + 16, static_cast<uint32_t>(rawSize));
    Put32(result, pe.directories + 8 * kDirectoryResource, target.virtualAddress);
    Put32(result, pe.directories + 8 * kDirectoryResource + 4,
          static_cast<uint32_t>(section.size()));
    Put32(result, pe.SizeOfImageOffset(), static_cast<uint32_t>(newImageSize));
    Put32(result, pe.CheckSumOffset(), PeChecksum(result, pe.CheckSumOffset()));
    // Whatever the input's headers said, success means a program our own
    // reader (and so the player's loader) takes, holding every resource.
    std::vector<PeResource> written;
    std::string why;
    if (!ReadTree(result, false, written, why) || written.size() != CountDistinct(resources)) {
        error = "the program cannot take a new resource section" +
                (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    out = std::move(result);
    return true;
}
