// The real Studio window driven by messages; file dialogs bypassed by the commands behind them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "authoring/csv_import.h"
#include "authoring/quiz_resources.h"
#include "studio/studio_win.h"
#include "tests/authoring/fixture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::wstring> g_asked;
int g_answer = IDNO;
int RecordQuestion(HWND, const std::wstring& text, UINT) {
    g_asked.push_back(text);
    return g_answer;
}

std::wstring Text(HWND window, int id) {
    wchar_t text[512] = L"";
    GetWindowTextW(id ? GetDlgItem(window, id) : window, text, 512);
    return text;
}

// The quiz blocks ("PATCH" resources) of a program.
std::map<int, std::vector<uint8_t>> QuizBlocks(const std::vector<PeResource>& resources) {
    std::map<int, std::vector<uint8_t>> blocks;
    for (const PeResource& r : resources) {
        if (r.type == ResourceId::Named("PATCH")) blocks[r.name.number] = r.bytes;
    }
    return blocks;
}

TEST(StudioWindow, EditsChecksSavesBuildsAndAsksBeforeLosingWork) {
    g_studioAsk = RecordQuestion;
    Scratch scratch("studio",
                    {{"capitales.json", R"({"title": "Capitales", "questions": [
        {"answer1": "Vienne", "prompt": "Autriche"},
        {"answer1": "Ath\u00e8nes", "prompt": "Gr\u00e8ce"},
        {"answer1": "Prague", "prompt": "Tch\u00e9quie"}], "codes": ["A", "B", "C"]})"},
                     {"ana.txt", "Vienne\r\nAthenes\r\nPraha\r\n"},
                     {"bob.txt", "Vienne\r\n\r\n\r\n"},
                     {"broken.jpg", "\xFF\xD8\xFF\xE0 not a picture"},
                     {"table.csv", "Drapeau 16;r\xE9ponse;Rome;;broken.jpg\n"}});  // Windows-1252
    const fs::path dir = scratch.dir;
    HWND window = CreateStudioWindow(GetModuleHandleW(nullptr), (dir / "capitales.json").wstring());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, 0), L"capitales.json - Brelo Studio");

    // An emptied answer is listed; double-clicking the problem selects its question and field.
    ListView_SetItemState(GetDlgItem(window, ID_LIST), 2, LVIS_SELECTED, LVIS_SELECTED);
    const std::wstring answer = Text(window, ID_ANSWER1);
    SetDlgItemTextW(window, ID_ANSWER1, L"");
    EXPECT_EQ(Text(window, 0), L"*capitales.json - Brelo Studio");
    SendMessageW(window, WM_STUDIO_CHECK_NOW, 0, 0);
    wchar_t problem[512] = L"";
    SendDlgItemMessageW(window, ID_PROBLEMS, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(problem));
    EXPECT_EQ(SendDlgItemMessageW(window, ID_PROBLEMS, LB_GETCOUNT, 0, 0), 1);
    EXPECT_STREQ(problem, L"questions[2].answer1: must not be empty");
    ListView_SetItemState(GetDlgItem(window, ID_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
    SendDlgItemMessageW(window, ID_PROBLEMS, LB_SETCURSEL, 0, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_PROBLEMS, LBN_DBLCLK), 0);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, ID_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                           LVNI_SELECTED),
              2);
    EXPECT_EQ(GetFocus(), GetDlgItem(window, ID_ANSWER1));

    // Building is refused while the problem remains, and nothing is written.
    const fs::path program = dir / "capitales.exe";
    EXPECT_FALSE(SendMessageW(window, WM_STUDIO_CREATE, 0,
                              reinterpret_cast<LPARAM>(program.wstring().c_str())));
    EXPECT_FALSE(fs::exists(program));
    ASSERT_EQ(g_asked.size(), 1u);
    EXPECT_NE(g_asked[0].find(L"questions[2].answer1"), std::wstring::npos);

    // Mended with a second accepted form and tolerated accents, and saved.
    SetDlgItemTextW(window, ID_ANSWER1, answer.c_str());
    SendDlgItemMessageW(window, ID_OTHER_ANSWERS1, EM_REPLACESEL, TRUE,
                        reinterpret_cast<LPARAM>(L"Praha"));  // typed: a multi-line field
    SendDlgItemMessageW(window, ID_ACCENTS, CB_SETCURSEL, 1, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_ACCENTS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, ID_ACCENTS)));
    const fs::path saved = dir / "saved.json";
    EXPECT_TRUE(SendMessageW(window, WM_STUDIO_SAVE_AS, 0,
                             reinterpret_cast<LPARAM>(saved.wstring().c_str())));
    EXPECT_EQ(Text(window, 0), L"saved.json - Brelo Studio");

    // "Créer le quiz..." writes the quiz blocks brelo-make writes.
    EXPECT_TRUE(SendMessageW(window, WM_STUDIO_CREATE, 0,
                             reinterpret_cast<LPARAM>(program.wstring().c_str())));
    QuizProject project;
    std::vector<QuizResource> expected, built;
    std::vector<std::string> problems;
    std::string error;
    ASSERT_TRUE(LoadQuizResources(saved.u8string(), false, project, expected, problems));
    const std::string image = ReadAll(program.u8string());
    ASSERT_TRUE(ReadPeResources({image.begin(), image.end()}, built, error)) << error;
    EXPECT_EQ(QuizBlocks(built), QuizBlocks(expected));

    // The class's results, judged against the saved quiz: its second form and its accents.
    StudioResultsRequest request{{(dir / "ana.txt").wstring(), (dir / "bob.txt").wstring()},
                                 (dir / "classe.csv").wstring()};
    g_asked.clear();
    EXPECT_TRUE(SendMessageW(window, WM_STUDIO_RESULTS, 0, reinterpret_cast<LPARAM>(&request)));
    ASSERT_EQ(g_asked.size(), 1u);  // the average, then the same table as brelo-make results
    EXPECT_EQ(g_asked[0].rfind(L"2 \xE9l\xE8ve(s), moyenne de la classe : 2.0 / 3\n", 0), 0u);
    EXPECT_NE(g_asked[0].find(L"\nana    3/3"), std::wstring::npos) << g_asked[0];
    EXPECT_NE(ReadAll(scratch.Path("classe.csv")).find("ana;3;"), std::string::npos);

    // A picture that shows has a thumbnail, a damaged one none; a table's rows join the list.
    const std::wstring demo = fs::u8path(BRELO_SOURCE_DIR "/resources/demo/demo.json").wstring();
    EXPECT_TRUE(SendMessageW(window, WM_STUDIO_OPEN, 0, reinterpret_cast<LPARAM>(demo.c_str())));
    EXPECT_NE(SendDlgItemMessageW(window, ID_THUMBNAIL, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    const std::wstring table = (dir / "table.csv").wstring();
    EXPECT_TRUE(SendMessageW(window, WM_STUDIO_IMPORT, 0, reinterpret_cast<LPARAM>(table.c_str())));
    EXPECT_EQ(SendMessageW(GetDlgItem(window, ID_LIST), LVM_GETITEMCOUNT, 0, 0), 16);
    ListView_SetItemState(GetDlgItem(window, ID_LIST), 15, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SendDlgItemMessageW(window, ID_THUMBNAIL, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    // Unsaved changes: "Annuler" keeps the window, "Non" lets it close.
    g_asked.clear();
    g_answer = IDCANCEL;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    g_answer = IDNO;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_asked.size(), 2u);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
