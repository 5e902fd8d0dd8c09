#include <windows.h>
#include <shellapi.h>

#include "tools/file_output.h"
#include "tools/player_output.h"

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

bool Update(HANDLE update, const PeResource& r, WORD language, const std::vector<uint8_t>* data) {
    std::wstring type, name;
    void* bytes = data != nullptr ? const_cast<uint8_t*>(data->data()) : nullptr;
    const DWORD size = data != nullptr ? static_cast<DWORD>(data->size()) : 0;
    return UpdateResourceW(update, IdArgument(r.type, type), IdArgument(r.name, name), language,
                           bytes, size) != FALSE;
}

std::string ErrorNumber(const char* what) {
    return std::string(what) + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

bool WritePlayerWithQuiz(const std::string& playerPath, const std::vector<QuizResource>& quiz,
                         const std::string& outputPath, std::string& error) {
    // The player's resources are read with our own reader to know which
    // quiz resources (in which languages) to remove first.
    std::vector<uint8_t> player;
    std::vector<PeResource> existing;
    if (!ReadWholeFile(playerPath, player, error)) return false;
    if (!ReadPeResources(player, existing, error)) {
        error = playerPath + ": " + error;
        return false;
    }
    const std::wstring partial = Wide(outputPath + ".partial");
    if (!CopyFileW(Wide(playerPath).c_str(), partial.c_str(), FALSE)) {
        error = outputPath + ": " + ErrorNumber("copying the player");
        return false;
    }
    SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE update = BeginUpdateResourceW(partial.c_str(), FALSE);
    bool ok = update != nullptr;
    const char* step = "BeginUpdateResource";
    for (const PeResource& r : existing) {
        if (ok && IsQuizResource(r.type, r.name)) {
            ok = Update(update, r, r.language, nullptr);
            step = "removing the old quiz (UpdateResource)";
        }
    }
    for (const QuizResource& r : quiz) {
        if (ok) {
            ok = Update(update, r, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &r.bytes);
            step = "UpdateResource";
        }
    }
    if (ok) {
        ok = EndUpdateResourceW(update, FALSE) != FALSE;
        step = "EndUpdateResource";
        update = nullptr;
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
