#include "studio/studio_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <vector>

#include "answers/scoring.h"
#include "authoring/class_results.h"
#include "authoring/csv_import.h"
#include "authoring/file_output.h"
#include "authoring/quiz_document.h"
#include "images/picture_win.h"
#include "shell/dpi_scale.h"
#include "shell/dpi_win.h"

namespace fs = std::filesystem;

namespace {

int AskWithMessageBox(HWND owner, const std::wstring& text, UINT style) {
    return MessageBoxW(owner, text.c_str(), L"Brelo Studio", style);
}

}  // namespace

StudioAskFunction g_studioAsk = AskWithMessageBox;

namespace {

constexpr UINT_PTR TIMER_CHECK = 1;
constexpr UINT CHECK_DELAY_MS = 300;
constexpr int THUMBNAIL_SIZE = 120;  // at 96 DPI
constexpr size_t MAX_LISTED_PROBLEMS = 12;

// ---- Text conversions: the document is UTF-8, the window UTF-16, and the
// program's own French texts Windows-1252 bytes.

std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}
std::wstring French(const char* windows1252) {
    return Wide(windows1252, 1252);
}
std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}
std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}
// Edit controls show line breaks as CR LF; the document holds LF.
std::wstring ToEditText(const std::string& utf8) {
    std::wstring out;
    for (wchar_t c : Wide(utf8)) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}
std::string FromEditText(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c != L'\r') out += c;
    }
    return Utf8(out);
}

// ---- GDI objects owned once.

template <typename Handle>
class Gdi {
  public:
    Gdi() = default;
    ~Gdi() { Reset(nullptr); }
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    void Reset(Handle h) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = h;
    }
    Handle get() const { return handle_; }

  private:
    Handle handle_ = nullptr;
};

// ---- The controls, described once.

struct FieldControl {
    int id;
    bool question;  // a field of the selected question, else of the quiz
    const char* key;
    const char* label;
    int lines;
};
constexpr FieldControl kFields[] = {
    {ID_TITLE, false, "title", "&Titre", 1},
    {ID_AUTHOR, false, "author", "&Auteur", 1},
    {ID_EXPLANATIONS, false, "explanations", "E&xplications", 3},
    {ID_LABEL1, false, "answerLabel1", "L\xE9gende de la r\xE9ponse &1", 1},
    {ID_LABEL2, false, "answerLabel2", "L\xE9gende de la r\xE9ponse &2", 1},
    {ID_PROMPT, true, "prompt", "&Question", 2},
    {ID_ANSWER1, true, "answer1", "&R\xE9ponse", 1},
    {ID_ANSWER2, true, "answer2", "S&econde r\xE9ponse", 1},
    {ID_EXTRA, true, "extraText", "Texte r\xE9v\xE9l\xE9", 1},
    {ID_EXTRA2, true, "extraText2", "Second texte (gard\xE9, jamais montr\xE9)", 1},
    {ID_PICTURE, true, "picture", "&Image", 1},
    {ID_ANSWER_PICTURE, true, "answerPicture", "Image de la r\xE9&ponse", 1},
    {ID_CLIP, true, "clip", "&Clip (son ou vid\xE9o)", 1},
};
const FieldControl* FieldById(int id) {
    for (const FieldControl& f : kFields) {
        if (f.id == id) return &f;
    }
    return nullptr;
}

constexpr int kColumnWidths[] = {36, 120, 120, 120};  // the question list's, at 96 DPI

constexpr const char* kKinds[] = {"Texte seul", "Images", "Sons", "Vid\xE9os"};
constexpr const char* kModes[] = {
    "Rien n'est r\xE9v\xE9l\xE9",
    "L'image de la r\xE9ponse remplace l'image, une fois trouv\xE9\x65",
    "Un texte est r\xE9v\xE9l\xE9 sous la question trouv\xE9\x65",
    "Image de la r\xE9ponse et texte r\xE9v\xE9l\xE9",
    "Tous les textes r\xE9v\xE9l\xE9s quand tout le quiz est juste",
    "Le nombre de mots de la r\xE9ponse est indiqu\xE9",
    "Image de la r\xE9ponse, et tous les textes quand tout est juste",
};
constexpr const char* kAccents[] = {"Accents exig\xE9s",
                                    "Accents tol\xE9r\xE9s (jeunes \xE9l\xE8ves)"};
// The other accepted forms of each answer, one per line of their field.
struct FormsControl {
    int id;
    const char* key;
    std::vector<std::string> DocumentQuestion::*member;
};
constexpr FormsControl kForms[] = {
    {ID_OTHER_ANSWERS1, "answer1", &DocumentQuestion::otherAnswers1},
    {ID_OTHER_ANSWERS2, "answer2", &DocumentQuestion::otherAnswers2},
};
const FormsControl* FormsById(int id) {
    for (const FormsControl& f : kForms) {
        if (f.id == id) return &f;
    }
    return nullptr;
}
std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
// Lines of a multi-line field; trailing empty lines dropped.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

constexpr const char* kAnswerCounts[] = {"Une r\xE9ponse par question",
                                         "Deux r\xE9ponses par question"};

// ---- The window's state.

struct Studio {
    HWND window = nullptr;
    HINSTANCE instance = nullptr;
    int dpi = 96;
    Gdi<HFONT> font;
    Gdi<HBRUSH> swatch;
    Gdi<HBITMAP> thumbnail;
    QuizDocument doc = NewDocument();
    std::wstring path;  // the JSON file; empty until saved
    std::wstring name = L"Sans titre";
    bool dirty = false;
    size_t selected = 0;
    bool filling = false;  // controls being filled: their changes are not edits
    std::vector<DocumentProblem> problems;
    std::wstring thumbnailProblem;
    std::wstring tempDir;
    int tempCount = 0;

    HWND Item(int id) const { return GetDlgItem(window, id); }
    int Scale(int value) const { return ScaleToDpi(value, dpi); }
};

Studio* StudioOf(HWND window) {
    return reinterpret_cast<Studio*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The system's message font at the window's DPI.
void MakeFont(Studio& s) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -MulDiv(9, s.dpi, 72);
    s.font.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    for (HWND child = GetWindow(s.window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(s.font.get()), TRUE);
    }
}

HWND AddControl(Studio& s, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
                DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                           s.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), s.instance,
                           nullptr);
}

void CreateControls(Studio& s) {
    for (const FieldControl& f : kFields) {
        AddControl(s, L"STATIC", French(f.label), 0, f.id + ID_LABEL_OFFSET);
        DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
        if (f.lines > 1) style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
        AddControl(s, L"EDIT", L"", style, f.id, WS_EX_CLIENTEDGE);
    }
    const struct {
        int id;
        const char* label;
        const char* const* items;
        size_t count;
    } combos[] = {
        {ID_KIND, "&Genre", kKinds, 4},
        {ID_MODE, "A&ffichage", kModes, 7},
        {ID_ANSWERS, "R\xE9po&nses", kAnswerCounts, 2},
        {ID_ACCENTS, "Acc&ents", kAccents, 2},
    };
    for (const auto& c : combos) {
        AddControl(s, L"STATIC", French(c.label), 0, c.id + ID_LABEL_OFFSET);
        HWND combo = AddControl(s, WC_COMBOBOXW, L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, c.id);
        for (size_t i = 0; i < c.count; ++i) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(French(c.items[i]).c_str()));
        }
    }
    for (const FormsControl& f : kForms) {
        AddControl(s, L"STATIC",
                   French(f.id == ID_OTHER_ANSWERS1 ? "Autres formes accept\xE9\x65s (une par ligne)"
                                                    : "Autres formes de la seconde r\xE9ponse"),
                   0, f.id + ID_LABEL_OFFSET);
        AddControl(s, L"EDIT", L"",
                   WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, f.id,
                   WS_EX_CLIENTEDGE);
    }
    AddControl(s, L"BUTTON", French("C&ouleur de la page\x85"), WS_TABSTOP, ID_COLOR);
    AddControl(s, L"STATIC", L"", SS_SUNKEN, ID_SWATCH);
    AddControl(s, L"STATIC", French("Codes de r\xE9\x63ompense (ligne n : score n)"),
               0, ID_CODES + ID_LABEL_OFFSET);
    AddControl(s, L"EDIT", L"", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
               ID_CODES, WS_EX_CLIENTEDGE);

    AddControl(s, L"STATIC", French("&Liste des questions"), 0, ID_LIST + ID_LABEL_OFFSET);
    HWND list = AddControl(s, WC_LISTVIEWW, L"",
                           WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, ID_LIST,
                           WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const char* columns[] = {"N\xB0", "Question", "R\xE9ponse(s)", "Image ou clip"};
    for (int i = 0; i < 4; ++i) {
        std::wstring text = French(columns[i]);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = &text[0];
        column.cx = s.Scale(kColumnWidths[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    AddControl(s, L"BUTTON", French("A&jouter"), WS_TABSTOP, ID_ADD);
    AddControl(s, L"BUTTON", French("&Supprimer"), WS_TABSTOP, ID_DELETE);
    AddControl(s, L"BUTTON", French("&Monter"), WS_TABSTOP, ID_UP);
    AddControl(s, L"BUTTON", French("&Descendre"), WS_TABSTOP, ID_DOWN);
    for (int id : {ID_PICTURE_BROWSE, ID_ANSWER_PICTURE_BROWSE, ID_CLIP_BROWSE}) {
        AddControl(s, L"BUTTON", French("Choisir\x85"), WS_TABSTOP, id);
    }
    AddControl(s, L"STATIC", L"", SS_BITMAP | SS_CENTERIMAGE, ID_THUMBNAIL);
    AddControl(s, L"STATIC", French("Pro&bl\xE8mes (double-clic : aller au champ)"), 0,
               ID_PROBLEMS + ID_LABEL_OFFSET);
    AddControl(s, L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               ID_PROBLEMS, WS_EX_CLIENTEDGE);
}

// ---- Which controls the quiz's kind and display mode call for.

bool ControlShown(const QuizDocument& doc, int id) {
    const bool pictures = doc.mediaKind == 1;
    switch (id) {
        case ID_LABEL2:
        case ID_ANSWER2:
        case ID_OTHER_ANSWERS2:
            return doc.answersPerQuestion == 2;
        case ID_EXTRA:
            return ModeCarriesExtraText(doc.displayMode);
        case ID_EXTRA2:
            return ModeCarriesSecondExtraText(doc.displayMode);
        case ID_PICTURE:
        case ID_PICTURE_BROWSE:
        case ID_THUMBNAIL:
            return pictures;
        case ID_ANSWER_PICTURE:
        case ID_ANSWER_PICTURE_BROWSE:
            return pictures && ModeShowsAnswerPicture(doc.displayMode);
        case ID_CLIP:
        case ID_CLIP_BROWSE:
            return doc.mediaKind == 2 || doc.mediaKind == 3;
        default:
            return true;
    }
}

// ---- Layout: every measure in 96-DPI units, scaled in Move.

struct Layout {
    Studio& s;
    void Move(int id, int x, int y, int w, int h) const {
        MoveWindow(s.Item(id), s.Scale(x), s.Scale(y), s.Scale(std::max(w, 0)),
                   s.Scale(std::max(h, 0)), TRUE);
    }
    // A label above its control; returns the y below them.
    int Field(int id, int x, int y, int w, int h) const {
        const bool shown = ControlShown(s.doc, id);
        ShowWindow(s.Item(id), shown ? SW_SHOWNA : SW_HIDE);
        ShowWindow(s.Item(id + ID_LABEL_OFFSET), shown ? SW_SHOWNA : SW_HIDE);
        if (!shown) return y;
        Move(id + ID_LABEL_OFFSET, x, y, w, 16);
        Move(id, x, y + 16, w, h);
        return y + 16 + h + 6;
    }
    // A path field with its "Choisir..." button.
    int PathField(int id, int button, int x, int y, int w) const {
        ShowWindow(s.Item(button), ControlShown(s.doc, id) ? SW_SHOWNA : SW_HIDE);
        const int below = Field(id, x, y, w - 80, 23);
        if (below != y) Move(button, x + w - 74, y + 16, 74, 23);
        return below;
    }
};

constexpr int kMargin = 8, kLeftWidth = 290, kRightWidth = 330, kProblemsHeight = 110;

void LayOut(Studio& s) {
    RECT client;
    GetClientRect(s.window, &client);
    const int width = MulDiv(client.right, 96, s.dpi);
    const int height = MulDiv(client.bottom, 96, s.dpi);
    const Layout l{s};
    const int problemsTop = height - kProblemsHeight - kMargin;

    int y = kMargin;
    const int x = kMargin, w = kLeftWidth;
    for (int id : {ID_TITLE, ID_AUTHOR}) y = l.Field(id, x, y, w, 23);
    y = l.Field(ID_EXPLANATIONS, x, y, w, 50);
    for (int id : {ID_LABEL1, ID_LABEL2, ID_KIND, ID_MODE, ID_ANSWERS, ID_ACCENTS}) {
        y = l.Field(id, x, y, w, 23);
    }
    l.Move(ID_COLOR, x, y, 170, 25);
    l.Move(ID_SWATCH, x + 178, y, 40, 25);
    y += 31;
    l.Field(ID_CODES, x, y, w, problemsTop - y - 22);

    const int rx = width - kMargin - kRightWidth;
    y = kMargin;
    y = l.Field(ID_PROMPT, rx, y, kRightWidth, 40);
    y = l.Field(ID_ANSWER1, rx, y, kRightWidth, 23);
    y = l.Field(ID_OTHER_ANSWERS1, rx, y, kRightWidth, 36);
    y = l.Field(ID_ANSWER2, rx, y, kRightWidth, 23);
    y = l.Field(ID_OTHER_ANSWERS2, rx, y, kRightWidth, 36);
    for (int id : {ID_EXTRA, ID_EXTRA2}) y = l.Field(id, rx, y, kRightWidth, 23);
    y = l.PathField(ID_PICTURE, ID_PICTURE_BROWSE, rx, y, kRightWidth);
    y = l.PathField(ID_ANSWER_PICTURE, ID_ANSWER_PICTURE_BROWSE, rx, y, kRightWidth);
    y = l.PathField(ID_CLIP, ID_CLIP_BROWSE, rx, y, kRightWidth);
    ShowWindow(s.Item(ID_THUMBNAIL), ControlShown(s.doc, ID_THUMBNAIL) ? SW_SHOWNA : SW_HIDE);
    l.Move(ID_THUMBNAIL, rx, y, THUMBNAIL_SIZE, THUMBNAIL_SIZE);

    const int mx = kMargin * 2 + kLeftWidth;
    const int mw = rx - kMargin - mx;
    const int buttonsTop = problemsTop - 8 - 25;
    l.Field(ID_LIST, mx, kMargin, mw, buttonsTop - kMargin - 16 - 6);
    int bx = mx;
    for (int id : {ID_ADD, ID_DELETE, ID_UP, ID_DOWN}) {
        l.Move(id, bx, buttonsTop, 80, 25);
        bx += 86;
    }
    l.Field(ID_PROBLEMS, kMargin, problemsTop, width - 2 * kMargin, kProblemsHeight - 16);
}

// ---- Showing the document.

// "Vienne (Wien)": an answer and its other accepted forms.
std::string AnswerList(const std::string& first, const std::vector<std::string>& others) {
    std::string text = first;
    for (size_t i = 0; i < others.size(); ++i) text += (i == 0 ? " (" : ", ") + others[i];
    return others.empty() ? text : text + ")";
}

std::wstring ListText(const QuizDocument& doc, size_t i, int column) {
    const DocumentQuestion& q = doc.questions[i];
    switch (column) {
        case 0:
            return std::to_wstring(i + 1);
        case 1:
            return Wide(q.prompt);
        case 2:
            return Wide(AnswerList(q.answer1, q.otherAnswers1) +
                        (doc.answersPerQuestion == 2
                             ? " / " + AnswerList(q.answer2, q.otherAnswers2)
                             : std::string()));
        default:
            return Wide(!q.clip.empty() ? q.clip : q.picture);
    }
}

void ShowRow(Studio& s, size_t i) {
    HWND list = s.Item(ID_LIST);
    for (int column = 0; column < 4; ++column) {
        std::wstring text = ListText(s.doc, i, column);
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = &text[0];
        SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void ShowList(Studio& s) {
    HWND list = s.Item(ID_LIST);
    s.filling = true;
    ListView_DeleteAllItems(list);
    for (size_t i = 0; i < s.doc.questions.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        std::wstring number = std::to_wstring(i + 1);
        item.pszText = &number[0];
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        ShowRow(s, i);
    }
    if (!s.doc.questions.empty()) {
        s.selected = std::min(s.selected, s.doc.questions.size() - 1);
        ListView_SetItemState(list, static_cast<int>(s.selected), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, static_cast<int>(s.selected), FALSE);
    }
    s.filling = false;
}

std::string MediaPath(const Studio& s, const std::string& path) {
    if (path.empty()) return path;
    fs::path p = fs::u8path(path);
    if (p.is_relative()) p = fs::u8path(s.doc.baseDir) / p;
    return p.u8string();
}

// The picture of the selected question, made by the player's own code.
HBITMAP MakeThumbnail(const Studio& s, const std::string& path, std::wstring& problem) {
    std::vector<uint8_t> bytes;
    std::string error, why;
    if (path.empty() || !ReadWholeFile(MediaPath(s, path), bytes, error)) return nullptr;
    HBITMAP bitmap = nullptr;
    const MediaFileKind kind = PictureFileKind(bytes, why);
    if (kind == MEDIA_FILE_PNG) {
        PngDecoder decoder;
        ResetPngDecoder(&decoder);
        if (OpenPngMemory(&decoder, bytes.data(), static_cast<uint32_t>(bytes.size()),
                          PNG_SOURCE_MEMORY) &&
            DecodePngImage(&decoder)) {
            bitmap = MakePngBitmap(&decoder, s.window);
        }
        ReleasePngDecoder(&decoder);
    } else if (kind == MEDIA_FILE_JPEG) {
        bitmap = LoadOlePicture(bytes.data(), static_cast<unsigned>(bytes.size()));
    } else {
        return nullptr;  // the check names what is wrong with the file
    }
    if (bitmap == nullptr) {
        problem = Wide(path) + French(" : l'image ne peut pas \xEAtre d\xE9\x63od\xE9\x65");
        return nullptr;
    }
    return FitBitmapToBox(bitmap, s.Scale(THUMBNAIL_SIZE), s.Scale(THUMBNAIL_SIZE));
}

void ShowThumbnail(Studio& s) {
    s.thumbnailProblem.clear();
    HBITMAP bitmap = nullptr;
    if (s.doc.mediaKind == 1 && s.selected < s.doc.questions.size()) {
        bitmap = MakeThumbnail(s, s.doc.questions[s.selected].picture, s.thumbnailProblem);
    }
    SendMessageW(s.Item(ID_THUMBNAIL), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    s.thumbnail.Reset(bitmap);
}

void ShowQuestion(Studio& s) {
    s.filling = true;
    DocumentQuestion empty;
    DocumentQuestion& q = s.selected < s.doc.questions.size() ? s.doc.questions[s.selected] : empty;
    for (const FieldControl& f : kFields) {
        if (f.question) SetWindowTextW(s.Item(f.id), ToEditText(*QuestionTextField(q, f.key)).c_str());
    }
    for (const FormsControl& f : kForms) {
        SetWindowTextW(s.Item(f.id), ToEditText(JoinLines(q.*f.member)).c_str());
    }
    s.filling = false;
    ShowThumbnail(s);
}

void ShowSettings(Studio& s) {
    s.filling = true;
    for (const FieldControl& f : kFields) {
        if (!f.question) SetWindowTextW(s.Item(f.id), ToEditText(*QuizTextField(s.doc, f.key)).c_str());
    }
    SendMessageW(s.Item(ID_KIND), CB_SETCURSEL, static_cast<WPARAM>(s.doc.mediaKind), 0);
    SendMessageW(s.Item(ID_MODE), CB_SETCURSEL, static_cast<WPARAM>(s.doc.displayMode), 0);
    SendMessageW(s.Item(ID_ANSWERS), CB_SETCURSEL, static_cast<WPARAM>(s.doc.answersPerQuestion - 1), 0);
    SendMessageW(s.Item(ID_ACCENTS), CB_SETCURSEL, s.doc.accentsTolerated ? 1 : 0, 0);
    SetWindowTextW(s.Item(ID_CODES), ToEditText(JoinLines(s.doc.codes)).c_str());
    s.swatch.Reset(CreateSolidBrush(RGB(s.doc.color[0], s.doc.color[1], s.doc.color[2])));
    InvalidateRect(s.Item(ID_SWATCH), nullptr, TRUE);
    s.filling = false;
}

void ShowTitle(Studio& s) {
    const std::wstring title = (s.dirty ? L"*" : L"") + s.name + L" - Brelo Studio";
    SetWindowTextW(s.window, title.c_str());
}

void ShowDocument(Studio& s) {
    ShowSettings(s);
    ShowList(s);
    ShowQuestion(s);
    LayOut(s);
    ShowTitle(s);
    SetTimer(s.window, TIMER_CHECK, 0, nullptr);
}

void ShowProblems(Studio& s) {
    HWND box = s.Item(ID_PROBLEMS);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    for (const DocumentProblem& p : s.problems) {
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(p.text).c_str()));
    }
    if (!s.thumbnailProblem.empty()) {
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.thumbnailProblem.c_str()));
    }
}

void Check(Studio& s) {
    KillTimer(s.window, TIMER_CHECK);
    s.problems = CheckDocument(s.doc);
    ShowProblems(s);
}

// ---- Edits.

void Edited(Studio& s) {
    if (!s.dirty) {
        s.dirty = true;
        ShowTitle(s);
    }
    SetTimer(s.window, TIMER_CHECK, CHECK_DELAY_MS, nullptr);
}

void OnFieldEdited(Studio& s, int id) {
    const std::string text = FromEditText(WindowText(s.Item(id)));
    if (id == ID_CODES) {
        s.doc.codes = SplitLines(text);
        return Edited(s);
    }
    if (const FormsControl* forms = FormsById(id)) {
        if (s.selected < s.doc.questions.size()) {
            s.doc.questions[s.selected].*forms->member = SplitLines(text);
            ShowRow(s, s.selected);
        }
        return Edited(s);
    }
    const FieldControl* f = FieldById(id);
    if (f == nullptr) return;
    if (!f->question) {
        *QuizTextField(s.doc, f->key) = text;
    } else if (s.selected < s.doc.questions.size()) {
        *QuestionTextField(s.doc.questions[s.selected], f->key) = text;
        ShowRow(s, s.selected);
        if (id == ID_PICTURE) ShowThumbnail(s);
    }
    Edited(s);
}

void OnSettingChosen(Studio& s, int id) {
    const int choice = static_cast<int>(SendMessageW(s.Item(id), CB_GETCURSEL, 0, 0));
    if (choice < 0) return;
    if (id == ID_KIND) s.doc.mediaKind = choice;
    if (id == ID_MODE) s.doc.displayMode = choice;
    if (id == ID_ANSWERS) s.doc.answersPerQuestion = choice + 1;
    if (id == ID_ACCENTS) s.doc.accentsTolerated = choice == 1;
    ShowList(s);
    ShowThumbnail(s);
    LayOut(s);
    Edited(s);
}

void SelectQuestion(Studio& s, size_t index) {
    if (index >= s.doc.questions.size()) return;
    s.selected = index;
    s.filling = true;
    HWND list = s.Item(ID_LIST);
    ListView_SetItemState(list, static_cast<int>(index), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, static_cast<int>(index), FALSE);
    s.filling = false;
    ShowQuestion(s);
}

void OnQuestionButton(Studio& s, int id) {
    bool changed = false;
    size_t target = s.selected;
    if (id == ID_ADD) {
        target = AddQuestion(s.doc, s.selected + 1);
        changed = true;
    } else if (id == ID_DELETE && s.doc.questions.size() > 1) {
        changed = DeleteQuestion(s.doc, s.selected);
        target = std::min(s.selected, s.doc.questions.size() - 1);
    } else if (id == ID_UP || id == ID_DOWN) {
        changed = MoveQuestion(s.doc, s.selected, id == ID_UP ? -1 : 1);
        if (changed) target = id == ID_UP ? s.selected - 1 : s.selected + 1;
    }
    if (!changed) return;
    s.selected = target;
    ShowList(s);
    ShowQuestion(s);
    Edited(s);
    if (id == ID_ADD) SetFocus(s.Item(ID_PROMPT));
}

void OnChooseColor(Studio& s) {
    static COLORREF custom[16];
    CHOOSECOLORW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = s.window;
    choice.rgbResult = RGB(s.doc.color[0], s.doc.color[1], s.doc.color[2]);
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choice)) return;
    s.doc.color[0] = GetRValue(choice.rgbResult);
    s.doc.color[1] = GetGValue(choice.rgbResult);
    s.doc.color[2] = GetBValue(choice.rgbResult);
    ShowSettings(s);
    Edited(s);
}

// The field a problem is about: its question selected, its control focused.
void OnProblemChosen(Studio& s) {
    const LRESULT index = SendMessageW(s.Item(ID_PROBLEMS), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= s.problems.size()) return;
    const DocumentField& field = s.problems[static_cast<size_t>(index)].field;
    int id = ID_LIST;
    if (field.question >= 0) {
        SelectQuestion(s, static_cast<size_t>(field.question));
        id = ID_PROMPT;
    }
    for (const FieldControl& f : kFields) {
        if (field.key == f.key && f.question == (field.question >= 0)) id = f.id;
    }
    for (const FormsControl& f : kForms) {
        if (field.key.rfind(std::string(f.key) + "[", 0) == 0) {
            id = field.key == std::string(f.key) + "[0]" ? (f.id == ID_OTHER_ANSWERS1 ? ID_ANSWER1 : ID_ANSWER2)
                                                          : f.id;
        }
    }
    if (field.key == "codes") id = ID_CODES;
    if (field.key == "accents") id = ID_ACCENTS;
    if (field.key == "media") id = ID_KIND;
    if (field.key == "displayMode") id = ID_MODE;
    if (field.key == "answersPerQuestion") id = ID_ANSWERS;
    if (field.key == "color") id = ID_COLOR;
    SetFocus(s.Item(id));
    SendMessageW(s.Item(id), EM_SETSEL, 0, -1);
}

// ---- Files.

void Tell(Studio& s, const std::wstring& text, UINT style = MB_ICONWARNING) {
    g_studioAsk(s.window, text, MB_OK | style);
}

std::wstring ProblemList(const std::vector<std::string>& lines) {
    std::wstring text;
    for (size_t i = 0; i < lines.size() && i < MAX_LISTED_PROBLEMS; ++i) text += L"\n" + Wide(lines[i]);
    if (lines.size() > MAX_LISTED_PROBLEMS) text += L"\n\x2026";
    return text;
}

std::wstring AskPath(Studio& s, bool save, const char* title, const wchar_t* filter,
                     const wchar_t* extension) {
    wchar_t path[MAX_PATH] = L"";
    const std::wstring caption = French(title);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = s.window;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? path : L"";
}

bool SaveTo(Studio& s, const std::wstring& path) {
    std::string error;
    if (!SaveDocument(s.doc, Utf8(path), error)) {
        Tell(s, French("Le quiz n'a pas \xE9t\xE9 enregistr\xE9 :\n") + Wide(error), MB_ICONSTOP);
        return false;
    }
    s.path = path;
    s.name = fs::path(path).filename().wstring();
    s.dirty = false;
    ShowTitle(s);
    return true;
}

bool Save(Studio& s, bool ask) {
    std::wstring path = s.path;
    if (ask || path.empty()) {
        path = AskPath(s, true, "Enregistrer le quiz", L"Quiz (*.json)\0*.json\0", L"json");
        if (path.empty()) return false;
    }
    return SaveTo(s, path);
}

// Whether the current quiz may be replaced: unsaved changes are offered a save.
bool MayDiscard(Studio& s) {
    if (!s.dirty) return true;
    const int answer = g_studioAsk(
        s.window, French("Enregistrer les modifications de \xAB ") + s.name + French(" \xBB ?"),
        MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    return answer == IDNO || Save(s, false);
}

void Replace(Studio& s, QuizDocument doc, const std::wstring& path, const std::wstring& name) {
    s.doc = std::move(doc);
    s.path = path;
    s.name = name;
    s.dirty = false;
    s.selected = 0;
    ShowDocument(s);
}

std::wstring TempPath(Studio& s, const wchar_t* stem, const wchar_t* extension) {
    if (s.tempDir.empty()) {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        s.tempDir = std::wstring(base) + L"brelo-studio-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(s.tempDir.c_str(), nullptr);
    }
    return s.tempDir + L"\\" + stem + std::to_wstring(++s.tempCount) + extension;
}

bool OpenFile(Studio& s, const std::wstring& path) {
    QuizDocument doc;
    std::vector<std::string> fileProblems;
    std::string error;
    if (!OpenDocument(Utf8(path), Utf8(TempPath(s, L"media", L"")), doc, fileProblems, error)) {
        Tell(s, French("Ce fichier ne peut pas \xEAtre ouvert :\n") + Wide(error), MB_ICONSTOP);
        return false;
    }
    const bool program = fs::path(path).extension() != L".json";
    const std::wstring name = fs::path(path).filename().wstring();
    Replace(s, std::move(doc), program ? L"" : path, name);
    if (!fileProblems.empty()) {
        Tell(s, French("Le fichier est ouvert aussi loin que possible ; il a des probl\xE8mes :") +
                    ProblemList(fileProblems));
    }
    return true;
}

bool ImportTable(Studio& s, const std::wstring& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(Utf8(path), bytes, error)) {
        Tell(s, Wide(error), MB_ICONSTOP);
        return false;
    }
    const CsvImport import = ImportCsv(std::string(bytes.begin(), bytes.end()));
    AppendImported(s.doc, import, fs::path(path).parent_path().u8string());
    s.selected = 0;
    ShowDocument(s);
    Edited(s);
    std::wstring text = std::to_wstring(import.questions.size()) + French(" question(s) import\xE9\x65(s).");
    if (!import.problems.empty()) text += French("\nLignes laiss\xE9\x65s de c\xF4t\xE9 :") + ProblemList(import.problems);
    Tell(s, text, import.problems.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
    return true;
}

// The quiz built into a copy of the player this program carries.
bool BuildProgram(Studio& s, const std::wstring& path) {
    std::vector<QuizResource> quiz;
    const std::vector<DocumentProblem> problems = CheckDocument(s.doc, &quiz);
    if (!problems.empty()) {
        std::vector<std::string> lines;
        for (const DocumentProblem& p : problems) lines.push_back(p.text);
        Tell(s, French("Le quiz a encore des probl\xE8mes :") + ProblemList(lines));
        return false;
    }
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_STUDIO_PLAYER), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const uint8_t* bytes = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    std::vector<uint8_t> program;
    std::string error = "le lecteur manque dans Brelo Studio";
    if (bytes == nullptr ||
        !PlayerImageWithQuiz(std::vector<uint8_t>(bytes, bytes + SizeofResource(nullptr, found)), quiz,
                             program, error) ||
        !WriteFileAtomically(Utf8(path), program, error)) {
        Tell(s, French("Le programme n'a pas \xE9t\xE9 \xE9\x63rit :\n") + Wide(error), MB_ICONSTOP);
        return false;
    }
    return true;
}

// Every pupil's answers file judged against the quiz as saved, gathered in one
// spreadsheet, as brelo-make results does.
bool WriteClassResults(Studio& s, const StudioResultsRequest& request) {
    QuizRecord quiz;
    std::string error;
    if (s.path.empty() || s.dirty) {
        Tell(s, French("Enregistrez d'abord le quiz : les r\xE9ponses sont jug\xE9\x65s d'apr\xE8s "
                       "le quiz enregistr\xE9."));
        return false;
    }
    if (!LoadResultsQuiz(Utf8(s.path), quiz, error)) {
        Tell(s, Wide(error), MB_ICONSTOP);
        return false;
    }
    std::vector<std::string> paths;
    for (const std::wstring& file : request.answersFiles) paths.push_back(Utf8(file));
    const ClassResults judged = JudgeClass(quiz, Utf8(s.path), paths);
    const std::vector<PupilResult>& pupils = judged.pupils;
    const std::vector<std::string>& skipped = judged.problems;
    const std::string csv = ClassResultsCsv(quiz, pupils);
    if (pupils.empty() ||
        !WriteFileAtomically(Utf8(request.spreadsheet), std::vector<uint8_t>(csv.begin(), csv.end()),
                             error)) {
        Tell(s, French("Aucun r\xE9sultat \xE9\x63rit.") + ProblemList(skipped) + Wide(error),
             MB_ICONSTOP);
        return false;
    }
    wchar_t average[64];
    swprintf(average, 64, L"%.1f / %d", ClassAverage(pupils), static_cast<int>(ShownQuestionCount(quiz)));
    Tell(s, std::to_wstring(pupils.size()) + French(" \xE9l\xE8ve(s), moyenne de la classe : ") + average +
                L"\n\n" + Wide(ClassResultsTable(quiz, pupils, {"\xC3\xA9l\xC3\xA8ve", "score", "code"})) +
                (skipped.empty() ? L"" : French("\nFichiers laiss\xE9s de c\xF4t\xE9 ou \xE0 v\xE9rifier :") + ProblemList(skipped)),
         judged.trouble ? MB_ICONWARNING : MB_ICONINFORMATION);
    return true;
}

// The answers files chosen in one open dialog (several may be selected).
std::vector<std::wstring> AskAnswersFiles(Studio& s) {
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring caption = French("Fichiers de r\xE9ponses des \xE9l\xE8ves");
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = s.window;
    dialog.lpstrFilter = L"R\u00e9ponses (*.txt)\0*.txt\0";
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT;
    std::vector<std::wstring> files;
    if (!GetOpenFileNameW(&dialog)) return files;
    // One file: its full path. Several: the folder, then each name.
    const std::wstring first = buffer.data();
    for (const wchar_t* name = buffer.data() + first.size() + 1; *name != L'\0';
         name += wcslen(name) + 1) {
        files.push_back(first + L"\\" + name);
    }
    if (files.empty()) files.push_back(first);
    return files;
}

void TryQuiz(Studio& s) {
    const std::wstring path = TempPath(s, L"essai", L".exe");
    if (!BuildProgram(s, path)) return;
    ShellExecuteW(s.window, L"open", path.c_str(), nullptr, s.tempDir.c_str(), SW_SHOWNORMAL);
}

void OnMenu(Studio& s, int id) {
    const wchar_t* quizFilter = L"Quiz (*.json, *.exe)\0*.json;*.exe\0";
    std::wstring path;
    switch (id) {
        case IDM_NEW:
            if (MayDiscard(s)) Replace(s, NewDocument(), L"", L"Sans titre");
            break;
        case IDM_OPEN:
            if (MayDiscard(s)) path = AskPath(s, false, "Ouvrir un quiz", quizFilter, nullptr);
            if (!path.empty()) OpenFile(s, path);
            break;
        case IDM_SAVE:
        case IDM_SAVE_AS:
            Save(s, id == IDM_SAVE_AS);
            break;
        case IDM_IMPORT:
            path = AskPath(s, false,
                           "Importer un tableur (colonnes : question ; r\xE9ponse ; seconde "
                           "r\xE9ponse ; texte r\xE9v\xE9l\xE9 ; image ou clip)",
                           L"Tableur CSV (*.csv, *.txt)\0*.csv;*.txt\0", nullptr);
            if (!path.empty()) ImportTable(s, path);
            break;
        case IDM_QUIT:
            PostMessageW(s.window, WM_CLOSE, 0, 0);
            break;
        case IDM_TRY:
            TryQuiz(s);
            break;
        case IDM_RESULTS: {
            StudioResultsRequest request;
            request.answersFiles = AskAnswersFiles(s);
            if (!request.answersFiles.empty()) {
                request.spreadsheet = AskPath(s, true, "Enregistrer les r\xE9sultats",
                                              L"Tableur CSV (*.csv)\0*.csv\0", L"csv");
            }
            if (!request.spreadsheet.empty()) WriteClassResults(s, request);
            break;
        }
        case IDM_CREATE:
            path = AskPath(s, true, "Cr\xE9\x65r le quiz", L"Programme (*.exe)\0*.exe\0", L"exe");
            if (!path.empty()) BuildProgram(s, path);
            break;
    }
}

void OnBrowse(Studio& s, int button) {
    const int field = button == ID_PICTURE_BROWSE          ? ID_PICTURE
                      : button == ID_ANSWER_PICTURE_BROWSE ? ID_ANSWER_PICTURE
                                                           : ID_CLIP;
    const wchar_t* filter = field == ID_CLIP
                                ? L"Sons et vid\u00e9os\0*.mp3;*.wav;*.avi;*.wmv;*.mpg;*.mpeg\0"
                                : L"Images (*.jpg, *.png)\0*.jpg;*.jpeg;*.png\0";
    const std::wstring path = AskPath(s, false, "Choisir le fichier", filter, nullptr);
    if (!path.empty()) SetWindowTextW(s.Item(field), path.c_str());  // EN_CHANGE records it
}

// ---- Messages.

void OnCommand(Studio& s, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id >= IDM_NEW && id <= IDM_RESULTS) return OnMenu(s, id);
    if (code == EN_CHANGE && !s.filling) return OnFieldEdited(s, id);
    if (code == CBN_SELCHANGE) return OnSettingChosen(s, id);
    if (code == LBN_DBLCLK && id == ID_PROBLEMS) return OnProblemChosen(s);
    if (code != BN_CLICKED) return;
    if (id == ID_COLOR) return OnChooseColor(s);
    if (id == ID_PICTURE_BROWSE || id == ID_ANSWER_PICTURE_BROWSE || id == ID_CLIP_BROWSE) {
        return OnBrowse(s, id);
    }
    OnQuestionButton(s, id);
}

void OnNotify(Studio& s, const NMHDR* header) {
    if (header->idFrom != ID_LIST || header->code != LVN_ITEMCHANGED || s.filling) return;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) {
        s.selected = static_cast<size_t>(change->iItem);
        ShowQuestion(s);
    }
}

void OnDpiChanged(Studio& s, WPARAM wParam, const RECT* suggested) {
    s.dpi = HIWORD(wParam);
    MakeFont(s);
    for (int i = 0; i < 4; ++i) {
        SendMessageW(s.Item(ID_LIST), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                     MAKELPARAM(s.Scale(kColumnWidths[i]), 0));
    }
    SetWindowPos(s.window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowThumbnail(s);
    LayOut(s);
}

HMENU MakeMenu() {
    HMENU file = CreatePopupMenu();
    const std::pair<int, const char*> fileItems[] = {
        {IDM_NEW, "&Nouveau\tCtrl+N"},
        {IDM_OPEN, "&Ouvrir\x85\tCtrl+O"},
        {IDM_SAVE, "&Enregistrer\tCtrl+S"},
        {IDM_SAVE_AS, "Enregistrer &sous\x85"},
        {0, nullptr},
        {IDM_IMPORT, "&Importer un tableur\x85"},
        {0, nullptr},
        {IDM_QUIT, "&Quitter"},
    };
    for (const auto& [id, text] : fileItems) {
        if (text == nullptr) {
            AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(file, MF_STRING, static_cast<UINT_PTR>(id), French(text).c_str());
        }
    }
    HMENU quiz = CreatePopupMenu();
    AppendMenuW(quiz, MF_STRING, IDM_TRY, French("&Essayer\tF5").c_str());
    AppendMenuW(quiz, MF_STRING, IDM_CREATE, French("&Cr\xE9\x65r le quiz\x85\tCtrl+E").c_str());
    AppendMenuW(quiz, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(quiz, MF_STRING, IDM_RESULTS, French("&R\xE9sultats de la classe\x85").c_str());
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Fichier");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(quiz), L"&Quiz");
    return bar;
}

LRESULT OnCreate(HWND window, const CREATESTRUCTW* create) {
    auto* s = new Studio;
    s->window = window;
    s->instance = create->hInstance;
    s->dpi = WindowDpi(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
    CreateControls(*s);
    MakeFont(*s);
    ShowDocument(*s);
    return 0;
}

void OnDestroy(HWND window) {
    Studio* s = StudioOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (s != nullptr) {
        SendMessageW(s->Item(ID_THUMBNAIL), STM_SETIMAGE, IMAGE_BITMAP, 0);
        if (!s->tempDir.empty()) {
            std::error_code ec;
            fs::remove_all(fs::path(s->tempDir), ec);  // a running trial keeps its program
        }
        delete s;
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK StudioProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return OnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
    Studio* s = StudioOf(window);
    if (s == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const auto* path = reinterpret_cast<const wchar_t*>(lParam);
    switch (message) {
        case WM_SIZE:
            LayOut(*s);
            return 0;
        case WM_COMMAND:
            OnCommand(*s, wParam);
            return 0;
        case WM_NOTIFY:
            OnNotify(*s, reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_TIMER:
            Check(*s);
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == s->Item(ID_SWATCH)) {
                return reinterpret_cast<LRESULT>(s->swatch.get());
            }
            break;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {s->Scale(1000), s->Scale(640)};
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(*s, wParam, reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            if (MayDiscard(*s)) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_STUDIO_OPEN:
            return MayDiscard(*s) && OpenFile(*s, path);
        case WM_STUDIO_SAVE_AS:
            return SaveTo(*s, path);
        case WM_STUDIO_IMPORT:
            return ImportTable(*s, path);
        case WM_STUDIO_CREATE:
            return BuildProgram(*s, path);
        case WM_STUDIO_RESULTS:
            return WriteClassResults(*s, *reinterpret_cast<const StudioResultsRequest*>(lParam));
        case WM_STUDIO_CHECK_NOW:
            Check(*s);
            return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateStudioWindow(HINSTANCE instance, const std::wstring& file) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = StudioProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = STUDIO_CLASS;
    RegisterClassExW(&cls);
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, STUDIO_CLASS,
                                  L"Brelo Studio", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 1100, 720, nullptr, MakeMenu(),
                                  instance, nullptr);
    if (window == nullptr) return nullptr;
    Studio* s = StudioOf(window);
    SetWindowPos(window, nullptr, 0, 0, s->Scale(1100), s->Scale(720), SWP_NOMOVE | SWP_NOZORDER);
    if (!file.empty()) OpenFile(*s, file);
    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(s->Item(ID_TITLE));
    return window;
}

int RunStudioLoop(HWND window) {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'N', IDM_NEW},  {FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
        {FVIRTKEY | FCONTROL, 'S', IDM_SAVE}, {FVIRTKEY | FCONTROL, 'E', IDM_CREATE},
        {FVIRTKEY, VK_F5, IDM_TRY},
    };
    HACCEL table = CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window, table, &message)) continue;
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyAcceleratorTable(table);
    return static_cast<int>(message.wParam);
}
