// The question page: builds its controls from the quiz record and the
// geometry of page_layout.h, restores the answers of the last run, and paints
// its static controls by what they say. The rows in view are made as the page
// starts and is placed, the others while the pupil does nothing.
#include "page/question_page_win.h"

#include <memory>
#include <vector>

#include "answers/answer_field_win.h"
#include "answers/answers_file.h"
#include "answers/answers_save_win.h"
#include "answers/verdicts_win.h"
#include "images/picture_win.h"
#include "page/control_ids.h"
#include "page/media_win.h"
#include "page/page_layout.h"
#include "page/page_scroll_win.h"
#include "shell/dpi_scale.h"
#include "shell/dpi_win.h"
#include "shell/shell_win.h"

WNDPROC g_prevEditProc = nullptr;
HBRUSH g_brushGreen = nullptr;
HBRUSH g_brushAccents = nullptr;

namespace {

constexpr COLORREF COLOUR_GREEN = RGB(0, 255, 0);
// "Accents" is the nearest miss, yet a different kind of slip from the
// letter hints: a hue off the red-orange-gold-green scale that the other
// verdicts use, which also stays apart from green and red for pupils who
// tell those two apart poorly, and light enough for black text.
constexpr COLORREF COLOUR_SKY_BLUE = RGB(135, 206, 250);
constexpr COLORREF COLOUR_RED = RGB(255, 0, 0);
constexpr COLORREF COLOUR_LIGHT_YELLOW = RGB(255, 255, 192);
constexpr COLORREF COLOUR_WHITE = RGB(255, 255, 255);
constexpr COLORREF COLOUR_BLACK = RGB(0, 0, 0);
constexpr int PAGE_FONT_HEIGHT = 15;
constexpr int PAGE_FONT_WEIGHT = 100;
constexpr int MEDIA_ICON_SIZE = 16;  // drawn inside 20 x 20 buttons
constexpr char PICTURE_TYPE[] = "IMG";

// The answers file, mapped read-only for the time of the build. Whatever way
// the build ends, the destructor lets go of the view, the mapping and the file.
class MappedAnswersFile {
  public:
    MappedAnswersFile() { Open(); }
    ~MappedAnswersFile() {
        if (view_ != nullptr) UnmapViewOfFile(view_);
        if (mapping_ != nullptr) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    MappedAnswersFile(const MappedAnswersFile&) = delete;
    MappedAnswersFile& operator=(const MappedAnswersFile&) = delete;

    const unsigned char* Data() const { return static_cast<const unsigned char*>(view_); }
    size_t Size() const { return view_ != nullptr ? size_ : 0; }

  private:
    void Open() {
        const char* name = AnswersFileToRestore();
        if (name == nullptr) return;
        file_ = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER size = {};
        // An empty file cannot be mapped, and has nothing to restore anyway.
        if (!GetFileSizeEx(file_, &size) || size.QuadPart <= 0 ||
            static_cast<unsigned long long>(size.QuadPart) > static_cast<size_t>(-1)) {
            return;
        }
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_ == nullptr) return;
        view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
        size_ = static_cast<size_t>(size.QuadPart);
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    size_t size_ = 0;
};

// Idle-time work: the rows still to make, then the pictures still to decode.
constexpr UINT_PTR IDLE_TIMER_ID = 1;
constexpr UINT FIRST_IDLE_DELAY = 100;  // ms after the build: the first paint comes first

// A picture label whose picture is still to be decoded holds the picture's
// resource identifier in this window property; the label's procedure decodes
// it before the label first paints, that is when it first comes into view.
constexpr char WAITING_PICTURE_PROPERTY[] = "BreloWaitingPicture";
WNDPROC g_prevPictureProc = nullptr;

// Decodes the label's waiting picture and shows it, unless the label
// already shows one (an answer picture, set when its answer was judged
// right). False when the label had nothing waiting.
bool LoadPendingPicture(HWND label) {
    const INT_PTR identifier =
        reinterpret_cast<INT_PTR>(RemovePropA(label, WAITING_PICTURE_PROPERTY));
    if (identifier == 0) return false;
    if (SendMessageA(label, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0) return true;
    const int32_t box = PagePictureBox(g_quiz != nullptr ? g_quiz->pageDpi : DESIGN_DPI);
    HBITMAP bitmap = LoadPictureResource(GetModuleHandleA(nullptr), static_cast<int>(identifier),
                                         PICTURE_TYPE, box, box);
    if (bitmap != nullptr) {
        SendMessageA(label, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
    return true;
}

LRESULT CALLBACK PictureLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) LoadPendingPicture(label);
    return CallWindowProcA(g_prevPictureProc, label, message, wParam, lParam);
}

// The pictures of a picture grid, sized before the layout needs them: from
// their headers, or else (a picture in another format) decoded at once.
// Each goes to its label, decoded or waiting; what is left at the end
// (pictures of questions past the last, or one that an answer picture
// already replaced) is deleted here.
class RowPictures {
  public:
    RowPictures(int32_t count, int32_t dpi)
        : bitmaps_(static_cast<size_t>(count), nullptr),
          sizes_(static_cast<size_t>(count), PageMissingPicture(dpi)),
          waiting_(static_cast<size_t>(count), false) {
        HMODULE module = GetModuleHandleA(nullptr);
        const int32_t box = PagePictureBox(dpi);
        for (size_t i = 0; i < sizes_.size(); ++i) {
            const int identifier = ID_QUESTION_PICTURE + static_cast<int>(i) + 1;
            SIZE size = {};
            if (FittedPictureSize(module, identifier, PICTURE_TYPE, box, box, &size)) {
                sizes_[i] = {size.cx, size.cy};
                waiting_[i] = true;
                continue;
            }
            bitmaps_[i] = LoadPictureResource(module, identifier, PICTURE_TYPE, box, box);
            BITMAP info = {};
            if (bitmaps_[i] != nullptr && GetObjectA(bitmaps_[i], sizeof info, &info) != 0) {
                sizes_[i] = {info.bmWidth, info.bmHeight};
            }
        }
    }
    ~RowPictures() {
        for (HBITMAP bitmap : bitmaps_) {
            if (bitmap != nullptr) DeleteObject(bitmap);
        }
    }
    RowPictures(const RowPictures&) = delete;
    RowPictures& operator=(const RowPictures&) = delete;

    const std::vector<PictureSize>& Sizes() const { return sizes_; }
    bool AnyWaiting() const {
        for (bool waiting : waiting_) {
            if (waiting) return true;
        }
        return false;
    }

    // Hands question q's picture to its label unless the label already shows
    // one (an answer picture set while a restored answer was judged); a
    // picture still to be decoded is left for the label to fetch.
    void GiveTo(HWND label, int32_t q) {
        const size_t index = static_cast<size_t>(q - 1);
        if (label == nullptr || index >= bitmaps_.size()) return;
        if (waiting_[index]) {
            SetPropA(label, WAITING_PICTURE_PROPERTY,
                     reinterpret_cast<HANDLE>(static_cast<INT_PTR>(ID_QUESTION_PICTURE + q)));
            const LONG_PTR previous = SetWindowLongPtrA(
                label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureLabelProc));
            g_prevPictureProc = reinterpret_cast<WNDPROC>(previous);
            return;
        }
        if (bitmaps_[index] == nullptr) return;
        if (SendMessageA(label, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0) return;
        SendMessageA(label, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmaps_[index]));
        bitmaps_[index] = nullptr;
    }

  private:
    std::vector<HBITMAP> bitmaps_;
    std::vector<PictureSize> sizes_;
    std::vector<bool> waiting_;
};

struct MediaIcons {
    HICON play = nullptr;
    HICON stop = nullptr;
};

MediaIcons LoadMediaIcons(int32_t dpi) {
    HMODULE module = GetModuleHandleA(nullptr);
    const int size = ScaleToDpi(MEDIA_ICON_SIZE, dpi);
    MediaIcons icons;
    icons.play = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_PLAY), IMAGE_ICON, size, size, LR_SHARED));
    icons.stop = static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_STOP), IMAGE_ICON, size, size, LR_SHARED));
    return icons;
}

HFONT CreatePageFont(int32_t dpi) {
    LOGFONTA description = {};
    description.lfHeight = ScaleToDpi(PAGE_FONT_HEIGHT, dpi);
    description.lfWeight = PAGE_FONT_WEIGHT;
    return CreateFontIndirectA(&description);
}

bool IsMediaQuiz(const QuizData* quiz) {
    return quiz->mediaKind == MEDIA_SOUND || quiz->mediaKind == MEDIA_VIDEO;
}

class PageBuilder {
  public:
    PageBuilder(QuizData* quiz, HWND page) : quiz_(quiz), page_(page) {
        dialogFont_ = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
        guiFont_ = quiz->guiFont != nullptr ? quiz->guiFont
                                            : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }

    // Makes controls [from, to) of the layout. The page may have scrolled
    // since it showed: controls go where the content now stands.
    void Build(const PageLayout& layout, size_t from, size_t to, AnswerLineReader& answers,
               RowPictures* pictures) {
        if (IsMediaQuiz(quiz_)) icons_ = LoadMediaIcons(quiz_->pageDpi);
        originX_ = GetScrollPos(page_, SB_HORZ);
        originY_ = GetScrollPos(page_, SB_VERT);
        for (size_t i = from; i < to; ++i) {
            const PageControl& control = layout.controls[i];
            HWND window = Create(control, answers);
            if (control.kind == PAGE_RESULT_LABEL) {
                AnswerFieldReady(control.id - ID_RESULT_LABEL + ID_ANSWER_EDIT);
            } else if (control.kind == PAGE_MEDIA_HOST && window != nullptr) {
                // A question whose player cannot be made still gets its
                // fields; it only stays silent.
                CreateQuestionPlayer(page_, control.question, window);
            }
        }
        if (pictures != nullptr) {
            for (size_t i = from; i < to; ++i) {
                const PageControl& control = layout.controls[i];
                if (control.kind == PAGE_PICTURE) {
                    pictures->GiveTo(GetDlgItem(page_, control.id), control.question);
                }
            }
        }
    }

  private:
    HWND Make(const char* className, const char* text, DWORD style, const PageControl& c,
              HFONT font) {
        HWND window = CreateWindowExA(0, className, text, WS_CHILD | style, c.x - originX_,
                                      c.y - originY_, c.width, c.height, page_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                      GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr && font != nullptr) {
            SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
        return window;
    }

    HWND Create(const PageControl& c, AnswerLineReader& answers) {
        const QuestionNode* node = quiz_->QuestionAt(c.question - 1);
        char text[ANSWER_LINE_SIZE] = "";
        switch (c.kind) {
            case PAGE_NUMBER_LABEL:
                FormatQuestionNumber(c.question, text, sizeof text);
                return Make("Static", text, WS_VISIBLE | SS_RIGHT, c, dialogFont_);
            case PAGE_PROMPT:
                return Make("Static", node != nullptr ? node->prompt : "",
                            WS_VISIBLE | WS_BORDER | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, c,
                            quiz_->pageFont);
            case PAGE_ANSWER_FIELD: {
                answers.ReadLine(text, sizeof text);
                HWND field = Make("Edit", text,
                                  WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
                                  c, quiz_->pageFont);
                if (field != nullptr && c.textLimit > 0) {
                    SendMessageA(field, EM_LIMITTEXT, static_cast<WPARAM>(c.textLimit), 0);
                }
                return field;
            }
            case PAGE_RESULT_LABEL:
                return Make("Static", "?", WS_VISIBLE | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, c,
                            quiz_->answersPerQuestion == 2 && quiz_->mediaKind != MEDIA_NONE
                                ? guiFont_
                                : dialogFont_);
            case PAGE_ANSWER_CAPTION:
                return Make("Static", c.answer == 1 ? quiz_->answerLabel1 : quiz_->answerLabel2,
                            WS_VISIBLE | SS_LEFT | SS_NOPREFIX, c, guiFont_);
            case PAGE_EXTRA_TEXT:
                return CreateExtraText(c, node);
            case PAGE_PICTURE:
                return Make("Static", "", WS_VISIBLE | WS_BORDER | SS_BITMAP | SS_CENTERIMAGE, c,
                            nullptr);
            case PAGE_MEDIA_HOST:
                return Make("Static", "", WS_VISIBLE | WS_BORDER, c, nullptr);
            case PAGE_PLAY_BUTTON:
            case PAGE_STOP_BUTTON: {
                HWND button = Make(
                    "Button", "", WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON, c, nullptr);
                HICON icon = c.kind == PAGE_PLAY_BUTTON ? icons_.play : icons_.stop;
                if (button != nullptr && icon != nullptr) {
                    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
                }
                return button;
            }
        }
        return nullptr;
    }

    // Display mode 5 shows the number of words of the answer from the start;
    // the other modes hold the extra text hidden until the judging shows it.
    HWND CreateExtraText(const PageControl& c, const QuestionNode* node) {
        char text[ANSWER_LINE_SIZE] = "";
        DWORD visible = 0;
        if (quiz_->displayMode == 5) {
            FormatWordCount(CountAnswerWords(node != nullptr ? node->answer1 : ""), text,
                            sizeof text);
            visible = WS_VISIBLE;
        } else if (node != nullptr) {
            CopyText(text, sizeof text, node->extraText);
        }
        return Make("Static", text, visible | SS_CENTER | SS_NOPREFIX, c, guiFont_);
    }

    // The one place where a field joins the page for good: it is subclassed
    // and its restored text judged, so the verdicts and the score show from
    // the start.
    void AnswerFieldReady(int fieldId) {
        HWND field = GetDlgItem(page_, fieldId);
        if (field == nullptr) return;
        const LONG_PTR previous =
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnswerFieldProc));
        g_prevEditProc = reinterpret_cast<WNDPROC>(previous);
        JudgeAnswer(quiz_, page_, fieldId);
    }

    QuizData* quiz_;
    HWND page_;
    HFONT dialogFont_ = nullptr;
    HFONT guiFont_ = nullptr;
    MediaIcons icons_;
    int originX_ = 0;
    int originY_ = 0;
};

// The rows past the page's view, made one at a time at idle. Only rows
// whose answers are all empty wait: a restored answer is judged as its field
// is made, and its verdict, the score and what a solved question reveals
// must show from the first paint. Fields still to be made are therefore
// empty, which is what a save or a move to another screen reads from them.
struct WaitingRows {
    HWND page;
    PageLayout layout;
    size_t next;
    std::unique_ptr<RowPictures> pictures;
    bool making = false;
};
std::unique_ptr<WaitingRows> g_waitingRows;  // the player shows one page at a time

// Makes the next waiting row of the page; false when none was waiting.
// Judging a field as it is made may reflow the page, which asks for every
// row: that request waits for the row being made.
bool MakeNextWaitingRow(HWND page) {
    WaitingRows* rows = g_waitingRows.get();
    if (rows == nullptr || rows->page != page || rows->making || g_quiz == nullptr) return false;
    const size_t end = PageRowEnd(rows->layout, rows->next);
    AnswerLineReader empty(nullptr, 0);
    rows->making = true;
    PageBuilder(g_quiz, page).Build(rows->layout, rows->next, end, empty, rows->pictures.get());
    rows->making = false;
    rows->next = end;
    if (end >= rows->layout.controls.size()) g_waitingRows.reset();
    return true;
}

// Makes the waiting rows that the page's client area now reaches: a page
// placed, grown or scrolled without the pupil's input (as the main window is
// laid out, or by another program) shows no gap.
void MakeRowsInView(HWND page) {
    if (g_waitingRows == nullptr || g_waitingRows->page != page) return;
    RECT client = {};
    GetClientRect(page, &client);
    const int32_t bottom = GetScrollPos(page, SB_VERT) + client.bottom;
    const size_t inView = PageControlsAbove(g_waitingRows->layout, bottom);
    // The last row made lets the waiting rows go.
    while (g_waitingRows != nullptr && g_waitingRows->next < inView && MakeNextWaitingRow(page)) {
    }
}

// How many controls are made as the page starts: the rows its client area
// holds (it grows to its place later, see MakeRowsInView), or all of them
// when a later row has an answer to restore. A sound or video page makes
// all: its players start with it.
size_t ControlsToMakeFirst(const QuizData* quiz, HWND page, const PageLayout& layout,
                           AnswerLineReader answers) {
    if (IsMediaQuiz(quiz)) return layout.controls.size();
    RECT client = {};
    GetClientRect(page, &client);
    const size_t first = PageControlsAbove(layout, client.bottom);
    char line[ANSWER_LINE_SIZE];
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].kind != PAGE_ANSWER_FIELD) continue;
        if (answers.ReadLine(line, sizeof line) > 0 && i >= first) return layout.controls.size();
    }
    return first;
}

PageLayoutInput LayoutInputOf(const QuizData* quiz) {
    PageLayoutInput input;
    input.mediaKind = quiz->mediaKind;
    input.questionCount = quiz->questionCount;
    input.answersPerQuestion = quiz->answersPerQuestion;
    input.displayMode = quiz->displayMode;
    input.dpi = quiz->pageDpi;
    return input;
}

INT_PTR OnInitDialog(HWND page, const PageRebuild* rebuild) {
    QuizData* quiz = g_quiz;
    if (quiz == nullptr) return TRUE;
    // Restored answers are judged during the build, and the judging reflows
    // the page through the record: the handle must be known from here on.
    quiz->hQuestionPage = page;
    g_hQuestionPage = page;
    if (g_brushGreen == nullptr) g_brushGreen = CreateSolidBrush(COLOUR_GREEN);
    if (g_brushAccents == nullptr) g_brushAccents = CreateSolidBrush(COLOUR_SKY_BLUE);
    quiz->contentWidth = 0;
    quiz->contentHeight = 0;
    quiz->pageDpi = rebuild != nullptr ? rebuild->dpi : WindowDpi(page);

    g_waitingRows.reset();
    MappedAnswersFile file;
    AnswerLineReader answers =
        rebuild != nullptr
            ? AnswerLineReader(reinterpret_cast<const unsigned char*>(rebuild->answers),
                               rebuild->size)
            : AnswerLineReader(file.Data(), file.Size());
    quiz->SetPageFont(CreatePageFont(quiz->pageDpi));

    PageLayoutInput input = LayoutInputOf(quiz);
    std::unique_ptr<RowPictures> pictures;
    if (quiz->mediaKind == MEDIA_PICTURE) {
        pictures =
            std::make_unique<RowPictures>(PagePicturesNeeded(quiz->questionCount), quiz->pageDpi);
        input.pictures = pictures->Sizes();
    }
    PageLayout layout = LayoutPage(input);
    // The size and the row heights are final before any control exists, so a
    // reflow during the build already sees the whole page.
    quiz->contentWidth = layout.contentWidth;
    quiz->contentHeight = layout.contentHeight;
    for (int32_t row = 0; row < layout.rowCount; ++row) {
        quiz->rowPictureHeight[row] = layout.rowPictureHeight[row];
    }

    const size_t first = ControlsToMakeFirst(quiz, page, layout, answers);
    PageBuilder(quiz, page).Build(layout, 0, first, answers, pictures.get());
    const bool idleWork =
        first < layout.controls.size() || (pictures != nullptr && pictures->AnyWaiting());
    if (first < layout.controls.size()) {
        g_waitingRows.reset(new WaitingRows{page, std::move(layout), first, std::move(pictures)});
    }
    SetupPageScrollBars(quiz, page);
    // Timer messages come only when the queue is empty: the rows and the
    // pictures out of view are made while the pupil does nothing.
    if (idleWork) SetTimer(page, IDLE_TIMER_ID, FIRST_IDLE_DELAY, nullptr);
    return TRUE;
}

INT_PTR OnTimer(HWND page, WPARAM timer) {
    if (timer != IDLE_TIMER_ID) return FALSE;
    if (!DoPageIdleStep(page)) {
        KillTimer(page, IDLE_TIMER_ID);
        return TRUE;
    }
    // The next one waits a full period from now, not from the last tick: a
    // decoding longer than the period would otherwise find the next tick
    // already due, and the thread would never wait for input until the
    // last picture.
    SetTimer(page, IDLE_TIMER_ID, USER_TIMER_MINIMUM, nullptr);
    return TRUE;
}

INT_PTR OnVScroll(HWND page, WPARAM wParam) {
    if (g_quiz == nullptr) return FALSE;
    const INT_PTR result = OnPageVScroll(g_quiz, page, wParam);
    MakeRowsInView(page);
    return result;
}

INT_PTR OnSize(HWND page) {
    if (g_quiz == nullptr) return FALSE;
    const INT_PTR result = OnPageSize(g_quiz, page);
    MakeRowsInView(page);
    return result;
}

INT_PTR OnCommand(HWND page, WPARAM wParam) {
    if (g_quiz != nullptr && IsMediaQuiz(g_quiz)) return OnMediaCommand(page, wParam);
    return FALSE;
}

INT_PTR OnCtlColorStatic(HDC dc, HWND control) {
    const QuizData* quiz = g_quiz;
    if (quiz == nullptr) return FALSE;
    const int id = GetDlgCtrlID(control);
    const int32_t fields = PageQuestionCount(quiz->questionCount) * quiz->answersPerQuestion;
    char text[ANSWER_LINE_SIZE] = "";
    if (IsResultLabelId(id, fields)) GetWindowTextA(control, text, sizeof text);
    HBRUSH brush = nullptr;
    switch (ChooseStaticPaint(id, fields, text)) {
        case PAINT_ON_QUIZ_COLOUR:
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, UseWhiteText(quiz->colorRed, quiz->colorGreen, quiz->colorBlue)
                                 ? COLOUR_WHITE
                                 : COLOUR_BLACK);
            brush = quiz->quizBrush;
            break;
        case PAINT_ANAGRAM:
            SetBkColor(dc, COLOUR_RED);
            brush = quiz->brushOrange;
            break;
        case PAINT_BRAVO:
            SetBkColor(dc, COLOUR_GREEN);
            brush = g_brushGreen;
            break;
        case PAINT_WRONG:
            SetBkColor(dc, COLOUR_RED);
            brush = quiz->brushRed;
            break;
        case PAINT_HINT:
            SetBkColor(dc, COLOUR_RED);
            brush = quiz->brushGold;
            break;
        case PAINT_ACCENTS:
            SetBkColor(dc, COLOUR_SKY_BLUE);
            brush = g_brushAccents;
            break;
        case PAINT_PROMPT:
            SetBkColor(dc, COLOUR_LIGHT_YELLOW);
            brush = quiz->brushLightYellow;
            break;
        case PAINT_DEFAULT:
            return FALSE;
    }
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR OnCtlColorDialog() {
    return g_quiz != nullptr ? reinterpret_cast<INT_PTR>(g_quiz->quizBrush) : FALSE;
}

void DeleteVerdictBrushes() {
    for (HBRUSH* brush : {&g_brushGreen, &g_brushAccents}) {
        if (*brush != nullptr) DeleteObject(*brush);
        *brush = nullptr;
    }
}

INT_PTR OnClose() {
    DeleteVerdictBrushes();
    CloseMediaPage();
    return FALSE;
}

// Static controls never delete the bitmaps they show: the page does, as its
// picture labels go.
INT_PTR OnDestroy(HWND page) {
    g_waitingRows.reset();
    for (int q = 1; q <= QUIZ_MAX_QUESTIONS; ++q) {
        HWND label = GetDlgItem(page, ID_PICTURE + q);
        if (label == nullptr) continue;
        RemovePropA(label, WAITING_PICTURE_PROPERTY);
        const LRESULT old = SendMessageA(label, STM_SETIMAGE, IMAGE_BITMAP, 0);
        if (old != 0) DeleteObject(reinterpret_cast<HBITMAP>(old));
    }
    return OnClose();
}

bool LoadNextPendingPicture(HWND page) {
    for (int q = 1; q <= QUIZ_MAX_QUESTIONS; ++q) {
        HWND label = GetDlgItem(page, ID_PICTURE + q);
        if (label != nullptr && LoadPendingPicture(label)) return true;
    }
    return false;
}

}  // namespace

void FinishPageRows(HWND page) {
    while (MakeNextWaitingRow(page)) {
    }
}

bool DoPageIdleStep(HWND page) {
    return MakeNextWaitingRow(page) || LoadNextPendingPicture(page);
}

INT_PTR CALLBACK QuestionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(page, reinterpret_cast<const PageRebuild*>(lParam));
        case WM_COMMAND:
            return OnCommand(page, wParam);
        case WM_TIMER:
            return OnTimer(page, wParam);
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CTLCOLORDLG:
            return OnCtlColorDialog();
        case WM_VSCROLL:
            return OnVScroll(page, wParam);
        case WM_HSCROLL:
            return g_quiz != nullptr ? OnPageHScroll(g_quiz, page, wParam) : FALSE;
        case WM_MOUSEWHEEL:
            return OnPageMouseWheel(page, wParam);
        case WM_SIZE:
            return OnSize(page);
        case WM_CLOSE:
            return OnClose();
        case WM_DESTROY:
            return OnDestroy(page);
        default:
            return FALSE;
    }
}
