#include "page/page_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/control_ids.h"

namespace {

PageLayoutInput Input(int32_t kind, int32_t questions, int32_t answers, int32_t mode,
                      std::vector<PictureSize> pictures = {}) {
    return {kind, questions, answers, mode, std::move(pictures)};
}

const PageControl* Find(const PageLayout& layout, int32_t id, int32_t q = 0) {
    for (const PageControl& c : layout.controls) {
        if (c.id == id && (q == 0 || c.question == q)) return &c;
    }
    return nullptr;
}

struct Box {
    int32_t x, y, width, height;
};

void ExpectBox(const PageLayout& layout, int32_t id, int32_t q, Box box, const char* what) {
    const PageControl* c = Find(layout, id, q);
    ASSERT_NE(c, nullptr) << what << " id " << id;
    EXPECT_EQ(std::vector<int32_t>({c->x, c->y, c->width, c->height}),
              std::vector<int32_t>({box.x, box.y, box.width, box.height}))
        << what << " id " << id;
}

TEST(PageLayout, ListRowsAre25PixelsApart) {
    const PageLayout layout = LayoutPage(Input(MEDIA_NONE, 3, 1, 0));
    ASSERT_EQ(layout.controls.size(), 12u);
    EXPECT_EQ(layout.contentWidth, 900);
    EXPECT_EQ(layout.contentHeight, 80);
    const struct {
        int32_t id, q;
        Box box;
    } rows[] = {
        {ID_NUMBER_LABEL, 1, {26, 7, 19, 17}},  {ID_PROMPT, 1, {50, 5, 550, 20}},
        {4001, 1, {610, 5, 170, 20}},           {5001, 1, {790, 5, 100, 20}},
        {ID_NUMBER_LABEL, 3, {26, 57, 19, 17}}, {ID_PROMPT, 3, {50, 55, 550, 20}},
        {4003, 3, {610, 55, 170, 20}},          {5003, 3, {790, 55, 100, 20}},
    };
    for (const auto& row : rows) ExpectBox(layout, row.id, row.q, row.box, "list");
    EXPECT_EQ(Find(layout, 4001)->textLimit, 0);  // the list sets no limit

    // Two answers: still one field per question, and 80 pixels wider.
    const PageLayout two = LayoutPage(Input(MEDIA_NONE, 2, 2, 0));
    ASSERT_EQ(two.controls.size(), 8u);
    EXPECT_NE(Find(two, 4002), nullptr);
    EXPECT_EQ(Find(two, 4003), nullptr);
    EXPECT_EQ(two.contentWidth, 960);
}

TEST(PageLayout, PictureRowTakesTheTallestOfThreePictures) {
    // Four questions: the second row holds question 4 alone but measures 404..406.
    const PageLayout layout =
        LayoutPage(Input(MEDIA_PICTURE, 4, 1, 0,
                         {{200, 100}, {260, 150}, {100, 120}, {260, 90}, {50, 200}, {10, 10}}));
    ASSERT_EQ(layout.rowCount, 2);
    EXPECT_EQ(layout.rowPictureHeight[0], 150);
    EXPECT_EQ(layout.rowPictureHeight[1], 200);
    // Row 0: Y 5, H 150, A 165. Row 1: Y = 165 + 60 = 225, A = 225 + 200 + 10 = 435.
    const struct {
        int32_t id, q;
        Box box;
    } rows[] = {
        {9901, 1, {46 + 30, 5 + 25, 200, 100}},  {9902, 2, {336, 5, 260, 150}},
        {9903, 3, {626 + 80, 5 + 15, 100, 120}}, {2001, 1, {18, 167, 27, 17}},
        {4001, 1, {46, 165, 260, 20}},           {5001, 1, {46, 184, 260, 20}},
        {4003, 3, {626, 165, 260, 20}},          {9904, 4, {46, 225 + 55, 260, 90}},
        {4004, 4, {46, 435, 260, 20}},
    };
    for (const auto& row : rows) ExpectBox(layout, row.id, row.q, row.box, "picture grid");
    EXPECT_EQ(layout.contentHeight, 435 + 60);
    EXPECT_EQ(layout.contentWidth, 910);
    EXPECT_EQ(Find(layout, 4001)->textLimit, 128);

    // Missing pictures take the box width and no height.
    const PageLayout missing = LayoutPage(Input(MEDIA_PICTURE, 2, 1, 0));
    ExpectBox(missing, 9901, 1, {46, 5, 260, 0}, "missing");
    ExpectBox(missing, 4001, 1, {46, 15, 260, 20}, "missing");
    EXPECT_EQ(missing.rowPictureHeight[0], 0);
}

TEST(PageLayout, TwoAnswersShiftTheGridAndAddCaptionsPerRow) {
    const PageLayout layout = LayoutPage(Input(MEDIA_PICTURE, 4, 2, 0));
    // Question 2: fields 4003/4004, labels 5003/5004 at X = 106 + 290.
    const struct {
        int32_t id, q;
        Box box;
    } rows[] = {
        {4003, 2, {396, 15, 201, 20}}, {5003, 2, {596, 15, 60, 20}}, {4004, 2, {396, 34, 201, 20}},
        {5004, 2, {596, 34, 60, 20}},  {2002, 2, {368, 17, 27, 17}}, {4001, 1, {106, 15, 201, 20}},
    };
    for (const auto& row : rows) ExpectBox(layout, row.id, row.q, row.box, "two answers");
    int captions = 0;
    for (const PageControl& c : layout.controls) {
        if (c.kind != PAGE_ANSWER_CAPTION) continue;
        ++captions;
        EXPECT_TRUE(c.question == 1 || c.question == 4) << c.question;
        EXPECT_EQ(c.id, ID_ANSWER_CAPTION);
    }
    EXPECT_EQ(captions, 4);
    ExpectBox(layout, ID_ANSWER_CAPTION, 4, {4, 85 + 2, 95, 20}, "caption row 2");
    EXPECT_EQ(layout.contentWidth, 970);
}

TEST(PageLayout, DisplayModesSetExtraTextsAndRowSteps) {
    const struct {
        int32_t mode;
        bool extra;
        int32_t extraHeight;
        int32_t secondRowTop;  // row top of question 4 (pictures missing: A = Y + 10)
        int32_t contentHeight;
    } cases[] = {
        {0, false, 0, 15 + 60, 85 + 60},    {1, false, 0, 15 + 60, 85 + 60},
        {2, true, 65, 15 + 140, 165 + 140}, {5, true, 20, 15 + 80, 105 + 140},
        {6, true, 65, 15 + 140, 165 + 140},
    };
    for (const auto& c : cases) {
        const PageLayout layout = LayoutPage(Input(MEDIA_PICTURE, 4, 1, c.mode));
        const PageControl* extra = Find(layout, ID_EXTRA_TEXT + 1);
        EXPECT_EQ(extra != nullptr, c.extra) << c.mode;
        if (extra != nullptr) {
            EXPECT_EQ(extra->y, 15 + 46);
            EXPECT_EQ(extra->height, c.extraHeight);
            EXPECT_EQ(extra->width, 260);
        }
        EXPECT_EQ(Find(layout, ID_PICTURE + 4)->y, c.secondRowTop) << c.mode;
        EXPECT_EQ(layout.contentHeight, c.contentHeight) << c.mode;
    }
}

TEST(PageLayout, SoundAndVideoGridsPlaceHostsAndButtons) {
    const struct {
        int32_t kind;
        Box host, field, play, stop;
    } cases[] = {
        {MEDIA_SOUND, {336, 5, 0, 0}, {356, 5, 240, 20}, {336, 5, 20, 20}, {336, 25, 20, 19}},
        {MEDIA_VIDEO,
         {336, 5, 260, 200},
         {356, 215, 240, 20},
         {336, 215, 20, 20},
         {336, 235, 20, 19}},
    };
    for (const auto& c : cases) {
        const PageLayout layout = LayoutPage(Input(c.kind, 3, 1, 0));
        ExpectBox(layout, ID_PICTURE + 2, 2, c.host, "host");
        ExpectBox(layout, ID_ANSWER_EDIT + 2, 2, c.field, "field");
        ExpectBox(layout, ID_PLAY_BUTTON + 2, 2, c.play, "play");
        ExpectBox(layout, ID_STOP_BUTTON + 2, 2, c.stop, "stop");
        EXPECT_EQ(layout.rowCount, 0);
    }
}

TEST(PageLayout, MaximalQuizFitsIn32BitsAndEveryIdentifierIsUnique) {
    std::vector<PictureSize> pictures(96, PictureSize{260, 260});
    const PageLayout layout = LayoutPage(Input(MEDIA_PICTURE, 96, 2, 3, pictures));
    ASSERT_EQ(layout.rowCount, 32);
    // Rows are 260 + 10 + 140 = 410 apart; the last starts at 5 + 31 * 410.
    EXPECT_EQ(layout.contentHeight, 5 + 31 * 410 + 270 + 140);
    ExpectBox(layout, 4192, 96, {106 + 580, 5 + 31 * 410 + 270 + 19, 201, 20}, "last field");
    std::vector<int> seen(20000, 0);
    for (const PageControl& c : layout.controls) {
        EXPECT_LE(c.y + c.height, layout.contentHeight);
        EXPECT_LE(c.x + c.width, layout.contentWidth);
        if (c.id != ID_ANSWER_CAPTION) {
            EXPECT_EQ(seen[static_cast<size_t>(c.id)]++, 0) << c.id;
        }
    }
    // A quiz claiming more than 96 questions shows 96 and records 32 rows.
    const PageLayout clamped = LayoutPage(Input(MEDIA_PICTURE, 200, 1, 0, pictures));
    EXPECT_EQ(clamped.rowCount, 32);
    EXPECT_EQ(Find(clamped, ID_ANSWER_EDIT + 97), nullptr);
    EXPECT_EQ(PagePicturesNeeded(4), 6);
    EXPECT_EQ(PagePicturesNeeded(-3), 0);

    // Unknown media kinds and other answer counts create nothing.
    EXPECT_TRUE(LayoutPage(Input(4, 3, 1, 0)).controls.empty());
    const PageLayout three = LayoutPage(Input(MEDIA_PICTURE, 1, 3, 0));
    for (const PageControl& c : three.controls) {
        EXPECT_NE(c.kind, PAGE_ANSWER_FIELD);
        EXPECT_NE(c.kind, PAGE_RESULT_LABEL);
    }
}

TEST(PageTexts, WordCountsAndNumbers) {
    const struct {
        const char* answer;
        const char* text;
    } cases[] = {
        {"l'arc-en-ciel", "en 4 mots"}, {"a!-b", "en 1 mot"},   {"PARIS", "en 1 mot"},
        {"tour eiffel", "en 2 mots"},   {"abc!", "en 1 mot"},   {"", "en 1 mot"},
        {"a - b", "en 4 mots"},         {"!!a b", "en 2 mots"},
    };
    for (const auto& c : cases) {
        char text[32];
        FormatWordCount(CountAnswerWords(c.answer), text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.answer;
    }
    char number[8];
    FormatQuestionNumber(96, number, sizeof number);
    EXPECT_STREQ(number, "96.");
}

TEST(PagePaint, StaticsAreColouredByIdentifierAndText) {
    const int32_t fields = 6;  // 3 questions, 2 answers
    const struct {
        int32_t id;
        const char* text;
        StaticPaint paint;
    } cases[] = {
        {2000, nullptr, PAINT_ON_QUIZ_COLOUR}, {2003, nullptr, PAINT_ON_QUIZ_COLOUR},
        {2246, nullptr, PAINT_ON_QUIZ_COLOUR}, {2247, nullptr, PAINT_DEFAULT},
        {156, nullptr, PAINT_ON_QUIZ_COLOUR},  {8001, nullptr, PAINT_ON_QUIZ_COLOUR},
        {8006, nullptr, PAINT_ON_QUIZ_COLOUR}, {8007, nullptr, PAINT_DEFAULT},
        {5001, "Anagramme", PAINT_ANAGRAM},    {5002, "BRAVO", PAINT_BRAVO},
        {5003, "FAUX", PAINT_WRONG},           {5004, "?", PAINT_DEFAULT},
        {5006, "Presque", PAINT_HINT},         {5007, "BRAVO", PAINT_DEFAULT},
        {5000, "BRAVO", PAINT_DEFAULT},        {3000, nullptr, PAINT_PROMPT},
        {9901, nullptr, PAINT_DEFAULT},        {5005, "", PAINT_HINT},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseStaticPaint(c.id, fields, c.text), c.paint) << c.id;
    EXPECT_TRUE(UseWhiteText(60, 60) && UseWhiteText(69, 0));
    EXPECT_FALSE(UseWhiteText(70, 60) || UseWhiteText(60, 70));
}

}  // namespace
