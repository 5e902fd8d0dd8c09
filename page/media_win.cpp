// Sound and video clips played by the Windows Media Player control, hosted in
// each question's host window by the ATL control host of "atl.dll". The rules
// of the two buttons live in media_logic.cpp; this file is the device they
// drive: the players, the clip resources and the clip file.
#include "page/media_win.h"

#include <oleauto.h>
#include <wmp.h>

#include <climits>
#include <cstdio>
#include <utility>

#include "shell/shell_win.h"

AtlAxAttachControlFunction g_AtlAxAttachControl = nullptr;

namespace {

// The Windows Media Player control and the interface it is asked for.
const CLSID CLSID_MEDIA_PLAYER = {
    0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID IID_MEDIA_PLAYER = {
    0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
constexpr DWORD PLAYER_CLASS_CONTEXT =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
constexpr char ATL_LIBRARY[] = "atl.dll";
constexpr char ATL_ATTACH_ENTRY[] = "AtlAxAttachControl";
constexpr char CLIP_RESOURCE_TYPE[] = "IMG";
constexpr wchar_t PLAYER_UI_NONE[] = L"none";  // no buttons, no status bar
constexpr size_t MEDIA_URL_SIZE = 512;         // characters, terminator included
constexpr DWORD MAX_WRITE_CHUNK = 1u << 30;

// Holds one COM interface and releases it exactly once.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = other.pointer_;
            other.pointer_ = nullptr;
        }
        return *this;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For calls that hand out a new reference.
    T** Receive() {
        Reset();
        return &pointer_;
    }
    void Reset() {
        T* pointer = pointer_;
        pointer_ = nullptr;
        if (pointer != nullptr) pointer->Release();
    }

  private:
    T* pointer_ = nullptr;
};

// A BSTR made for one call and freed after it.
class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return text_; }

  private:
    BSTR text_;
};

HMODULE g_atlModule = nullptr;
bool g_comStarted = false;
ComRef<IWMPPlayer> g_player[MAX_MEDIA_QUESTIONS];
ComRef<IWMPControls> g_playerControls[MAX_MEDIA_QUESTIONS];
ComRef<IUnknown> g_playerSite[MAX_MEDIA_QUESTIONS];  // the ATL host holding each player
HWND g_mediaHost[MAX_MEDIA_QUESTIONS] = {};

bool IsMediaQuiz(const QuizData* quiz) {
    return quiz != nullptr && (quiz->mediaKind == MEDIA_SOUND || quiz->mediaKind == MEDIA_VIDEO);
}

class PlayerDevice final : public MediaDevice {
  public:
    bool HasPlayer(int index) const override {
        return index >= 0 && index < MAX_MEDIA_QUESTIONS && g_player[index] &&
               g_playerControls[index];
    }

    bool Play(int index) override { return SUCCEEDED(g_playerControls[index]->play()); }
    bool Pause(int index) override { return SUCCEEDED(g_playerControls[index]->pause()); }
    // A player that will not stop is let go of by the empty address that
    // always follows; nothing more can be done about it here.
    void Stop(int index) override { g_playerControls[index]->stop(); }

    bool Open(int index, const char* path) override {
        wchar_t url[MEDIA_URL_SIZE] = L"";
        if (path[0] != '\0' && !MakeClipUrl(path, url, MEDIA_URL_SIZE)) return false;
        Bstr address(url);
        if (address.Get() == nullptr) return false;
        return SUCCEEDED(g_player[index]->put_URL(address.Get()));
    }

    ClipLoad LoadClip(int identifier, const uint8_t** bytes, size_t* size) override {
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(identifier), CLIP_RESOURCE_TYPE);
        if (found == nullptr) return CLIP_ABSENT;
        const DWORD length = SizeofResource(module, found);
        HGLOBAL loaded = LoadResource(module, found);
        if (loaded == nullptr) return CLIP_UNLOADABLE;
        const void* locked = LockResource(loaded);
        if (locked == nullptr) return CLIP_ABSENT;
        *bytes = static_cast<const uint8_t*>(locked);
        *size = length;
        return CLIP_LOADED;
    }

    // CREATE_NEW: a file already there, whoever made it, is left alone.
    bool WriteClipFile(const char* path, const uint8_t* bytes, size_t size) override {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        bool complete = true;
        size_t done = 0;
        while (complete && done < size) {
            const size_t left = size - done;
            const DWORD chunk = left > MAX_WRITE_CHUNK ? MAX_WRITE_CHUNK : static_cast<DWORD>(left);
            DWORD written = 0;
            complete = WriteFile(file, bytes + done, chunk, &written, nullptr) && written == chunk;
            done += written;
        }
        // Closing flushes: a full disk may only show here.
        if (!CloseHandle(file)) complete = false;
        if (!complete) DeleteFileA(path);
        return complete;
    }

    void DeleteClipFile(const char* path) override { DeleteFileA(path); }
};

PlayerDevice g_playerDevice;
MediaPlayback g_mediaPlayback(g_playerDevice);

// Our own id counts as not running: a file with it was left by an earlier
// process that had the same id.
bool IsProcessRunning(unsigned long id) {
    if (id == GetCurrentProcessId()) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr) {
        // Another user's process cannot be opened, but it is running.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

// Clip files of players that are no longer running (killed, or ended with
// the session) are removed; those of running players, and every file whose
// name is not a clip file's, are left alone.
void RemoveLeftoverClips(const char* folder) {
    char pattern[MEDIA_PATH_SIZE];
    if (std::snprintf(pattern, sizeof pattern, "%sbrelo-*-*.*", folder) >= MEDIA_PATH_SIZE) return;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        unsigned long owner = 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !ParseClipFileName(found.cFileName, &owner) || IsProcessRunning(owner)) {
            continue;
        }
        char path[MEDIA_PATH_SIZE];
        if (std::snprintf(path, sizeof path, "%s%s", folder, found.cFileName) < MEDIA_PATH_SIZE) {
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The control is only to play the page's clips: no script commands in a
// clip may open addresses, and no error box of its own may show.
bool RestrictPlayer(IWMPPlayer* player) {
    ComRef<IWMPSettings> settings;
    if (FAILED(player->get_settings(settings.Receive())) || !settings) return false;
    return SUCCEEDED(settings->put_invokeURLs(VARIANT_FALSE)) &&
           SUCCEEDED(settings->put_enableErrorDialogs(VARIANT_FALSE));
}

void ReleasePlayers() {
    for (int i = 0; i < MAX_MEDIA_QUESTIONS; ++i) {
        g_playerControls[i].Reset();
        g_player[i].Reset();
        g_playerSite[i].Reset();
        g_mediaHost[i] = nullptr;
    }
}

}  // namespace

bool MakeClipUrl(const char* path, wchar_t* url, size_t urlSize) {
    if (url == nullptr || urlSize == 0 || urlSize > INT_MAX) return false;
    url[0] = L'\0';
    wchar_t wide[MEDIA_PATH_SIZE];
    if (path == nullptr ||
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, static_cast<int>(MEDIA_PATH_SIZE)) == 0) {
        return false;
    }
    // The length of the current directory is not ours to choose: a full path
    // that does not fit is refused rather than cut.
    const DWORD length = GetFullPathNameW(wide, static_cast<DWORD>(urlSize), url, nullptr);
    if (length == 0 || length >= urlSize) {
        url[0] = L'\0';
        return false;
    }
    return true;
}

// Clips go to the user's temporary folder, never the current directory; a
// temporary folder whose name is too long leaves the quiz without clips.
void MediaHostStartup(QuizData* quiz) {
    if (!IsMediaQuiz(quiz) || g_atlModule != nullptr) return;
    g_mediaPlayback.Reset();
    char folder[MEDIA_PATH_SIZE] = "";
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) folder[0] = '\0';
    g_mediaPlayback.SetClipFolder(folder, GetCurrentProcessId());
    if (folder[0] != '\0') RemoveLeftoverClips(folder);
    g_atlModule = LoadLibraryA(ATL_LIBRARY);
    if (g_atlModule == nullptr) return;
    g_AtlAxAttachControl = reinterpret_cast<AtlAxAttachControlFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(g_atlModule, ATL_ATTACH_ENTRY)));
    // S_FALSE (already initialised on this thread) also needs its balancing call.
    g_comStarted = SUCCEEDED(CoInitialize(nullptr));
}

void MediaHostShutdown(QuizData* quiz, HWND mainWindow) {
    if (!IsMediaQuiz(quiz)) return;
    if (mainWindow != nullptr && IsWindow(mainWindow)) DestroyWindow(mainWindow);
    // The page normally did this on its way out; the players must be gone
    // before COM ends.
    CloseMediaPage();
    if (g_comStarted) CoUninitialize();
    g_comStarted = false;
    g_AtlAxAttachControl = nullptr;
    if (g_atlModule != nullptr) FreeLibrary(g_atlModule);
    g_atlModule = nullptr;
}

// A question whose player cannot be made (no host library, no attach entry,
// no media control) reports failure and keeps no half-made player: its
// buttons then do nothing.
bool CreateQuestionPlayer(HWND, int q, HWND host) {
    const int index = q - 1;
    if (index < 0 || index >= MAX_MEDIA_QUESTIONS || host == nullptr) return false;
    g_mediaHost[index] = host;
    g_mediaPlayback.PlayerBuilt(index);
    g_playerControls[index].Reset();
    g_player[index].Reset();
    g_playerSite[index].Reset();
    if (g_AtlAxAttachControl == nullptr) return false;

    ComRef<IWMPPlayer> player;
    HRESULT result = CoCreateInstance(CLSID_MEDIA_PLAYER, nullptr, PLAYER_CLASS_CONTEXT,
                                      IID_MEDIA_PLAYER, reinterpret_cast<void**>(player.Receive()));
    if (FAILED(result) || !player) return false;
    // The host's site is kept until the page closes: a host whose only
    // reference was dropped may take the player's place in the window with it.
    ComRef<IUnknown> site;
    result = g_AtlAxAttachControl(player.Get(), host, site.Receive());
    if (FAILED(result)) return false;
    ComRef<IWMPControls> controls;
    result = player->get_controls(controls.Receive());
    if (FAILED(result) || !controls) return false;
    // Without the "none" mode the control shows its own buttons and status
    // bar, which looks wrong but plays all the same: not a reason to go
    // without the player.
    Bstr uiMode(PLAYER_UI_NONE);
    if (uiMode.Get() != nullptr) player->put_uiMode(uiMode.Get());
    if (!RestrictPlayer(player.Get())) return false;

    g_player[index] = std::move(player);
    g_playerControls[index] = std::move(controls);
    g_playerSite[index] = std::move(site);
    return true;
}

INT_PTR OnMediaCommand(HWND, WPARAM wParam) {
    if (g_quiz != nullptr) g_mediaPlayback.OnCommand(*g_quiz, static_cast<uint64_t>(wParam));
    return FALSE;
}

void CloseMediaPage() {
    g_mediaPlayback.ClosePage();
    ReleasePlayers();
}

MediaState QuestionMediaState(int q) {
    return g_mediaPlayback.StateOf(q - 1);
}

bool HasQuestionPlayer(int q) {
    return g_playerDevice.HasPlayer(q - 1);
}

const char* CurrentClipPath() {
    return g_mediaPlayback.ClipPath();
}
