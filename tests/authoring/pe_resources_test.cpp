#include "authoring/pe_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/authoring/fixture.h"

namespace {

// One line per resource, in the order of the list; ids as 'string or #number.
std::vector<std::string> Listed(const std::vector<PeResource>& list) {
    auto id = [](const ResourceId& i) {
        return i.isString ? "'" + std::string(i.text.begin(), i.text.end())
                          : "#" + std::to_string(i.number);
    };
    std::vector<std::string> lines;
    for (const PeResource& r : list) {
        lines.push_back(id(r.type) + id(r.name) + " " + std::to_string(r.language) + " " +
                        std::string(r.bytes.begin(), r.bytes.end()));
    }
    return lines;
}

std::vector<std::string> ReadBack(const std::vector<uint8_t>& image) {
    std::vector<PeResource> read;
    std::string error;
    EXPECT_TRUE(ReadPeResources(image, read, error)) << error;
    return Listed(read);
}

// In directory order: names (by UTF-16 unit) before numbers (ascending).
std::vector<PeResource> PlayerResources() {
    const ResourceId img = ResourceId::Named("IMG"), patch = ResourceId::Named("PATCH");
    ResourceId accented = ResourceId::Named("");
    accented.text = u"\u00C9T\u00C9";
    return {{img, ResourceId::Named("LOGO"), 0, 0, {9}},
            {img, accented, 0x409, 0, {8, 8}},
            {img, ResourceId::Number(401), 0, 0, {0xFF, 0xD8}},
            {patch, ResourceId::Number(104), 0x409, 0, {4, 5}},
            {patch, ResourceId::Number(104), 0x40C, 0, {6}},
            {ResourceId::Number(5), ResourceId::Number(1001), 0x40C, 0, {1, 2, 3}},
            {ResourceId::Number(RESOURCE_TYPE_RCDATA), ResourceId::Number(402), 0, 0,
             std::vector<uint8_t>(300, 'm')},
            {ResourceId::Number(24), ResourceId::Number(1), 0x40C, 0, {}}};
}

// Replaced in a new section, or in place when last: headers follow, the program stays.
TEST(PeResources, ReadsAndReplacesKeepingTheProgramAndUpdatingEveryHeader) {
    const std::vector<PeResource> replacement = {
        {ResourceId::Named("IMG"), ResourceId::Number(401), 0, 0, std::vector<uint8_t>(777, 2)},
        {ResourceId::Named("PATCH"), ResourceId::Number(104), 0, 0, std::vector<uint8_t>(5000, 1)}};
    for (const bool last : {false, true}) {
        SCOPED_TRACE(last ? "resources last" : ".reloc last");
        std::vector<uint8_t> image = MakeFixtureImage(PlayerResources(), last), cut = image, out,
                             again;
        // The empty last resource ends the section, cut to size as some linkers leave it.
        const size_t table = kFixtureSectionTable;
        FixturePut(cut, table + 40 + 16, FixtureGet(cut, table + 40 + 8));
        EXPECT_EQ(ReadBack(cut), Listed(PlayerResources()));
        std::string error;
        ASSERT_TRUE(ReplacePeResources(image, replacement, out, error)) << error;

        const uint32_t sections = FixtureGet(out, kFixturePeOffset + 6, 2);
        EXPECT_EQ(sections, last ? 2u : 4u);
        const size_t last = table + 40 * (sections - 1u);
        const uint32_t rva = FixtureGet(out, last + 12), size = FixtureGet(out, last + 8);
        const uint32_t raw = FixtureGet(out, last + 16), pointer = FixtureGet(out, last + 20);
        EXPECT_EQ(FixtureGet(out, kFixtureDirectories + 20), size);
        EXPECT_EQ(FixtureGet(out, kFixtureOptional + 56),  // SizeOfImage
                  (rva + size + kFixtureSectionAlignment - 1) & ~(kFixtureSectionAlignment - 1));
        EXPECT_EQ((pointer | raw) % kFixtureFileAlignment, 0u);
        EXPECT_EQ(out.size(), size_t{pointer} + raw);
        const auto text = image.begin() + kFixtureHeaders;  // 0x300 bytes
        EXPECT_TRUE(std::equal(text, text + 0x300, out.begin() + kFixtureHeaders)) << ".text moved";
        EXPECT_EQ(ReadBack(out), Listed(replacement));

        // A second build rewrites its own section instead of adding another.
        ASSERT_TRUE(ReplacePeResources(out, PlayerResources(), again, error)) << error;
        EXPECT_EQ(FixtureGet(again, kFixturePeOffset + 6, 2), sections);
        EXPECT_EQ(ReadBack(again), Listed(PlayerResources()));
    }
}

// No sections and a SizeOfImage of 0: the new section still goes past the headers.
TEST(PeResources, NewSectionNeverOverlapsTheHeaders) {
    std::vector<uint8_t> image = MakeFixtureImage({}), out;
    FixturePut(image, kFixturePeOffset + 6, 0, 2);
    FixturePut(image, kFixtureOptional + 56, 0);
    std::fill(image.begin() + kFixtureSectionTable, image.begin() + kFixtureHeaders, 0);
    std::string error;
    ASSERT_TRUE(ReplacePeResources(image, PlayerResources(), out, error)) << error;
    EXPECT_GE(FixtureGet(out, kFixtureSectionTable + 12), kFixtureHeaders);
    EXPECT_EQ(ReadBack(out), Listed(PlayerResources()));
}

TEST(PeResources, RefusesDamagedOrUnsuitablePrograms) {
    const size_t table = kFixtureSectionTable, dirs = kFixtureDirectories, opt = kFixtureOptional;
    const std::vector<uint8_t> fixture = MakeFixtureImage(PlayerResources());
    const size_t rsrc = FixtureGet(fixture, table + 40 + 20);
    const uint8_t logo[] = {'L', 0, 'O', 0, 'G', 0, 'O', 0};  // its length comes first
    const size_t name =
        std::search(fixture.begin(), fixture.end(), logo, logo + 8) - fixture.begin();
    enum { kRead = 1, kReplace = 2, kBoth = 3 };  // which of the two refuse
    const struct {
        size_t at;  // where the damage goes
        uint32_t value;
        int bytes, refused;
        const char* error;
    } rows[] = {
        {0, 'Z', 1, kBoth, "not a Windows program (no MZ header)"},
        {0x3C, 0xFFFFFFF0u, 4, kBoth, "not a Windows program (no PE header)"},
        {opt, 0x107, 2, kBoth, "unsupported Windows program (optional header magic 263)"},
        {kFixturePeOffset + 6, 0xFFFF, 2, kBoth,
         "damaged Windows program (section table past the end of the file)"},
        {opt + 36, 0, 4, kBoth, "damaged Windows program (bad section or file alignment)"},
        {table + 40 + 12, 0x1200, 4, kBoth, "damaged Windows program (sections overlap)"},
        {table + 80 + 16, 0x400, 4, kBoth,
         "damaged Windows program (section data past the end of the file)"},
        {dirs + 16, 0x7FFF0000u, 4, kRead, "damaged resource section (outside the file)"},
        {rsrc + 14, 0xFFFF, 2, kRead, "damaged resource section (directory entries past the end)"},
        {rsrc + 20, 0x8FFFFFF0u, 4, kRead, "damaged resource section (directory past the end)"},
        {rsrc + 20, 0x10, 4, kRead, "damaged resource section (tree of the wrong depth)"},
        {name - 2, 257, 2, kRead, "damaged resource section (a name of more than 256 characters)"},
        {dirs + 36, 0x100, 4, kReplace,
         "the program is signed; changing it would break its signature"},
        {table + 120 + 4, 1, 1, kReplace, "the program's headers have no room for another section"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        std::vector<uint8_t> image = MakeFixtureImage(PlayerResources()), out;
        FixturePut(image, row.at, row.value, row.bytes);
        std::vector<PeResource> read;
        std::string readError, replaceError;
        EXPECT_EQ(ReadPeResources(image, read, readError), !(row.refused & kRead));
        EXPECT_EQ(ReplacePeResources(image, {}, out, replaceError), !(row.refused & kReplace));
        EXPECT_EQ(readError, row.refused & kRead ? row.error : "");
        EXPECT_EQ(replaceError, row.refused & kReplace ? row.error : "");
    }
}

}  // namespace
