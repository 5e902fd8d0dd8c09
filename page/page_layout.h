// Where every control of the question page goes, worked out from the quiz's
// parameters alone: the list layout of a text quiz (one row per question) and
// the grid layout of picture, sound and video quizzes (three questions per
// row). Pure arithmetic, so the geometry is tested natively; the page's
// window code creates the controls in the order given here.
#pragma once

#include <cstdint>
#include <vector>

#include "quiz/quiz_record.h"

constexpr int32_t PAGE_FIRST_ROW_TOP = 5;
constexpr int32_t PAGE_PICTURE_BOX = 260;  // pictures are fitted into 260 x 260
constexpr int32_t PAGE_FIELD_HEIGHT = 20;
constexpr int32_t PAGE_GRID_TEXT_LIMIT = 128;  // characters a grid answer field accepts when typed
constexpr int32_t PAGE_QUESTIONS_PER_ROW = 3;

enum PageControlKind : int32_t {
    PAGE_NUMBER_LABEL,    // "q." (every layout)
    PAGE_PROMPT,          // list layout: the question's text
    PAGE_ANSWER_FIELD,    // "Edit", takes one line of the answers file
    PAGE_RESULT_LABEL,    // "?" until judged
    PAGE_ANSWER_CAPTION,  // grid, two answers: answerLabel1 / answerLabel2 at a row's left
    PAGE_EXTRA_TEXT,      // grid, display modes above 1
    PAGE_PICTURE,         // picture grid: the question's picture
    PAGE_MEDIA_HOST,      // sound and video grids: the player's host window
    PAGE_PLAY_BUTTON,
    PAGE_STOP_BUTTON,
};

struct PageControl {
    PageControlKind kind;
    int32_t id;
    int32_t question;  // q, from 1
    int32_t answer;    // k (1 or 2) for fields, result labels and captions; 0 otherwise
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t textLimit;  // answer fields: typed-text limit, 0 for none
};

struct PictureSize {
    int32_t width;
    int32_t height;
};

// The side of the square pictures are fitted into, on a page at `dpi`.
int32_t PagePictureBox(int32_t dpi);
// A picture that could not be loaded takes the box's width and no height.
PictureSize PageMissingPicture(int32_t dpi);

struct PageLayoutInput {
    int32_t mediaKind = MEDIA_NONE;
    int32_t questionCount = 0;
    int32_t answersPerQuestion = 1;
    int32_t displayMode = 0;
    // Picture grid only: sizes of the pictures "IMG" 401, 402, ... (index
    // q - 1), fitted into PagePictureBox(dpi). A row always takes the tallest
    // of its three pictures, also in a last row that holds fewer questions, so
    // PagePicturesNeeded() entries are read; missing entries count as
    // PageMissingPicture(dpi).
    std::vector<PictureSize> pictures;
    // The page's dots per inch: every measure of the layout is drawn up for 96
    // and scaled by dpi / 96 (ScaleToDpi); at 96 the layout is the design's.
    int32_t dpi = 96;
};

struct PageLayout {
    std::vector<PageControl> controls;  // in creation order
    int32_t contentWidth = 0;
    int32_t contentHeight = 0;
    int32_t rowCount = 0;                          // rows of the picture grid
    int32_t rowPictureHeight[QUIZ_MAX_ROWS] = {};  // tallest picture of each row
    int32_t questionsPerRow = 1;                   // 1 in the list layout, 3 in the grids
};

// Questions the page shows: questionCount limited to 0..96.
int32_t PageQuestionCount(int32_t questionCount);
// Pictures a picture grid of that many questions loads: its rows times three.
int32_t PagePicturesNeeded(int32_t questionCount);

PageLayout LayoutPage(const PageLayoutInput& input);

// A row's controls follow each other in `controls`: the index just past the
// row whose first control is `first`.
size_t PageRowEnd(const PageLayout& layout, size_t first);
// How many controls, from the first, make the rows whose top lies above
// `bottom`: what a view of the page down to `bottom` needs made. The page
// makes the rest while the pupil does nothing.
size_t PageControlsAbove(const PageLayout& layout, int32_t bottom);

// Display mode 5's extra text counts the words of the expected answer: one
// more than its apostrophes, spaces and hyphens, where a "!" hides the
// character after it (and a final "!" ends the count).
int32_t CountAnswerWords(const char* answer);
// "en 1 mot", "en 3 mots".
void FormatWordCount(int32_t words, char* out, int outSize);
// The number label's text: "q.".
void FormatQuestionNumber(int32_t q, char* out, int outSize);

// How the page paints one of its static controls (WM_CTLCOLORSTATIC).
enum StaticPaint : int32_t {
    PAINT_DEFAULT,         // the platform's colours
    PAINT_ON_QUIZ_COLOUR,  // transparent text on the quiz colour
    PAINT_ANAGRAM,         // result label "Anagramme": orange
    PAINT_BRAVO,           // green
    PAINT_WRONG,           // "FAUX": red
    PAINT_HINT,            // any other hint: gold
    PAINT_PROMPT,          // list layout question text: light yellow
    PAINT_ACCENTS,         // "Accents": sky blue, apart from the red-to-green scale
};

// True for the identifiers whose colour depends on the label's text.
bool IsResultLabelId(int32_t id, int32_t fieldCount);
// `resultText` is read only for result labels (it may be null otherwise).
StaticPaint ChooseStaticPaint(int32_t id, int32_t fieldCount, const char* resultText);
// Texts on the quiz colour are black or white, whichever contrasts better
// with it (relative luminance and contrast ratio as in WCAG 2).
bool UseWhiteText(uint8_t red, uint8_t green, uint8_t blue);
