// The players brelo-make builds, loaded and started by Windows itself.
#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "page/control_ids.h"  // ID_RESULT_LABEL
#include "authoring/class_results.h"
#include "authoring/file_output.h"
#include "authoring/quiz_resources.h"
#include "tests/authoring/fixture.h"

namespace fs = std::filesystem;

namespace {

// Runs `exe` in `folder`, calls `look` with its process id, returns its exit code.
DWORD Launch(const std::wstring& exe, const std::wstring& arguments, const fs::path& folder,
             const std::function<void(DWORD)>& look) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return 1000;
    look(process.dwProcessId);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1001);
    DWORD code = 1002;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

BOOL CALLBACK CollectLabels(HWND window, LPARAM shown) {
    auto& texts = *reinterpret_cast<std::vector<std::string>*>(shown);
    const int n = GetDlgCtrlID(window) - ID_RESULT_LABEL;  // texts[0] is the caption
    char text[64] = {};
    if (n >= 1 && n < static_cast<int>(texts.size()) && GetWindowTextA(window, text, 64) >= 0)
        texts[n] = text;
    return TRUE;
}

// The caption and the first `labels` result labels of the player started in `folder`.
std::vector<std::string> StartAndLook(const fs::path& exe, const fs::path& folder, size_t labels) {
    std::vector<std::string> shown;
    Launch(exe.wstring(), L"", folder, [&shown, labels](DWORD id) {
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
        shown = {caption};
        shown.resize(labels + 1);
        // The page builds its rows and restores the answers while the window opens.
        for (int i = 0; i < 50 && shown[1].empty(); ++i) {
            Sleep(100);
            EnumChildWindows(main, CollectLabels, reinterpret_cast<LPARAM>(&shown));
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
    });
    return shown;
}

// Our PE writer (the Linux route) and brelo-make.exe (the Windows route).
TEST(QuizExe, EveryRouteGivesAPlayerThatShowsItsQuiz) {
    // Paths from the build are Unix paths; wine finds them on the current drive.
    auto full = [](const char* path) { return fs::absolute(path).wstring(); };
    const std::wstring player = full(BRELO_PLAYER_EXE), json = full(BRELO_CAPITALS_JSON);
    Scratch scratch("quiz-exe");
    const fs::path folder = scratch.dir;
    const fs::path written = folder / L"pe-writer.exe",
                   command = folder / L"command line \u00e9.exe";
    QuizProject project;
    std::vector<QuizResource> quiz;
    std::vector<uint8_t> image, out;
    std::vector<std::string> problems;
    std::string error;
    ASSERT_TRUE(LoadQuizResources(fs::path(json).u8string(), true, project, quiz, problems))
        << problems[0];
    // Many more, found only if the directories Windows halves are sorted.
    for (uint16_t q = 96; q >= 1; --q) {
        quiz.push_back({q % 3 ? ResourceId::Named("IMG") : ResourceId::Number(RESOURCE_TYPE_RCDATA),
                        ResourceId::Number(QUIZ_MEDIA_BASE + q), 0, 0,
                        std::vector<uint8_t>(q * 37u, uint8_t(q))});
    }
    ASSERT_TRUE(ReadWholeFile(fs::path(player).u8string(), image, error) &&
                PlayerImageWithQuiz(image, quiz, out, error) &&
                WriteFileAtomically(written.u8string(), out, error))
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

    const std::wstring build =
        L"build \"" + json + L"\" -o \"" + command.wstring() + L"\" --player \"" + player + L"\"";
    ASSERT_EQ(Launch(full(BRELO_MAKE_EXE), build, folder, [](DWORD) {}), 0u);
    // Both restore the verdicts `results` gives: "wien" is a second form, "Athenes" a slip.
    const std::string answers = "wien\r\nLisbone\r\nAthenes\r\n";
    QuizRecord record;
    PupilResult judged;
    std::string why, warning;
    ASSERT_TRUE(LoadResultsQuiz(command.u8string(), record, error) &&
                JudgeAnswersFile(record, {answers.begin(), answers.end()}, judged, why, warning));
    std::vector<std::string> shown = {project.quiz.title};
    shown.insert(shown.end(), judged.verdicts.begin(), judged.verdicts.end());
    EXPECT_EQ(shown[1] + " " + shown[3], "BRAVO Accents");
    for (const fs::path& exe : {written, command}) {
        std::ofstream(fs::path(exe).replace_extension(L".txt"), std::ios::binary) << answers;
        EXPECT_EQ(StartAndLook(exe, folder, judged.verdicts.size()), shown) << exe.u8string();
    }
}

}  // namespace
