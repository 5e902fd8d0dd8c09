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

bool FileExists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
    BSTR url = nullptr;
    const bool asked = player != nullptr && SUCCEEDED(player->get_URL(&url));
    IWMPSettings* settings = nullptr;
    VARIANT_BOOL invokeUrls = VARIANT_TRUE, errorDialogs = VARIANT_TRUE;
    if (player != nullptr && SUCCEEDED(player->get_settings(&settings))) {
        settings->get_invokeURLs(&invokeUrls);
        settings->get_enableErrorDialogs(&errorDialogs);
        settings->Release();
    }
    if (player != nullptr) player->Release();
    std::wstring text = !asked ? L"<no player>" : url != nullptr ? url : L"";
    if (asked && invokeUrls != VARIANT_FALSE) text += L"+";
    if (asked && errorDialogs != VARIANT_FALSE) text += L"+";
    SysFreeString(url);
    return text;
}

class MediaPageTest : public ::testing::Test {
  protected:
    void Open(int mediaKind, int questions, bool withAttach = true) {
        QuizData kind;
        kind.mediaKind = mediaKind;
        MediaHostStartup(&kind);
        ASSERT_NE(g_AtlAxAttachControl, nullptr) << "atl.dll or its attach entry is missing";
        if (!withAttach) g_AtlAxAttachControl = nullptr;
        player = std::make_unique<TestPlayer>(NumberedQuiz(mediaKind, 1, 0, questions));
    }
    void TearDown() override {
        player.reset();
        QuizData kind;
        kind.mediaKind = MEDIA_VIDEO;
        MediaHostShutdown(&kind, nullptr);
    }
    void Click(int id) {
        SendMessageA(player->Item(id), BM_CLICK, 0, 0);
        player->Pump();
    }
    std::wstring UrlOf(int q) const { return HostedUrl(player->Item(ID_PICTURE + q)); }

    ScratchFolder folder;  // first made, last gone: the page works in it
    std::unique_ptr<TestPlayer> player;
};

// One player per question. Each clip is written, handed over by its full path,
// then let go by its player before it is deleted: by another play, a stop and
// the page's close.
TEST_F(MediaPageTest, ClipsAreWrittenHandedOverLetGoAndDeleted) {
    Open(MEDIA_VIDEO, 6);
    for (int q = 1; q <= 6; ++q) EXPECT_EQ(UrlOf(q), L"") << "a player for " << q;
    EXPECT_FALSE(HasQuestionPlayer(7));
    Click(ID_PLAY_BUTTON + 3);
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC clip = FindResourceA(self, MAKEINTRESOURCEA(403), "IMG");
    EXPECT_EQ(folder.Read(Clip(403)),
              std::string(static_cast<const char*>(LockResource(LoadResource(self, clip))),
                          SizeofResource(self, clip)));
    EXPECT_EQ(UrlOf(3), FullPath(Clip(403)));
    EXPECT_EQ(QuestionMediaState(3), MEDIA_PLAYING);

    Click(ID_PLAY_BUTTON + 5);
    EXPECT_FALSE(FileExists(Clip(403)));
    EXPECT_EQ(UrlOf(3), L"");
    EXPECT_EQ(QuestionMediaState(3), MEDIA_STOPPED);
    EXPECT_EQ(UrlOf(5), FullPath(Clip(405)));

    Click(ID_STOP_BUTTON + 1);  // any stop button stops the clip started last
    EXPECT_FALSE(FileExists(Clip(405)));
    EXPECT_EQ(UrlOf(5), L"");
    EXPECT_EQ(QuestionMediaState(5), MEDIA_STOPPED);

    Click(ID_PLAY_BUTTON + 4);
    ASSERT_TRUE(FileExists(Clip(404)));
    SendMessageA(player->page, WM_CLOSE, 0, 0);
    EXPECT_FALSE(FileExists(Clip(404)));
    for (int q = 1; q <= 6; ++q) {
        EXPECT_EQ(UrlOf(q), L"") << q;
        EXPECT_FALSE(HasQuestionPlayer(q)) << "released at close: " << q;
    }
    EXPECT_TRUE(ReportedMessages().empty());
}

TEST_F(MediaPageTest, WithoutTheAttachFunctionEveryQuestionIsStillBuilt) {
    Open(MEDIA_VIDEO, 6, false);
    for (int q = 1; q <= 6; ++q) {
        EXPECT_NE(player->Item(ID_ANSWER_EDIT + q), nullptr) << q;
        EXPECT_FALSE(HasQuestionPlayer(q)) << q;
    }
    Click(ID_PLAY_BUTTON + 6);
    EXPECT_FALSE(FileExists(Clip(406)));
    EXPECT_EQ(QuestionMediaState(6), MEDIA_STOPPED);
    EXPECT_TRUE(ReportedMessages().empty());
}

// A file already in the way of the clip's name (the player's own) is never opened or deleted:
// the clip is not played and says so.
TEST_F(MediaPageTest, AFileInTheWayIsNeitherPlayedNorDeleted) {
    Open(MEDIA_SOUND, 3);  // after the start, which clears leftovers of this process id
    folder.Write(Clip(403), "mien");
    Click(ID_PLAY_BUTTON + 3);
    ASSERT_EQ(ReportedMessages().size(), 1u);
    EXPECT_EQ(ReportedMessages()[0].caption + ReportedMessages()[0].text,
              "BreloImpossible de charger le fichier audio.");
    EXPECT_EQ(QuestionMediaState(3), MEDIA_STOPPED);
    EXPECT_EQ(UrlOf(3), L"") << "the player was given a file that is not its own";
    EXPECT_STREQ(CurrentClipPath(), "");
    TearDown();
    EXPECT_EQ(folder.Read(Clip(403)), "mien");
}

// At start the clips of players no longer running (and of an earlier
// process with this id) are removed; nothing else is, and the current
// directory is never looked at. A running player's clips stay: the end to
// end test starts a second player while the first plays.
TEST_F(MediaPageTest, OnlyClipsLeftByEndedPlayersAreRemoved) {
    constexpr unsigned long ENDED = 999996;
    const std::vector<std::pair<std::string, bool>> files = {
        {"brelo401.WAV", true},           {"brelo-999996-401.WAV", true},  // current directory
        {Clip(401, ENDED, "WAV"), false}, {Clip(402), false},
        {"tmp\\brelo401.WAV", true},      {"tmp\\brelo-999996-401.WAVE", true}};
    for (const auto& file : files) folder.Write(file.first, "mien");
    Open(MEDIA_VIDEO, 2);
    Click(ID_PLAY_BUTTON + 1);
    EXPECT_TRUE(FileExists(Clip(401)));
    SendMessageA(player->page, WM_CLOSE, 0, 0);
    for (const auto& file : files) {
        EXPECT_EQ(folder.Read(file.first), file.second ? "mien" : "<missing>") << file.first;
    }
    EXPECT_FALSE(FileExists(Clip(401)));
}

TEST(MakeClipUrl, GivesTheFullPathOrRefusesWhatDoesNotFit) {
    ScratchFolder folder;
    const std::wstring full = FullPath(Clip(403));
    const struct {
        std::string path;
        size_t size;
        std::wstring url;  // empty: refused
    } rows[] = {{Clip(403), full.size() + 1, full},
                {Clip(403), full.size(), L""},
                {std::string(400, 'n'), 512, L""}};
    for (const auto& row : rows) {
        std::vector<wchar_t> url(row.size + 8, 0x5A5A);
        EXPECT_EQ(MakeClipUrl(row.path.c_str(), url.data(), row.size), !row.url.empty());
        EXPECT_EQ(std::wstring(url.data()), row.url) << row.size;
        for (size_t i = row.size; i < url.size(); ++i) ASSERT_EQ(url[i], 0x5A5A) << i;
    }
}

}  // namespace
