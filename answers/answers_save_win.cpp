#include "answers/answers_save_win.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "answers/scoring.h"
#include "page/control_ids.h"
#include "shell/report.h"

namespace {

// The answers go to a file beside the old one, which is replaced only once
// the new one is whole: a save that fails half-way loses nothing.
constexpr char TEMPORARY_SUFFIX[] = ".tmp";
constexpr int TEMPORARY_NAME_SIZE = ANSWERS_NAME_SIZE + sizeof TEMPORARY_SUFFIX;
constexpr int SAVE_MESSAGE_SIZE = 2 * ANSWERS_NAME_SIZE + 256;
constexpr char SAVE_CAPTION[] = "Brelo";
constexpr int BUSY_RETRIES = 20;
constexpr DWORD BUSY_WAIT_MS = 50;

AnswersPlaces g_places;
bool g_placesFound = false;
bool g_fallbackAnnounced = false;

bool WriteAnswerLines(HANDLE file, const QuizData& quiz, HWND page) {
    const int32_t fields = AnswerFieldCount(quiz);
    for (int32_t n = 1; n <= fields; ++n) {
        // Room for the longest field text and its CR LF.
        char line[ANSWER_LINE_SIZE + 2];
        line[0] = '\0';
        const UINT length = GetDlgItemTextA(page, ID_ANSWER_EDIT + n, line, ANSWER_LINE_SIZE);
        if (length > ANSWER_LINE_MAX) return false;
        FlattenAnswerLine(line, static_cast<int>(length));
        line[length] = '\r';
        line[length + 1] = '\n';
        DWORD written = 0;
        if (!WriteFile(file, line, length + 2, &written, nullptr) || written != length + 2) {
            return false;
        }
    }
    return true;
}

// Two copies of one program closing together save through the same
// temporary file: the second waits a little for the first rather than
// sending its answers elsewhere.
HANDLE CreateTemporaryFile(const char* temporaryName) {
    for (int attempt = 0;; ++attempt) {
        HANDLE file = CreateFileA(temporaryName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
            attempt == BUSY_RETRIES) {
            return file;
        }
        Sleep(BUSY_WAIT_MS);
    }
}

bool WriteAnswersFile(const char* temporaryName, const QuizData& quiz, HWND page) {
    HANDLE file = CreateTemporaryFile(temporaryName);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = WriteAnswerLines(file, quiz, page) && FlushFileBuffers(file);
    if (!CloseHandle(file)) written = false;
    return written;
}

// A read-only answers file is one the user chose to keep as it is. Replacing
// it is refused by the platform on Windows; the check makes the refusal come
// before anything is written, wherever the player runs.
bool IsReadOnly(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A temporary file left by a save that was killed is removed first, whatever
// becomes of this save: nothing ever reads it.
bool SaveAnswersTo(const QuizData& quiz, HWND page, const char* name) {
    if (name[0] == '\0') return false;
    char temporaryName[TEMPORARY_NAME_SIZE];
    std::snprintf(temporaryName, sizeof temporaryName, "%s%s", name, TEMPORARY_SUFFIX);
    DeleteFileA(temporaryName);
    if (IsReadOnly(name)) return false;
    if (WriteAnswersFile(temporaryName, quiz, page) &&
        MoveFileExA(temporaryName, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporaryName);
    return false;
}

// The fallback lives one folder down from the application data folder.
void CreateParentFolder(const char* path) {
    char folder[ANSWERS_NAME_SIZE];
    CopyText(folder, sizeof folder, path);
    char* last = std::strrchr(folder, '\\');
    if (last == nullptr) return;
    *last = '\0';
    CreateDirectoryA(folder, nullptr);
}

void ReportSaveFailure(const char* name) {
    char message[SAVE_MESSAGE_SIZE];
    std::snprintf(message, sizeof message,
                  "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9"
                  "es dans le fichier %s.\r\n"
                  "V\xE9rifiez que ce fichier n'est pas en lecture seule et que le dossier "
                  "accepte l'\xE9"
                  "criture.",
                  name);
    ReportMessage(message, SAVE_CAPTION, REPORT_ICON_STOP);
}

void AnnounceFallback(const AnswersPlaces& places) {
    char message[SAVE_MESSAGE_SIZE];
    std::snprintf(message, sizeof message,
                  "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9"
                  "es dans le dossier du programme : elles le sont dans le fichier %s.\r\n"
                  "Elles y seront reprises au prochain lancement de ce programme depuis le "
                  "m\xEAme dossier.",
                  places.fallback);
    ReportMessage(message, SAVE_CAPTION, REPORT_ICON_INFORMATION);
}

void ReportNothingToSave() {
    ReportMessage(
        "Aucune r\xE9ponse n'a \xE9t\xE9 enregistr\xE9"
        "e : le quiz de ce programme n'a pas pu \xEAtre charg\xE9, "
        "et les r\xE9ponses d\xE9j\xE0 enregistr\xE9"
        "es sont gard\xE9"
        "es telles quelles.",
        SAVE_CAPTION, REPORT_ICON_STOP);
}

// Last write time of an existing file; false when there is none.
bool LastWritten(const char* name, FILETIME& time) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (name[0] == '\0' || !GetFileAttributesExA(name, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    time = data.ftLastWriteTime;
    return true;
}

}  // namespace

void FindAnswersPlaces(const char* programPath, const char* appData) {
    char module[ANSWERS_NAME_SIZE] = "";
    if (programPath == nullptr) {
        const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
        if (length == 0 || length >= sizeof module) module[0] = '\0';
        programPath = module;
    }
    char userFolder[MAX_PATH] = "";
    if (appData == nullptr) {
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                    userFolder))) {
            userFolder[0] = '\0';
        }
        appData = userFolder;
    }
    g_places = {};
    if (programPath[0] != '\0') {
        ReplaceExtensionWithTxt(programPath, g_places.besideProgram, ANSWERS_NAME_SIZE);
        MakeFallbackAnswersName(appData, programPath, g_places.fallback, ANSWERS_NAME_SIZE);
    }
    g_placesFound = true;
    g_fallbackAnnounced = false;
}

const AnswersPlaces& CurrentAnswersPlaces() {
    if (!g_placesFound) FindAnswersPlaces();
    return g_places;
}

const char* AnswersFileToRestore() {
    const AnswersPlaces& places = CurrentAnswersPlaces();
    FILETIME beside = {}, fallback = {};
    const bool hasBeside = LastWritten(places.besideProgram, beside);
    const bool hasFallback = LastWritten(places.fallback, fallback);
    if (hasBeside && hasFallback) {
        return CompareFileTime(&fallback, &beside) > 0 ? places.fallback : places.besideProgram;
    }
    if (hasBeside) return places.besideProgram;
    return hasFallback ? places.fallback : nullptr;
}

bool AnswersCanBeSaved(const QuizData* quiz) {
    return quiz != nullptr && quiz->holdsOwnQuiz && quiz->hQuestionPage != nullptr &&
           IsWindow(quiz->hQuestionPage);
}

bool SaveAnswers(QuizData* quiz, SaveMode mode) {
    // A record without the program's own quiz (content that did not load,
    // the sample quiz) has other fields, or none: writing them would replace
    // the pupil's saved answers.
    if (quiz == nullptr || !quiz->holdsOwnQuiz) {
        if (mode == SAVE_REPORTED) ReportNothingToSave();
        return false;
    }
    const AnswersPlaces& places = CurrentAnswersPlaces();
    // Without its page there are no fields to read: writing would replace
    // the saved answers with empty lines.
    HWND page = quiz->hQuestionPage;
    const bool hasPage = page != nullptr && IsWindow(page);
    bool saved = hasPage && SaveAnswersTo(*quiz, page, places.besideProgram);
    if (!saved && hasPage && places.fallback[0] != '\0') {
        CreateParentFolder(places.fallback);
        saved = SaveAnswersTo(*quiz, page, places.fallback);
        if (saved && mode != SAVE_SILENT && !g_fallbackAnnounced) {
            g_fallbackAnnounced = true;
            AnnounceFallback(places);
        }
    }
    if (!saved && mode == SAVE_REPORTED) {
        ReportSaveFailure(places.besideProgram[0] != '\0' ? places.besideProgram
                                                          : "des r\xE9ponses");
    }
    return saved;
}
