// The players brelo-make builds, judged by Windows itself: loaded as modules
// through the resource functions, and started to see the quiz on screen.
#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "page/control_ids.h"  // ID_PROMPT
#include "tools/file_output.h"
#include "tools/quiz_resources.h"

namespace fs = std::filesystem;

namespace {

// Paths handed in by the build are Unix paths; under wine they resolve on
// the drive of the current folder.
std::wstring Full(const char* path) {
    return fs::absolute(path).wstring();
}

std::string Narrow(const fs::path& path) {
    return path.generic_u8string();
}

// Runs `exe` in `folder` (null: here), calls `look` with its process id and
// returns its exit code, or -1.
int Launch(const std::wstring& exe, const std::wstring& arguments, const wchar_t* folder,
           const std::function<void(DWORD)>& look) {
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

BOOL CALLBACK CollectPrompts(HWND window, LPARAM prompts) {
    if (GetDlgCtrlID(window) == ID_PROMPT) {
        char text[512] = {};
        GetWindowTextA(window, text, 512);
        reinterpret_cast<std::vector<std::string>*>(prompts)->push_back(text);
    }
    return TRUE;
}

// Starts the player in `folder` (where it keeps its answers file) and returns
// its caption followed by the prompts of its question rows, in Windows-1252 as
// its ANSI windows hold them.
std::vector<std::string> StartAndLook(const std::wstring& exe, const fs::path& folder) {
    std::vector<std::string> shown;
    Launch(exe, L"", folder.c_str(), [&shown](DWORD id) {
        HWND main = nullptr;
        for (int i = 0; i < 300 && main == nullptr; ++i) {
            Sleep(100);
            while ((main = FindWindowExW(nullptr, main, L"Brelo", nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(main, &owner);
                if (owner == id && IsWindowVisible(main)) break;
            }
        }
        if (main == nullptr) return;
        char caption[512] = {};
        GetWindowTextA(main, caption, 512);
        // The page builds its rows while the window opens; give it a moment.
        for (int i = 0; i < 50 && shown.size() < 2; ++i) {
            Sleep(100);
            shown = {caption};
            EnumChildWindows(main, CollectPrompts, reinterpret_cast<LPARAM>(&shown));
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
    });
    return shown;
}

// Our own PE writer (brelo-make's Linux route), brelo-make.exe (the Windows
// route, from a command line in UTF-8) and brelo_quiz_player().
TEST(QuizExe, EveryRouteGivesAPlayerThatShowsItsQuiz) {
    const std::wstring player = Full(BRELO_PLAYER_EXE), json = Full(BRELO_CAPITALS_JSON);
    const fs::path folder =
        fs::temp_directory_path() / (L"brelo-quiz-exe-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(folder);
    const std::wstring written = (folder / L"pe-writer.exe").wstring(),
                       command = (folder / L"command line \u00e9.exe").wstring();
    QuizProject project;
    std::vector<QuizResource> quiz;
    std::vector<uint8_t> image, out;
    std::vector<std::string> problems;
    std::string error;
    ASSERT_TRUE(LoadQuizResources(Narrow(json), true, project, quiz, problems)) << problems[0];
    // Many more under two types, which a text quiz never shows: Windows finds
    // a resource by halving the sorted directories, so an unsorted tree would
    // lose some of them.
    for (int q = 96; q >= 1; --q) {
        quiz.push_back(
            {q % 3 ? ResourceId::Named("IMG") : ResourceId::Number(RESOURCE_TYPE_RCDATA),
             ResourceId::Number(static_cast<uint16_t>(QUIZ_MEDIA_BASE + q)), 0, 0,
             std::vector<uint8_t>(static_cast<size_t>(q) * 37, static_cast<uint8_t>(q))});
    }
    ASSERT_TRUE(ReadWholeFile(Narrow(player), image, error) &&
                PlayerImageWithQuiz(image, quiz, out, error) &&
                WriteFileAtomically(Narrow(written), out, error))
        << error;
    DWORD headerSum = 0, computed = 0;  // the header checksum is the one Windows computes
    ASSERT_NE(CheckSumMappedFile(out.data(), static_cast<DWORD>(out.size()), &headerSum, &computed),
              nullptr);
    EXPECT_EQ(headerSum, computed);
    HMODULE module = LoadLibraryExW(written.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    for (const QuizResource& r : quiz) {
        std::wstring type(r.type.text.begin(), r.type.text.end());
        HRSRC found =
            FindResourceW(module, MAKEINTRESOURCEW(r.name.number),
                          r.type.isString ? type.c_str() : MAKEINTRESOURCEW(r.type.number));
        ASSERT_NE(found, nullptr) << r.type.Describe() << " " << r.name.number;
        const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found)), r.bytes);
    }
    FreeLibrary(module);

    ASSERT_EQ(
        Launch(Full(BRELO_MAKE_EXE),
               L"build \"" + json + L"\" -o \"" + command + L"\" --player \"" + player + L"\"",
               nullptr, [](DWORD) {}),
        0);
    for (const std::wstring& exe : {written, command, Full(BRELO_CAPITALS_EXE)}) {
        SCOPED_TRACE(Narrow(exe));
        const std::vector<std::string> shown = StartAndLook(exe, folder);
        ASSERT_EQ(shown.size(), project.quiz.questions.size() + 1) << "caption and prompts";
        EXPECT_EQ(shown[0], project.quiz.title);
        EXPECT_EQ(shown[1], project.quiz.questions[0].prompt);
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace
