#include "page/page_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/control_ids.h"

namespace {

const PageControl* Find(const PageLayout& layout, int32_t id, int32_t q = 0) {
    for (const PageControl& c : layout.controls) {
        if (c.id == id && (q == 0 || c.question == q)) return &c;
    }
    return nullptr;
}

std::vector<int32_t> BoxOf(const PageLayout& layout, int32_t id, int32_t q) {
    if (const PageControl* c = Find(layout, id, q)) return {c->x, c->y, c->width, c->height};
    return {};
}

// The real page is compared with LayoutPage control by control under wine;
// here, what that cannot see: pictures of other sizes centred in their box and
// row, a missing picture or sound host, captions at a row's start only, and every measure
// scaled edge by edge at 144 DPI (halves round up; a grid row from its top).
TEST(PageLayout, PicturesAndScaledMeasuresArePlacedByTheirEdges) {
    // Row 1 holds question 4 alone but measures pictures 404..406 (tallest 200).
    std::vector<PictureSize> pictures = {{200, 100}, {260, 150}, {100, 120},
                                         {260, 90},  {50, 200},  {10, 10}};
    const PageLayout grid = LayoutPage({MEDIA_PICTURE, 4, 1, 0, pictures});
    const PageLayout two = LayoutPage({MEDIA_PICTURE, 4, 2, 0, {}});
    const PageLayout sound = LayoutPage({MEDIA_SOUND, 3, 1, 0, {}});
    const PageLayout list144 = LayoutPage({MEDIA_NONE, 3, 1, 0, {}, 144});
    const PageLayout video144 = LayoutPage({MEDIA_VIDEO, 3, 1, 0, {}, 144});
    const PageLayout missing144 = LayoutPage({MEDIA_PICTURE, 2, 1, 0, {}, 144});
    const struct {
        const PageLayout* layout;
        int32_t id, q;
        std::vector<int32_t> box;
    } rows[] = {
        // clang-format off
        {&grid, 9901, 1, {76, 30, 200, 100}},             {&grid, 9902, 2, {336, 5, 260, 150}},
        {&grid, 9904, 4, {46, 280, 260, 90}},             {&grid, 4004, 4, {46, 435, 260, 20}},
        {&two, ID_ANSWER_CAPTION, 4, {4, 87, 95, 20}},    {&missing144, 9901, 1, {69, 8, 390, 0}},
        {&list144, ID_NUMBER_LABEL, 1, {39, 11, 29, 25}}, {&list144, 5001, 1, {1185, 8, 150, 30}},
        {&video144, 4002, 2, {534, 323, 360, 30}},        {&sound, ID_PICTURE + 2, 2, {336, 5, 0, 0}},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BoxOf(*row.layout, row.id, row.q), row.box) << "row " << &row - rows;
    }
    EXPECT_EQ(std::vector<int32_t>(grid.rowPictureHeight, grid.rowPictureHeight + 2),
              std::vector<int32_t>({150, 200}));
    EXPECT_EQ(std::vector<int32_t>({video144.contentWidth, video144.contentHeight}),
              std::vector<int32_t>({1365, 413}));
    std::vector<int32_t> captioned;
    for (const PageControl& c : two.controls) {
        if (c.kind == PAGE_ANSWER_CAPTION) captioned.push_back(c.question * 10 + c.answer);
    }
    EXPECT_EQ(captioned, std::vector<int32_t>({11, 12, 41, 42}));
}

TEST(PageLayout, DisplayModesSetExtraTextsAndRowSteps) {
    // Extra height 0: no extra-text label. Pictures missing, so answers sit 10 below a row's top.
    const struct {
        int32_t mode, extraHeight, secondRowTop, contentHeight;
    } cases[] = {{0, 0, 75, 145}, {2, 65, 155, 305}, {5, 20, 95, 245}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const PageLayout layout = LayoutPage({MEDIA_PICTURE, 4, 1, c.mode, {}});
        EXPECT_EQ(BoxOf(layout, ID_EXTRA_TEXT + 1, 1),
                  c.extraHeight ? std::vector<int32_t>({46, 15 + 46, 260, c.extraHeight})
                                : std::vector<int32_t>());
        EXPECT_EQ(Find(layout, ID_PICTURE + 4)->y, c.secondRowTop);
        EXPECT_EQ(layout.contentHeight, c.contentHeight);
    }
}

TEST(PageLayout, MaximalQuizFitsIn32BitsAndEveryIdentifierIsUnique) {
    std::vector<PictureSize> pictures(96, PictureSize{260, 260});
    const PageLayout layout = LayoutPage({MEDIA_PICTURE, 96, 2, 3, pictures});
    ASSERT_EQ(layout.rowCount, 32);
    ASSERT_NE(Find(layout, 4192, 96), nullptr);
    std::vector<int> seen(20000, 0);
    for (const PageControl& c : layout.controls) {
        EXPECT_LE(c.y + c.height, layout.contentHeight);
        EXPECT_LE(c.x + c.width, layout.contentWidth);
        EXPECT_TRUE(c.id == ID_ANSWER_CAPTION || seen[static_cast<size_t>(c.id)]++ == 0) << c.id;
    }
    // A quiz claiming more than 96 questions shows 96 and records 32 rows.
    const PageLayout clamped = LayoutPage({MEDIA_PICTURE, 200, 1, 0, pictures});
    EXPECT_EQ(clamped.rowCount, 32);
    EXPECT_EQ(Find(clamped, ID_ANSWER_EDIT + 97), nullptr);
    EXPECT_EQ(PagePicturesNeeded(4), 6);
    EXPECT_EQ(PagePicturesNeeded(-3), 0);

    // Unknown media kinds and other answer counts create nothing.
    EXPECT_TRUE(LayoutPage({4, 3, 1, 0, {}}).controls.empty());
    for (const PageControl& c : LayoutPage({MEDIA_PICTURE, 1, 3, 0, {}}).controls) {
        EXPECT_TRUE(c.kind != PAGE_ANSWER_FIELD && c.kind != PAGE_RESULT_LABEL);
    }
}

// The page makes the rows above its view's bottom first: always whole rows,
// and a row counts from its highest control, not from its first one.
TEST(PageLayout, RowsInViewEndAtARowBoundary) {
    // Question 1's short picture is centred 95 pixels below its row's top.
    const PageLayout grid = LayoutPage({MEDIA_PICTURE, 6, 1, 0, {{260, 10}, {260, 200}}});
    const PageLayout list = LayoutPage({MEDIA_NONE, 4, 1, 0, {}});
    const int32_t secondRow = Find(grid, ID_PICTURE + 4, 4)->y;
    const struct {
        const PageLayout* layout;
        int32_t bottom;
        size_t controls;
    } cases[] = {{&grid, 5, 0},  {&grid, 50, 12},  {&grid, secondRow, 12}, {&grid, secondRow + 1, 24},
                 {&list, 5, 0}, {&list, 31, 8}, {&list, 10000, 16}};
    for (const auto& c : cases) {
        EXPECT_EQ(PageControlsAbove(*c.layout, c.bottom), c.controls) << c.bottom;
    }
}

TEST(PageTexts, WordCounts) {
    std::string counts;  // "!" hides the next character; ' space and - (or twins) part words
    for (const char* answer : {"l'arc-en-ciel", "a!-b", "abc!", "!!a b",
                               "l\x92"
                               "a\xA0"
                               "b\x96"
                               "c"}) {
        char words[32];
        FormatWordCount(CountAnswerWords(answer), words, sizeof words);
        counts += std::string(words) + "|";
    }
    EXPECT_EQ(counts, "en 4 mots|en 1 mot|en 1 mot|en 2 mots|en 4 mots|");
}

TEST(PagePaint, StaticsAreColouredByIdentifierAndText) {
    const int32_t fields = 6;  // 3 questions, 2 answers; the page test checks each verdict's paint
    const struct {
        int32_t id;
        const char* text;
        StaticPaint paint;
    } cases[] = {
        // clang-format off
        {2000, nullptr, PAINT_ON_QUIZ_COLOUR}, {156, nullptr, PAINT_ON_QUIZ_COLOUR},
        {8006, nullptr, PAINT_ON_QUIZ_COLOUR}, {5007, "BRAVO", PAINT_DEFAULT},
        {5004, "?", PAINT_DEFAULT},            {5005, "", PAINT_HINT},
        {5006, "Accents", PAINT_ACCENTS},      {5006, "Anagramme", PAINT_ANAGRAM},
        {5006, "FAUX", PAINT_WRONG},           {5006, "Presque", PAINT_HINT},
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseStaticPaint(c.id, fields, c.text), c.paint) << c.id;
    // Black or white by the better WCAG contrast: pure blue and the greys up
    // to 117 take white; from 118, and green, take black.
    std::string white;
    for (const auto& c : std::vector<std::vector<uint8_t>>{
             {0, 0, 255}, {117, 117, 117}, {118, 118, 118}, {0, 160, 0}, {69, 0, 255}})
        white += UseWhiteText(c[0], c[1], c[2]) ? 'W' : 'B';
    EXPECT_EQ(white, "WWBBW");
}

}  // namespace
