#include "quiz/quiz_data_win.h"

#include "shell/dpi_scale.h"
#include "shell/dpi_win.h"

namespace {

HFONT MakeTextFont(int32_t dpi) {
    LOGFONTA description = {};
    description.lfHeight = ScaleToDpi(25, dpi);
    description.lfWeight = FW_NORMAL;
    lstrcpynA(description.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&description);
}

HFONT MakeEmphasisFont(int32_t dpi) {
    LOGFONTA description = {};
    description.lfHeight = ScaleToDpi(-15, dpi);
    description.lfWeight = FW_BOLD;
    description.lfItalic = TRUE;
    return CreateFontIndirectA(&description);
}

template <typename Handle>
void Delete(Handle& object) {
    if (object != nullptr) DeleteObject(object);
    object = nullptr;
}

}  // namespace

QuizData::QuizData() {
    MakeFontsFor(DESIGN_DPI);
    quizBrush = CreateSolidBrush(QuizColor());
    brushRed = CreateSolidBrush(RGB(255, 0, 0));
    brushOrange = CreateSolidBrush(RGB(255, 100, 0));
    brushGold = CreateSolidBrush(RGB(255, 203, 38));
    brushLightYellow = CreateSolidBrush(RGB(255, 255, 192));
}

// The question nodes go with the record (QuizRecord's destructor), after the
// drawing objects.
QuizData::~QuizData() {
    Delete(quizBrush);
    Delete(brushRed);
    Delete(brushOrange);
    Delete(brushGold);
    Delete(brushLightYellow);
    Delete(emphasisFont);
    Delete(pageFont);
    Delete(textFont);
    Delete(guiFont);
}

void QuizData::MakeFontsFor(int32_t dpi) {
    Delete(textFont);
    Delete(emphasisFont);
    Delete(guiFont);
    textFont = MakeTextFont(dpi);
    emphasisFont = MakeEmphasisFont(dpi);
    guiFont = ScaledCopyOfFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), dpi);
}

void QuizData::RemakeQuizBrush() {
    HBRUSH fresh = CreateSolidBrush(QuizColor());
    Delete(quizBrush);
    quizBrush = fresh;
}

void QuizData::SetPageFont(HFONT font) {
    if (font == pageFont) return;
    Delete(pageFont);
    pageFont = font;
}
