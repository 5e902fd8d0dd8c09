// Media quizzes under wine: the real page, real clicks, clip files looked for
// in the temporary folder. Wine's player plays only this program's AVI clips (no sound
// device) and has no pause, so pausing is left to the native tests.
#include <windows.h>
#include <oleauto.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../common/test_player_win.h"
#include "page/control_ids.h"
#include "page/media_win.h"

namespace {

// The clip file of resource `id` written by a process, in the temporary folder.
std::string Clip(int id, unsigned long process = GetCurrentProcessId(), const char* kind = "AVI") {
    return "tmp\\brelo-" + std::to_string(process) + "-" + std::to_string(id) + "." + kind;
}

std::wstring FullPath(const std::string& name) {
    wchar_t wide[MAX_PATH] = {}, full[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide, MAX_PATH);
    GetFullPathNameW(wide, 1024, full, nullptr);
    return full;
}

// The URL of the player the ATL host holds in a window, asked independently
// of Brelo; "+" is added for each of its restrictions that is off.
std::wstring HostedUrl(HWND host) {
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto get = reinterpret_cast<GetControl>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("atl.dll"), "AtlAxGetControl")));
    IUnknown* control = nullptr;
    IWMPPlayer* player = nullptr;
    if (get == nullptr || FAILED(get(host, &control)) || control == nullptr) return L"<no player>";
    control->QueryInterface(__uuidof(IWMPPlayer), reinterpret_cast<void**>(&player));
    control->Release();
    if (player == nullptr) return L"<no player>";
    BSTR url = nullptr;
    std::wstring text = FAILED(player->get_URL(&url)) ? L"<no URL>" : url != nullptr ? url : L"";
    SysFreeString(url);
    IWMPSettings* settings = nullptr;
    VARIANT_BOOL invokeUrls = VARIANT_TRUE, errorDialogs = VARIANT_TRUE;
    if (SUCCEEDED(player->get_settings(&settings))) {
        settings->get_invokeURLs(&invokeUrls);
        settings->get_enableErrorDialogs(&errorDialogs);
        settings->Release();
    }
    player->Release();
    if (invokeUrls != VARIANT_FALSE) text += L"+";
    if (errorDialogs != VARIANT_FALSE) text += L"+";
    return text;
}

// At start only the clips of ended players (or of an earlier process with this id) go, never
// the current directory's. Then each clip is written, handed over by its full path, and let
// go by its player before it is deleted, at another play and at the page's close. A file in
// the way of a clip's name (the player's own) is neither handed over nor deleted.
TEST(MediaPage, ClipFilesFromStartToClose) {
    ScratchFolder folder;  // first made, last gone: the page works in it
    constexpr unsigned long ENDED = 999996;
    const std::vector<std::pair<std::string, bool>> files = {
        {"brelo401.WAV", true},           {"brelo-999996-401.WAV", true},  // current directory
        {Clip(401, ENDED, "WAV"), false}, {Clip(402), false},
        {"tmp\\brelo401.WAV", true},      {"tmp\\brelo-999996-401.WAVE", true}};
    for (const auto& file : files) folder.Write(file.first, "mien");
    QuizData kind;
    kind.mediaKind = MEDIA_VIDEO;
    MediaHostStartup(&kind);
    ASSERT_NE(g_AtlAxAttachControl, nullptr) << "atl.dll or its attach entry is missing";
    auto player = std::make_unique<TestPlayer>(NumberedQuiz(MEDIA_VIDEO, 1, 0, 6));
    const auto play = [&](int q) {
        SendMessageA(player->Item(ID_PLAY_BUTTON + q), BM_CLICK, 0, 0);
        player->Pump();
    };
    const auto urlOf = [&](int q) { return HostedUrl(player->Item(ID_PICTURE + q)); };
    for (const auto& file : files) {
        EXPECT_EQ(folder.Read(file.first), file.second ? "mien" : "<missing>") << file.first;
    }
    for (int q = 1; q <= 6; ++q) EXPECT_EQ(urlOf(q), L"") << "a player for " << q;
    play(3);
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC clip = FindResourceA(self, MAKEINTRESOURCEA(403), "IMG");
    EXPECT_EQ(folder.Read(Clip(403)),
              std::string(static_cast<const char*>(LockResource(LoadResource(self, clip))),
                          SizeofResource(self, clip)));
    EXPECT_EQ(urlOf(3), FullPath(Clip(403)));
    EXPECT_EQ(QuestionMediaState(3), MEDIA_PLAYING);

    folder.Write(Clip(405), "mien");
    play(5);
    EXPECT_EQ(folder.Read(Clip(403)), "<missing>");
    EXPECT_EQ(urlOf(3), L"");
    EXPECT_EQ(urlOf(5), L"") << "the player was given a file that is not its own";
    EXPECT_STREQ(CurrentClipPath(), "");
    EXPECT_EQ(ReportedMessages().size(), 1u);  // its wording is checked natively

    play(4);
    EXPECT_EQ(urlOf(4), FullPath(Clip(404)));
    SendMessageA(player->page, WM_CLOSE, 0, 0);
    EXPECT_EQ(urlOf(4), L"");
    EXPECT_EQ(folder.Read(Clip(404)), "<missing>");
    EXPECT_EQ(folder.Read(Clip(405)), "mien");
    for (int q = 1; q <= 6; ++q) EXPECT_FALSE(HasQuestionPlayer(q)) << "released at close: " << q;
    player.reset();
    MediaHostShutdown(&kind, nullptr);
}

}  // namespace
