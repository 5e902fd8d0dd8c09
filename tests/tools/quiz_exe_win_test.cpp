// The players brelo-make builds, judged by Windows itself: loaded as modules
// through the resource functions, and started to see the quiz on screen.
#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "page/control_ids.h"
#include "tools/file_output.h"
#include "tools/player_output.h"
#include "tools/quiz_resources.h"

namespace fs = std::filesystem;

namespace {

// Paths handed in by the build are Unix paths; under wine they resolve on
// the drive of the current folder.
std::wstring Full(const char* path) {
    wchar_t full[MAX_PATH * 2];
    std::wstring wide(path, path + std::strlen(path));
    const DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full, n) : wide;
}

std::string Narrow(const std::wstring& wide) {
    return fs::path(wide).generic_u8string();
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(Narrow(path), bytes, error)) << error;
    return bytes;
}

// What the player shows a pupil, read from its windows.
struct Shown {
    bool window = false;
    std::wstring caption;
    std::vector<std::wstring> prompts;  // the list rows' question texts, in order
};

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (owner == search->process && std::wstring(className) == L"Brelo" &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectPrompts(HWND window, LPARAM data) {
    if (GetDlgCtrlID(window) == ID_PROMPT) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(text);
    }
    return TRUE;
}

fs::path Scratch(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / (name + L"-" + std::to_wstring(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Runs `exe` in `folder` (null: here). `look` sees the process while it
// runs; the result is its exit code, or -1.
template <typename Look>
int Launch(const std::wstring& exe, const std::wstring& arguments, const wchar_t* folder,
           Look look) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &process)) {
        return -1;
    }
    look(process.dwProcessId);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// Starts the player in a folder of its own (where it keeps its answers
// file), reads its window and closes it.
Shown StartAndLook(const std::wstring& exe) {
    Shown shown;
    const fs::path folder = Scratch(L"brelo-quiz-exe-run");
    Launch(exe, L"", folder.wstring().c_str(), [&shown](DWORD id) {
        Search search = {id, nullptr};
        for (int i = 0; i < 300 && search.found == nullptr; ++i) {
            Sleep(100);
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        }
        if (search.found == nullptr) return;
        shown.window = true;
        // The page builds its rows while the window opens; give it a moment.
        for (int i = 0; i < 50 && shown.prompts.empty(); ++i) {
            Sleep(100);
            EnumChildWindows(search.found, CollectPrompts,
                             reinterpret_cast<LPARAM>(&shown.prompts));
        }
        wchar_t caption[512] = {};
        GetWindowTextW(search.found, caption, 512);
        shown.caption = caption;
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    });
    std::error_code ec;
    fs::remove_all(folder, ec);
    return shown;
}

// The text as the player's ANSI windows show it.
std::wstring AsShown(const std::string& windows1252) {
    const int n = MultiByteToWideChar(CP_ACP, 0, windows1252.data(),
                                      static_cast<int>(windows1252.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, windows1252.data(), static_cast<int>(windows1252.size()),
                        &wide[0], n);
    return wide;
}

TEST(QuizExe, EveryRouteGivesAPlayerThatShowsItsQuiz) {
    const std::wstring player = Full(BRELO_PLAYER_EXE);
    const std::wstring json = Full(BRELO_CAPITALS_JSON);
    QuizProject project;
    std::vector<QuizResource> plain, enciphered;
    std::vector<std::string> problems;
    ASSERT_TRUE(LoadQuizResources(Narrow(json), false, project, plain, problems)) << problems[0];
    ASSERT_TRUE(LoadQuizResources(Narrow(json), true, project, enciphered, problems))
        << problems[0];
    const fs::path folder = Scratch(L"brelo-quiz-exe");

    struct Route {
        const char* what;
        std::wstring exe;
    };
    std::vector<Route> routes;
    {  // Our own PE writer, as brelo-make on Linux uses it.
        std::vector<uint8_t> out;
        std::string error;
        routes.push_back({"PE writer, enciphered", (folder / L"pe-writer.exe").wstring()});
        ASSERT_TRUE(PlayerImageWithQuiz(ReadBytes(player), enciphered, out, error)) << error;
        ASSERT_TRUE(WriteFileAtomically(Narrow(routes.back().exe), out, error)) << error;
    }
    {  // BeginUpdateResource, as brelo-make on Windows does it.
        std::string error;
        routes.push_back({"UpdateResource", (folder / L"update.exe").wstring()});
        ASSERT_TRUE(WritePlayerWithQuiz(Narrow(player), plain, Narrow(routes.back().exe), error))
            << error;
    }
    {  // brelo-make.exe itself, from its command line.
        routes.push_back({"brelo-make.exe build", (folder / L"command line \u00e9.exe").wstring()});
        ASSERT_EQ(Launch(Full(BRELO_MAKE_EXE),
                         L"build \"" + json + L"\" -o \"" + routes.back().exe + L"\" --player \"" +
                             player + L"\" --encipher",
                         nullptr, [](DWORD) {}),
                  0);
    }
    // At build time, through brelo_quiz_player().
    routes.push_back({"brelo_quiz_player", Full(BRELO_CAPITALS_EXE)});

    for (const Route& route : routes) {
        SCOPED_TRACE(route.what);
        Shown shown = StartAndLook(route.exe);
        ASSERT_TRUE(shown.window) << "no main window";
        EXPECT_EQ(shown.caption, AsShown(project.quiz.title));
        ASSERT_EQ(shown.prompts.size(), project.quiz.questions.size());
        EXPECT_EQ(shown.prompts[0], AsShown(project.quiz.questions[0].prompt));
        EXPECT_EQ(shown.prompts[2], AsShown(project.quiz.questions[2].prompt));
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
}

// Many pictures under two types: Windows finds each resource by halving the
// sorted directories, so an unsorted tree would lose some of them.
TEST(QuizExe, WindowsFindsEveryResourceTheWriterPuts) {
    const std::wstring player = Full(BRELO_PLAYER_EXE);
    std::vector<QuizResource> quiz;
    for (int q = 96; q >= 1; --q) {
        QuizResource r;
        r.type = q % 3 ? ResourceId::Named("IMG") : ResourceId::Number(RESOURCE_TYPE_RCDATA);
        r.name = ResourceId::Number(static_cast<uint16_t>(QUIZ_MEDIA_BASE + q));
        r.bytes.assign(static_cast<size_t>(q) * 37, static_cast<uint8_t>(q));
        quiz.push_back(r);
    }
    std::vector<uint8_t> image;
    std::string error;
    ASSERT_TRUE(PlayerImageWithQuiz(ReadBytes(player), quiz, image, error)) << error;

    // The header checksum is the one Windows computes.
    DWORD headerSum = 0, computed = 0;
    ASSERT_NE(
        CheckSumMappedFile(image.data(), static_cast<DWORD>(image.size()), &headerSum, &computed),
        nullptr);
    EXPECT_EQ(headerSum, computed);

    const fs::path folder = Scratch(L"brelo-quiz-exe-module");
    const std::wstring path = (folder / L"many.exe").wstring();
    ASSERT_TRUE(WriteFileAtomically(Narrow(path), image, error)) << error;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    for (const QuizResource& r : quiz) {
        const LPCWSTR type = r.type.isString ? L"IMG" : MAKEINTRESOURCEW(RESOURCE_TYPE_RCDATA);
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(r.name.number), type);
        ASSERT_NE(found, nullptr) << r.name.number;
        ASSERT_EQ(SizeofResource(module, found), r.bytes.size());
        const uint8_t* bytes =
            static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), bytes)) << r.name.number;
    }
    // The player's own resources are still there: its page template.
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(IDD_QUESTION_PAGE), MAKEINTRESOURCEW(5)),
              nullptr);
    FreeLibrary(module);
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace
