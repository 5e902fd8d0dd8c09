#include "tools/pe_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tests/tools/pe_fixture.h"

namespace {

PeResource Res(ResourceId type, ResourceId name, uint16_t language, std::vector<uint8_t> bytes) {
    PeResource r;
    r.type = type;
    r.name = name;
    r.language = language;
    r.bytes = std::move(bytes);
    return r;
}

// One line per resource, in the directory order the reader returns them.
std::vector<std::string> Listed(std::vector<PeResource> list, bool sort = true) {
    if (sort) {
        std::stable_sort(list.begin(), list.end(), [](const PeResource& a, const PeResource& b) {
            if (a.type != b.type) return a.type < b.type;
            if (a.name != b.name) return a.name < b.name;
            return a.language < b.language;
        });
    }
    std::vector<std::string> lines;
    for (const PeResource& r : list) {
        std::string line;
        for (const ResourceId* id : {&r.type, &r.name}) {
            line += id->isString ? "'" : "#" + std::to_string(id->number);
            for (char16_t c : id->text) line += std::to_string(c) + "'";
        }
        lines.push_back(line + " " + std::to_string(r.language) + " " +
                        std::string(r.bytes.begin(), r.bytes.end()));
    }
    return lines;
}

std::vector<std::string> ReadBack(const std::vector<uint8_t>& image) {
    std::vector<PeResource> read;
    std::string error;
    EXPECT_TRUE(ReadPeResources(image, read, error)) << error;
    return Listed(read, false);
}

std::vector<PeResource> PlayerResources() {
    ResourceId accented;
    accented.isString = true;
    accented.text = u"\u00C9T\u00C9";
    return {
        Res(ResourceId::Number(5), ResourceId::Number(1001), 0x40C, {1, 2, 3}),
        Res(ResourceId::Number(24), ResourceId::Number(1), 0x40C, std::vector<uint8_t>(300, 'm')),
        Res(ResourceId::Named("IMG"), ResourceId::Number(401), 0, {0xFF, 0xD8}),
        Res(ResourceId::Named("IMG"), ResourceId::Named("LOGO"), 0, {9}),
        Res(ResourceId::Named("IMG"), accented, 0x409, {8, 8}),
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0x409, {4, 5}),
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0x40C, {6}),
        Res(ResourceId::Number(RESOURCE_TYPE_RCDATA), ResourceId::Number(402), 0, {}),
    };
}

TEST(PeResources, ReadsBackTheTreeItWrites) {
    for (bool plus : {true, false}) {
        EXPECT_EQ(ReadBack(MakeFixtureImage(PlayerResources(), {plus, false})),
                  Listed(PlayerResources()));
    }
    // An empty resource written last points at the very end of the section,
    // here cut to its exact size as a byte-aligned linker would leave it.
    std::vector<PeResource> list = {Res(ResourceId::Number(10), ResourceId::Number(1), 0, {7}),
                                    Res(ResourceId::Number(24), ResourceId::Number(1), 0, {})};
    std::vector<uint8_t> image = MakeFixtureImage(list);
    const size_t rsrc = FixtureSectionTable(true) + 40;
    FixturePut32(image, rsrc + 16, FixtureGet32(image, rsrc + 8));
    EXPECT_EQ(ReadBack(image), Listed(list));
}

TEST(PeResources, ReplacingKeepsTheProgramAndUpdatesEveryHeader) {
    const struct {
        bool plus, resourcesLast;
        uint16_t sectionsAfter;  // .reloc follows: a new section at the end
    } rows[] = {{true, false, 4}, {false, false, 4}, {true, true, 2}, {false, true, 2}};
    std::vector<PeResource> replacement = {
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0, std::vector<uint8_t>(5000, 1)),
        Res(ResourceId::Named("IMG"), ResourceId::Number(401), 0, std::vector<uint8_t>(777, 2)),
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "plus " << row.plus << " last " << row.resourcesLast);
        const std::vector<uint8_t> image =
            MakeFixtureImage(PlayerResources(), {row.plus, row.resourcesLast});
        std::vector<uint8_t> out;
        std::string error;
        ASSERT_TRUE(ReplacePeResources(image, replacement, out, error)) << error;

        const size_t opt = FixtureOptional(), table = FixtureSectionTable(row.plus);
        const uint16_t sections =
            static_cast<uint16_t>(out[kFixturePeOffset + 6] | out[kFixturePeOffset + 7] << 8);
        EXPECT_EQ(sections, row.sectionsAfter);
        const size_t last = table + 40 * (sections - 1u);
        const uint32_t rva = FixtureGet32(out, last + 12), size = FixtureGet32(out, last + 8);
        const uint32_t raw = FixtureGet32(out, last + 16), pointer = FixtureGet32(out, last + 20);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&out[last]), 5), ".rsrc");
        EXPECT_EQ(FixtureGet32(out, FixtureDirectories(row.plus) + 16), rva);
        EXPECT_EQ(FixtureGet32(out, FixtureDirectories(row.plus) + 20), size);
        EXPECT_EQ(FixtureGet32(out, opt + 56), (rva + size + kFixtureSectionAlignment - 1) /
                                                   kFixtureSectionAlignment *
                                                   kFixtureSectionAlignment);
        EXPECT_EQ(pointer % kFixtureFileAlignment, 0u);
        EXPECT_EQ(raw % kFixtureFileAlignment, 0u);
        EXPECT_EQ(out.size(), size_t{pointer} + raw);
        EXPECT_EQ(FixtureGet32(out, opt + 64), PeChecksum(out, opt + 64));
        if (row.resourcesLast) {
            EXPECT_EQ(rva, FixtureGet32(image, last + 12));
        } else {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&out[table + 40]), 8), ".rsrcold");
            EXPECT_GE(pointer, image.size());
        }
        const uint32_t text = FixtureGet32(out, table + 20);
        EXPECT_TRUE(
            std::equal(image.begin() + text, image.begin() + text + 0x300, out.begin() + text));
        EXPECT_EQ(ReadBack(out), Listed(replacement));

        // A second build rewrites its own section instead of adding another.
        std::vector<uint8_t> again;
        ASSERT_TRUE(ReplacePeResources(out, PlayerResources(), again, error)) << error;
        EXPECT_EQ(again[kFixturePeOffset + 6], out[kFixturePeOffset + 6]);
        EXPECT_EQ(ReadBack(again), Listed(PlayerResources()));
    }
}

TEST(PeResources, NewSectionNeverOverlapsTheHeaders) {
    // No sections and a SizeOfImage of 0: the new section must still start
    // past the headers, or the result would not read back.
    std::vector<uint8_t> image = MakeFixtureImage({});
    FixturePut16(image, kFixturePeOffset + 6, 0);
    FixturePut32(image, FixtureOptional() + 56, 0);
    std::fill(image.begin() + FixtureSectionTable(true), image.begin() + kFixtureHeaders, 0);
    std::vector<uint8_t> out;
    std::string error;
    ASSERT_TRUE(ReplacePeResources(image, PlayerResources(), out, error)) << error;
    EXPECT_GE(FixtureGet32(out, FixtureSectionTable(true) + 12), kFixtureHeaders);
    EXPECT_EQ(ReadBack(out), Listed(PlayerResources()));
}

TEST(PeResources, RefusesDamagedOrUnsuitablePrograms) {
    const size_t table = FixtureSectionTable(true), dirs = FixtureDirectories(true);
    enum { kRead = 1, kReplace = 2, kBoth = 3 };  // which of the two refuse
    const struct {
        std::function<void(std::vector<uint8_t>&)> harm;
        int refused;
        const char* error;
    } rows[] = {
        {[](auto& b) { b[0] = 'Z'; }, kBoth, "not a Windows program (no MZ header)"},
        {[](auto& b) { FixturePut32(b, 0x3C, 0xFFFFFFF0u); }, kBoth,
         "not a Windows program (no PE header)"},
        {[](auto& b) { FixturePut16(b, FixtureOptional(), 0x107); }, kBoth,
         "unsupported Windows program (optional header magic 263)"},
        {[](auto& b) { FixturePut16(b, kFixturePeOffset + 6, 0xFFFF); }, kBoth,
         "damaged Windows program (section table past the end of the file)"},
        {[](auto& b) { FixturePut32(b, FixtureOptional() + 36, 0); }, kBoth,
         "damaged Windows program (bad section or file alignment)"},
        {[table](auto& b) { FixturePut32(b, table + 40 + 12, 0x1200); }, kBoth,
         "damaged Windows program (sections overlap)"},
        {[](auto& b) { b.resize(b.size() - 1); }, kBoth,
         "damaged Windows program (section data past the end of the file)"},
        {[dirs](auto& b) { FixturePut32(b, dirs + 16, 0x7FFF0000u); }, kRead,
         "damaged resource section (outside the file)"},
        {[table](auto& b) { FixturePut16(b, FixtureGet32(b, table + 40 + 20) + 14, 0xFFFF); },
         kRead, "damaged resource section (directory entries past the end)"},
        {[table](auto& b) { FixturePut32(b, FixtureGet32(b, table + 40 + 20) + 20, 0x8FFFFFF0u); },
         kRead, "damaged resource section (directory past the end)"},
        {[table](auto& b) { FixturePut32(b, FixtureGet32(b, table + 40 + 20) + 20, 0x10); }, kRead,
         "damaged resource section (tree of the wrong depth)"},
        {[dirs](auto& b) { FixturePut32(b, dirs + 36, 0x100); }, kReplace,
         "the program is signed; changing it would break its signature"},
        {[table](auto& b) { b[table + 3 * 40 + 4] = 1; }, kReplace,
         "the program's headers have no room for another section"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        std::vector<uint8_t> image = MakeFixtureImage(PlayerResources());
        row.harm(image);
        std::vector<PeResource> read;
        std::vector<uint8_t> out;
        std::string readError, replaceError;
        EXPECT_EQ(ReadPeResources(image, read, readError), !(row.refused & kRead));
        EXPECT_EQ(ReplacePeResources(image, {}, out, replaceError), !(row.refused & kReplace));
        EXPECT_EQ(readError, row.refused & kRead ? row.error : "");
        EXPECT_EQ(replaceError, row.refused & kReplace ? row.error : "");
    }
}

}  // namespace
