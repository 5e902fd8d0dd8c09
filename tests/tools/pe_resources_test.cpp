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

ResourceId Utf16Name(std::u16string text) {
    ResourceId id;
    id.isString = true;
    id.text = std::move(text);
    return id;
}

// Resources as the reader returns them: in directory order.
std::vector<PeResource> Sorted(std::vector<PeResource> list) {
    std::stable_sort(list.begin(), list.end(), [](const PeResource& a, const PeResource& b) {
        if (a.type != b.type) return a.type < b.type;
        if (a.name != b.name) return a.name < b.name;
        return a.language < b.language;
    });
    return list;
}

void ExpectSameResources(const std::vector<PeResource>& actual,
                         const std::vector<PeResource>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(expected[i].type.Describe() + " " + expected[i].name.Describe());
        EXPECT_TRUE(actual[i].type == expected[i].type);
        EXPECT_TRUE(actual[i].name == expected[i].name);
        EXPECT_EQ(actual[i].language, expected[i].language);
        EXPECT_EQ(actual[i].bytes, expected[i].bytes);
    }
}

std::vector<PeResource> PlayerResources() {
    return {
        Res(ResourceId::Number(5), ResourceId::Number(1001), 0x40C, {1, 2, 3}),  // a dialog
        Res(ResourceId::Number(24), ResourceId::Number(1), 0x40C, std::vector<uint8_t>(300, 'm')),
        Res(ResourceId::Named("IMG"), ResourceId::Number(401), 0, {0xFF, 0xD8}),
        Res(ResourceId::Named("IMG"), ResourceId::Named("LOGO"), 0, {9}),
        Res(ResourceId::Named("IMG"), Utf16Name(u"\u00C9T\u00C9"), 0x409, {8, 8}),
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0x409, {4, 5}),
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0x40C, {6}),
        Res(ResourceId::Number(RESOURCE_TYPE_RCDATA), ResourceId::Number(402), 0, {}),
    };
}

TEST(PeResources, ReadsBackTheTreeItWrites) {
    for (bool plus : {true, false}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        const std::vector<PeResource> resources = PlayerResources();
        std::vector<PeResource> read;
        std::string error;
        ASSERT_TRUE(ReadPeResources(MakeFixtureImage(resources, {plus, false}), read, error))
            << error;
        ExpectSameResources(read, Sorted(resources));
    }
}

// An empty resource written last points at the very end of the section.
TEST(PeResources, EmptyResourceAtTheEndReadsBack) {
    std::vector<PeResource> list = {Res(ResourceId::Number(10), ResourceId::Number(1), 0, {7}),
                                    Res(ResourceId::Number(24), ResourceId::Number(1), 0, {})};
    std::vector<uint8_t> image = MakeFixtureImage(list);
    // File data cut to the section's exact size, as a byte-aligned linker
    // would leave it.
    const size_t rsrc = FixtureSectionTable(true) + 40;
    FixturePut32(image, rsrc + 16, FixtureGet32(image, rsrc + 8));
    std::vector<PeResource> read;
    std::string error;
    ASSERT_TRUE(ReadPeResources(image, read, error)) << error;
    ExpectSameResources(read, list);
}

struct Placement {
    bool plus;
    bool resourcesLast;
    uint16_t sectionsAfter;  // 3 sections in the fixture with .reloc, 2 without
    bool inPlace;
};

TEST(PeResources, ReplacingKeepsTheProgramAndUpdatesEveryHeader) {
    const Placement rows[] = {
        {true, false, 4, false},  // .reloc follows: a new section at the end
        {false, false, 4, false},
        {true, true, 2, true},  // resources already last: rewritten where they lie
        {false, true, 2, true},
    };
    std::vector<PeResource> replacement = {
        Res(ResourceId::Named("PATCH"), ResourceId::Number(104), 0, std::vector<uint8_t>(5000, 1)),
        Res(ResourceId::Named("IMG"), ResourceId::Number(401), 0, std::vector<uint8_t>(777, 2)),
    };
    for (const Placement& row : rows) {
        SCOPED_TRACE(testing::Message() << "plus " << row.plus << " last " << row.resourcesLast);
        const std::vector<uint8_t> image =
            MakeFixtureImage(PlayerResources(), {row.plus, row.resourcesLast});
        std::vector<uint8_t> out;
        std::string error;
        ASSERT_TRUE(ReplacePeResources(image, replacement, out, error)) << error;

        const size_t opt = FixtureOptional();
        const size_t table = FixtureSectionTable(row.plus);
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
        if (row.inPlace) {
            EXPECT_EQ(rva, FixtureGet32(image, last + 12));
        } else {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(&out[table + 40]), 8), ".rsrcold");
            EXPECT_GE(pointer, image.size());
        }
        // The code section is untouched.
        const uint32_t textPointer = FixtureGet32(out, table + 20);
        EXPECT_TRUE(std::equal(image.begin() + textPointer, image.begin() + textPointer + 0x300,
                               out.begin() + textPointer));

        std::vector<PeResource> read;
        ASSERT_TRUE(ReadPeResources(out, read, error)) << error;
        ExpectSameResources(read, Sorted(replacement));

        // A second build from the result rewrites its own section in place
        // instead of adding one more each time.
        std::vector<uint8_t> again;
        ASSERT_TRUE(ReplacePeResources(out, PlayerResources(), again, error)) << error;
        EXPECT_EQ(again[kFixturePeOffset + 6], out[kFixturePeOffset + 6]);
        ASSERT_TRUE(ReadPeResources(again, read, error)) << error;
        ExpectSameResources(read, Sorted(PlayerResources()));
    }
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> harm;
    const char* readError;     // null: reading still works
    const char* replaceError;  // null: replacing still works
};

TEST(PeResources, RefusesDamagedOrUnsuitablePrograms) {
    const size_t table = FixtureSectionTable(true);
    const size_t dirs = FixtureDirectories(true);
    const Damage rows[] = {
        {"no MZ", [](auto& b) { b[0] = 'Z'; }, "not a Windows program (no MZ header)",
         "not a Windows program (no MZ header)"},
        {"PE offset past the end", [](auto& b) { FixturePut32(b, 0x3C, 0xFFFFFFF0u); },
         "not a Windows program (no PE header)", "not a Windows program (no PE header)"},
        {"bad magic", [](auto& b) { FixturePut16(b, FixtureOptional(), 0x107); },
         "unsupported Windows program (optional header magic 263)",
         "unsupported Windows program (optional header magic 263)"},
        {"section table past the end",
         [](auto& b) { FixturePut16(b, kFixturePeOffset + 6, 0xFFFF); },
         "damaged Windows program (section table past the end of the file)",
         "damaged Windows program (section table past the end of the file)"},
        {"zero file alignment", [](auto& b) { FixturePut32(b, FixtureOptional() + 36, 0); },
         "damaged Windows program (bad section or file alignment)",
         "damaged Windows program (bad section or file alignment)"},
        {"sections overlap", [table](auto& b) { FixturePut32(b, table + 40 + 12, 0x1200); },
         "damaged Windows program (sections overlap)",
         "damaged Windows program (sections overlap)"},
        {"section data past the end", [](auto& b) { b.resize(b.size() - 1); },
         "damaged Windows program (section data past the end of the file)",
         "damaged Windows program (section data past the end of the file)"},
        {"tree outside the file", [dirs](auto& b) { FixturePut32(b, dirs + 16, 0x7FFF0000u); },
         "damaged resource section (outside the file)", nullptr},
        {"directory entry count too large",
         [table](auto& b) { FixturePut16(b, FixtureGet32(b, table + 40 + 20) + 14, 0xFFFF); },
         "damaged resource section (directory entries past the end)", nullptr},
        {"subdirectory past the end",
         [table](auto& b) { FixturePut32(b, FixtureGet32(b, table + 40 + 20) + 20, 0x8FFFFFF0u); },
         "damaged resource section (directory past the end)", nullptr},
        {"leaf where a directory belongs",
         [table](auto& b) { FixturePut32(b, FixtureGet32(b, table + 40 + 20) + 20, 0x10); },
         "damaged resource section (tree of the wrong depth)", nullptr},
        {"signed", [dirs](auto& b) { FixturePut32(b, dirs + 36, 0x100); }, nullptr,
         "the program is signed; changing it would break its signature"},
        {"no room for a section header", [table](auto& b) { b[table + 3 * 40 + 4] = 1; }, nullptr,
         "the program's headers have no room for another section"},
    };
    for (const Damage& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<uint8_t> image = MakeFixtureImage(PlayerResources());
        row.harm(image);
        std::vector<PeResource> read;
        std::vector<uint8_t> out;
        std::string error;
        EXPECT_EQ(ReadPeResources(image, read, error), row.readError == nullptr);
        if (row.readError != nullptr) {
            EXPECT_EQ(error, row.readError);
        }
        error.clear();
        EXPECT_EQ(ReplacePeResources(image, {}, out, error), row.replaceError == nullptr);
        if (row.replaceError != nullptr) {
            EXPECT_EQ(error, row.replaceError);
        }
    }
}

}  // namespace
