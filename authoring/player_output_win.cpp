#include <windows.h>
#include <shellapi.h>

#include "authoring/file_output.h"
#include "authoring/player_output.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], n, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(n - 1));
    return utf8;
}

// A type or name the way the resource functions take it: an integer in
// place of a pointer, or a string that `holder` keeps alive.
LPCWSTR IdArgument(const ResourceId& id, std::wstring& holder) {
    if (!id.isString) return MAKEINTRESOURCEW(id.number);
    holder.assign(id.text.begin(), id.text.end());
    return holder.c_str();
}

bool Update(HANDLE update, const PeResource& r) {
    std::wstring type, name;
    return UpdateResourceW(update, IdArgument(r.type, type), IdArgument(r.name, name), r.language,
                           const_cast<uint8_t*>(r.bytes.data()),
                           static_cast<DWORD>(r.bytes.size())) != FALSE;
}

// EndUpdateResource can report success without having written everything
// (wine does so for a program that has no resource section yet), so the
// result is read back before it counts as built.
bool AllWritten(const std::string& path, const std::vector<PeResource>& wanted) {
    std::vector<uint8_t> image;
    std::vector<PeResource> written;
    std::string error;
    if (!ReadWholeFile(path, image, error) || !ReadPeResources(image, written, error)) return false;
    for (const PeResource& r : wanted) {
        bool found = false;
        for (const PeResource& w : written) {
            found = found || (w.type == r.type && w.name == r.name && w.language == r.language &&
                              w.bytes == r.bytes);
        }
        if (!found) return false;
    }
    return written.size() == wanted.size();
}

std::string ErrorNumber(const char* what) {
    return std::string(what) + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

bool WritePlayerWithQuiz(const std::string& playerPath, const std::vector<QuizResource>& quiz,
                         const std::string& outputPath, std::string& error) {
    // The update starts from an empty resource section and writes back the
    // player's own resources (read with our reader) and then the quiz: any
    // quiz the player held goes, in whichever language it was stored, without
    // relying on UpdateResource's deletion, which wine ignores.
    std::vector<uint8_t> player;
    std::vector<PeResource> existing;
    if (!ReadWholeFile(playerPath, player, error)) return false;
    if (!ReadPeResources(player, existing, error)) {
        error = playerPath + ": " + error;
        return false;
    }
    std::vector<PeResource> wanted;
    for (PeResource& r : existing) {
        if (!IsQuizResource(r.type, r.name)) wanted.push_back(std::move(r));
    }
    for (const QuizResource& r : quiz) {
        wanted.push_back(r);
        wanted.back().language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    }

    // The copy goes to a name that did not exist (CopyFile fails on any
    // existing one, a link included), so no file of the user's is overwritten.
    std::string partialPath;
    std::wstring partial;
    BOOL copied = FALSE;
    for (int i = 0; i < 64 && !copied; ++i) {
        partialPath = PartialName(outputPath);
        partial = Wide(partialPath);
        copied = CopyFileW(Wide(playerPath).c_str(), partial.c_str(), TRUE);
        if (!copied && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (!copied) {
        error = outputPath + ": " + ErrorNumber("copying the player");
        return false;
    }
    SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE update = BeginUpdateResourceW(partial.c_str(), TRUE);
    bool ok = update != nullptr;
    const char* step = "BeginUpdateResource";
    for (const PeResource& r : wanted) {
        if (ok) {
            ok = Update(update, r);
            step = "UpdateResource";
        }
    }
    if (ok) {
        ok = EndUpdateResourceW(update, FALSE) != FALSE;
        step = "EndUpdateResource";
        update = nullptr;
    }
    if (ok && !AllWritten(partialPath, wanted)) {
        ok = false;
        step = "checking the written program (resources are missing)";
        SetLastError(ERROR_INVALID_DATA);
    }
    if (ok && !MoveFileExW(partial.c_str(), Wide(outputPath).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ok = false;
        step = "renaming the finished program";
    }
    if (!ok) {
        error = outputPath + ": " + ErrorNumber(step);
        if (update != nullptr) EndUpdateResourceW(update, TRUE);
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

std::string DefaultPlayerPath() {
    wchar_t self[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
    if (n == 0 || n >= sizeof self / sizeof self[0]) return "brelo.exe";
    std::wstring folder(self, n);
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"" : folder.substr(0, slash + 1);
    return Utf8((folder + L"brelo.exe").c_str());
}

// Also switches the console to UTF-8, the encoding of every message.
std::vector<std::string> CommandLineArguments(int, char**) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}
