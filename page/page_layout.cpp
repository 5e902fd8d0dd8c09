#include "page/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "answers/answer_rules.h"
#include "page/control_ids.h"
#include "shell/dpi_scale.h"

namespace {

// List layout: one row per question, 25 pixels apart.
constexpr int32_t LIST_ROW_STEP = 25;
constexpr int32_t LIST_CONTENT_WIDTH = 880;

// Grid layout: three columns 290 pixels apart; with two answers the
// captions take a 60-pixel margin at the left.
constexpr int32_t GRID_LEFT = 46;
constexpr int32_t GRID_LEFT_WITH_CAPTIONS = 106;
constexpr int32_t GRID_COLUMN_STEP = 290;
constexpr int32_t GRID_CONTENT_WIDTH = 890;
constexpr int32_t GRID_PICTURE_GAP = 10;  // between a row's pictures and its answers
constexpr int32_t VIDEO_HOST_WIDTH = 260;
constexpr int32_t VIDEO_HOST_HEIGHT = 200;
constexpr int32_t VIDEO_ANSWER_TOP = 210;
constexpr int32_t MEDIA_ANSWER_INDENT = 20;  // the play and stop buttons sit left of the answers
constexpr int32_t MEDIA_BLOCK_WIDTH = 240;
constexpr int32_t ANSWER_ROW_STEP = 19;
constexpr int32_t TWO_ANSWER_LABEL_WIDTH = 60;
constexpr int32_t EXTRA_TEXT_OFFSET = 46;
constexpr int32_t EXTRA_TEXT_HEIGHT = 65;
constexpr int32_t WORD_COUNT_HEIGHT = 20;
constexpr int32_t WORD_COUNT_MODE = 5;

// Below a row's answers: room for nothing, for the word count, or for the
// extra texts.
constexpr int32_t ROW_TAIL_PLAIN = 60;
constexpr int32_t ROW_TAIL_WORD_COUNT = 80;
constexpr int32_t ROW_TAIL_EXTRA_TEXT = 140;

// After the last question the content is widened for the right margin.
constexpr int32_t RIGHT_MARGIN_ONE_ANSWER = 20;
constexpr int32_t RIGHT_MARGIN_TWO_ANSWERS = 80;

// Adds the controls at the page's scale. Measures come in 96-DPI units and
// are scaled edge by edge, so controls that touch at 96 DPI still touch; a
// grid row's measures are taken from its top (or its answers' top), which is
// already in pixels because pictures are.
class Builder {
  public:
    Builder(PageLayout& layout, int32_t dpi) : layout_(layout), dpi_(dpi) {}

    int32_t Scale(int32_t value) const { return ScaleToDpi(value, dpi_); }

    void Place(PageControlKind kind, int32_t id, int32_t q, int32_t k, int32_t x, int32_t width,
               int32_t top, int32_t y, int32_t height, int32_t textLimit = 0) {
        const int32_t left = Scale(x);
        const int32_t upper = Scale(y);
        Add(kind, id, q, k, left, top + upper, Scale(x + width) - left, Scale(y + height) - upper,
            textLimit);
    }

    void Add(PageControlKind kind, int32_t id, int32_t q, int32_t k, int32_t x, int32_t y,
             int32_t width, int32_t height, int32_t textLimit = 0) {
        layout_.controls.push_back({kind, id, q, k, x, y, width, height, textLimit});
    }

  private:
    PageLayout& layout_;
    int32_t dpi_;
};

int32_t FieldNumber(int32_t q, int32_t k, int32_t answersPerQuestion) {
    return answersPerQuestion == 2 ? 2 * (q - 1) + k : q;
}

void LayoutList(int32_t questions, int32_t dpi, PageLayout& layout) {
    Builder add(layout, dpi);
    int32_t y = PAGE_FIRST_ROW_TOP;
    for (int32_t q = 1; q <= questions; ++q) {
        add.Place(PAGE_NUMBER_LABEL, ID_NUMBER_LABEL, q, 0, 26, 19, 0, y + 2, 17);
        add.Place(PAGE_PROMPT, ID_PROMPT, q, 0, 50, 550, 0, y, PAGE_FIELD_HEIGHT);
        // One field per question in this layout, whatever answersPerQuestion says.
        add.Place(PAGE_ANSWER_FIELD, ID_ANSWER_EDIT + q, q, 1, 610, 170, 0, y, PAGE_FIELD_HEIGHT);
        add.Place(PAGE_RESULT_LABEL, ID_RESULT_LABEL + q, q, 1, 790, 100, 0, y, PAGE_FIELD_HEIGHT);
        y += LIST_ROW_STEP;
        layout.contentWidth = LIST_CONTENT_WIDTH;  // scaled with the margin
        layout.contentHeight = add.Scale(y);
    }
}

PictureSize PictureAt(const PageLayoutInput& input, int32_t q) {
    const size_t index = static_cast<size_t>(q - 1);
    return index < input.pictures.size() ? input.pictures[index] : PageMissingPicture(input.dpi);
}

void LayoutGrid(const PageLayoutInput& input, int32_t questions, PageLayout& layout) {
    Builder add(layout, input.dpi);
    layout.questionsPerRow = PAGE_QUESTIONS_PER_ROW;
    const int32_t apq = input.answersPerQuestion;
    const int32_t mode = input.displayMode;
    const int32_t box = add.Scale(PAGE_PICTURE_BOX);
    int32_t rowTop = add.Scale(PAGE_FIRST_ROW_TOP);
    int32_t rowHeight = 0;  // picture grid: the current row's tallest picture
    for (int32_t q = 1; q <= questions; ++q) {
        const int32_t column = (q - 1) % PAGE_QUESTIONS_PER_ROW;
        const int32_t left =
            (apq == 2 ? GRID_LEFT_WITH_CAPTIONS : GRID_LEFT) + GRID_COLUMN_STEP * column;
        int32_t answerTop = rowTop;
        int32_t answerLeft = left;
        int32_t blockWidth = PAGE_PICTURE_BOX;
        if (input.mediaKind == MEDIA_PICTURE) {
            if (column == 0) {
                rowHeight = 0;
                for (int32_t i = 0; i < PAGE_QUESTIONS_PER_ROW; ++i) {
                    rowHeight = std::max(rowHeight, PictureAt(input, q + i).height);
                }
                if (layout.rowCount < QUIZ_MAX_ROWS) {
                    layout.rowPictureHeight[layout.rowCount++] = rowHeight;
                }
            }
            const PictureSize picture = PictureAt(input, q);
            add.Add(PAGE_PICTURE, ID_PICTURE + q, q, 0, add.Scale(left) + (box - picture.width) / 2,
                    rowTop + (rowHeight - picture.height) / 2, picture.width, picture.height);
            answerTop = rowTop + rowHeight + add.Scale(GRID_PICTURE_GAP);
        } else {
            const bool video = input.mediaKind == MEDIA_VIDEO;
            add.Place(PAGE_MEDIA_HOST, ID_PICTURE + q, q, 0, left, video ? VIDEO_HOST_WIDTH : 0,
                      rowTop, 0, video ? VIDEO_HOST_HEIGHT : 0);
            answerTop = rowTop + (video ? add.Scale(VIDEO_ANSWER_TOP) : 0);
            answerLeft = left + MEDIA_ANSWER_INDENT;
            blockWidth = MEDIA_BLOCK_WIDTH;
        }

        if (apq == 2 && column == 0) {
            add.Place(PAGE_ANSWER_CAPTION, ID_ANSWER_CAPTION, q, 1, 4, 95, answerTop, 2, 20);
            add.Place(PAGE_ANSWER_CAPTION, ID_ANSWER_CAPTION, q, 2, 3, 95, answerTop, 22, 20);
        }
        add.Place(PAGE_NUMBER_LABEL, ID_NUMBER_LABEL + q, q, 0, left - 28, 27, answerTop, 2, 17);
        if (mode > 1) {
            add.Place(PAGE_EXTRA_TEXT, ID_EXTRA_TEXT + q, q, 0, left, PAGE_PICTURE_BOX, answerTop,
                      EXTRA_TEXT_OFFSET,
                      mode == WORD_COUNT_MODE ? WORD_COUNT_HEIGHT : EXTRA_TEXT_HEIGHT);
        }
        if (apq == 1) {
            add.Place(PAGE_ANSWER_FIELD, ID_ANSWER_EDIT + q, q, 1, answerLeft, blockWidth,
                      answerTop, 0, PAGE_FIELD_HEIGHT, PAGE_GRID_TEXT_LIMIT);
            add.Place(PAGE_RESULT_LABEL, ID_RESULT_LABEL + q, q, 1, answerLeft, blockWidth,
                      answerTop, ANSWER_ROW_STEP, PAGE_FIELD_HEIGHT);
        } else if (apq == 2) {
            for (int32_t k = 1; k <= 2; ++k) {
                const int32_t y = ANSWER_ROW_STEP * (k - 1);
                const int32_t n = FieldNumber(q, k, apq);
                add.Place(PAGE_ANSWER_FIELD, ID_ANSWER_EDIT + n, q, k, answerLeft,
                          blockWidth - TWO_ANSWER_LABEL_WIDTH + 1, answerTop, y,
                          PAGE_FIELD_HEIGHT, PAGE_GRID_TEXT_LIMIT);
                add.Place(PAGE_RESULT_LABEL, ID_RESULT_LABEL + n, q, k,
                          answerLeft + blockWidth - TWO_ANSWER_LABEL_WIDTH, TWO_ANSWER_LABEL_WIDTH,
                          answerTop, y, PAGE_FIELD_HEIGHT);
            }
        }
        if (input.mediaKind != MEDIA_PICTURE) {
            add.Place(PAGE_PLAY_BUTTON, ID_PLAY_BUTTON + q, q, 0, left, 20, answerTop, 0, 20);
            add.Place(PAGE_STOP_BUTTON, ID_STOP_BUTTON + q, q, 0, left, 20, answerTop, 20, 19);
        }

        if (q % PAGE_QUESTIONS_PER_ROW == 1) {
            layout.contentWidth = GRID_CONTENT_WIDTH;  // scaled with the margin
            layout.contentHeight =
                answerTop + add.Scale(mode > 1 ? ROW_TAIL_EXTRA_TEXT : ROW_TAIL_PLAIN);
        }
        if (q % PAGE_QUESTIONS_PER_ROW == 0) {
            rowTop = answerTop + add.Scale(mode <= 1                 ? ROW_TAIL_PLAIN
                                           : mode == WORD_COUNT_MODE ? ROW_TAIL_WORD_COUNT
                                                                     : ROW_TAIL_EXTRA_TEXT);
        }
    }
}

}  // namespace

int32_t PageQuestionCount(int32_t questionCount) {
    return std::clamp<int32_t>(questionCount, 0, QUIZ_MAX_QUESTIONS);
}

int32_t PagePicturesNeeded(int32_t questionCount) {
    const int32_t questions = PageQuestionCount(questionCount);
    return (questions + PAGE_QUESTIONS_PER_ROW - 1) / PAGE_QUESTIONS_PER_ROW *
           PAGE_QUESTIONS_PER_ROW;
}

PageLayout LayoutPage(const PageLayoutInput& input) {
    PageLayout layout;
    const int32_t questions = PageQuestionCount(input.questionCount);
    layout.controls.reserve(static_cast<size_t>(questions) * 10);
    if (input.mediaKind == MEDIA_NONE) {
        LayoutList(questions, input.dpi, layout);
    } else if (input.mediaKind >= MEDIA_PICTURE && input.mediaKind <= MEDIA_VIDEO) {
        LayoutGrid(input, questions, layout);
    }
    // The margin joins the content before scaling, as one measure.
    const int32_t margin =
        input.answersPerQuestion == 2 ? RIGHT_MARGIN_TWO_ANSWERS : RIGHT_MARGIN_ONE_ANSWER;
    layout.contentWidth = ScaleToDpi(layout.contentWidth + margin, input.dpi);
    return layout;
}

size_t PageRowEnd(const PageLayout& layout, size_t first) {
    const std::vector<PageControl>& controls = layout.controls;
    if (first >= controls.size()) return controls.size();
    const int32_t perRow = std::max<int32_t>(layout.questionsPerRow, 1);
    const int32_t row = (controls[first].question - 1) / perRow;
    size_t end = first + 1;
    while (end < controls.size() && (controls[end].question - 1) / perRow == row) ++end;
    return end;
}

size_t PageControlsAbove(const PageLayout& layout, int32_t bottom) {
    size_t first = 0;
    while (first < layout.controls.size()) {
        const size_t end = PageRowEnd(layout, first);
        // A row's top is its highest control: a short picture is centred
        // lower than the row's tallest one.
        int32_t top = layout.controls[first].y;
        for (size_t i = first; i < end; ++i) top = std::min(top, layout.controls[i].y);
        if (top >= bottom) break;
        first = end;
    }
    return first;
}

int32_t PagePictureBox(int32_t dpi) {
    return ScaleToDpi(PAGE_PICTURE_BOX, dpi);
}

PictureSize PageMissingPicture(int32_t dpi) {
    return {PagePictureBox(dpi), 0};
}

int32_t CountAnswerWords(const char* answer) {
    int32_t words = 1;
    if (answer == nullptr) return words;
    for (const char* p = answer; *p != '\0'; ++p) {
        if (*p == '!') {
            if (p[1] == '\0') break;
            ++p;  // the character after "!" is not looked at
            continue;
        }
        const unsigned char c = TypographicTwin(static_cast<unsigned char>(*p));
        if (c == '\'' || c == ' ' || c == '-') ++words;
    }
    return words;
}

void FormatWordCount(int32_t words, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    std::snprintf(out, static_cast<size_t>(outSize), "en %d mot%s", static_cast<int>(words),
                  words != 1 ? "s" : "");
}

void FormatQuestionNumber(int32_t q, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    std::snprintf(out, static_cast<size_t>(outSize), "%d.", static_cast<int>(q));
}

bool IsResultLabelId(int32_t id, int32_t fieldCount) {
    return id > ID_RESULT_LABEL && id <= ID_RESULT_LABEL + fieldCount;
}

namespace {

// The number labels, the answer captions and the extra texts stand on the
// quiz colour. The number range reaches 240 identifiers beyond the fields.
bool StandsOnQuizColour(int32_t id, int32_t fieldCount) {
    return (id >= ID_NUMBER_LABEL && id <= fieldCount + ID_NUMBER_LABEL + 240) ||
           id == ID_ANSWER_CAPTION || (id > ID_EXTRA_TEXT && id <= ID_EXTRA_TEXT + fieldCount);
}

}  // namespace

StaticPaint ChooseStaticPaint(int32_t id, int32_t fieldCount, const char* resultText) {
    if (StandsOnQuizColour(id, fieldCount)) return PAINT_ON_QUIZ_COLOUR;
    if (IsResultLabelId(id, fieldCount)) {
        const char* text = resultText != nullptr ? resultText : "";
        if (std::strcmp(text, VERDICT_ANAGRAMME) == 0) return PAINT_ANAGRAM;
        if (std::strcmp(text, VERDICT_BRAVO) == 0) return PAINT_BRAVO;
        if (std::strcmp(text, VERDICT_FAUX) == 0) return PAINT_WRONG;
        if (std::strcmp(text, VERDICT_EMPTY) == 0) return PAINT_DEFAULT;
        if (std::strcmp(text, VERDICT_ACCENTS) == 0) return PAINT_ACCENTS;
        return PAINT_HINT;
    }
    if (id == ID_PROMPT) return PAINT_PROMPT;
    return PAINT_DEFAULT;
}

namespace {

// An sRGB channel's share of light, from 0 to 1.
double LinearChannel(uint8_t value) {
    const double s = value / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

}  // namespace

bool UseWhiteText(uint8_t red, uint8_t green, uint8_t blue) {
    const double luminance = 0.2126 * LinearChannel(red) + 0.7152 * LinearChannel(green) +
                             0.0722 * LinearChannel(blue);
    // Contrast with white is 1.05 / (L + 0.05), with black (L + 0.05) / 0.05:
    // white wins while (L + 0.05)^2 < 1.05 * 0.05.
    const double lifted = luminance + 0.05;
    return lifted * lifted < 1.05 * 0.05;
}
