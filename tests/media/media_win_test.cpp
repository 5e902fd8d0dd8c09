// Media quizzes under wine: the real page, real clicks, clip files looked for
// in the folder. Wine's player plays only this program's AVI clips (no sound
// device; a clip it cannot render faults) and has no pause, so pausing is left
// to the native tests.
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

constexpr int VIDEO_CLIP = 403;  // every clip of this program is the same small AVI

std::string ResourceBytes(int identifier) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(identifier), "IMG");
    if (found == nullptr) return "<no resource>";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
}

bool FileExists(const char* name) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FullPath(const char* name) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    wchar_t full[1024] = {};
    GetFullPathNameW(wide, 1024, full, nullptr);
    return full;
}

// The player the ATL host holds in a window, asked independently of Brelo.
class HostedPlayer {
  public:
    explicit HostedPlayer(HWND host) {
        using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
        HMODULE atl = GetModuleHandleA("atl.dll");
        auto get = atl == nullptr ? nullptr
                                  : reinterpret_cast<GetControl>(reinterpret_cast<void (*)()>(
                                        GetProcAddress(atl, "AtlAxGetControl")));
        IUnknown* control = nullptr;
        if (get == nullptr || FAILED(get(host, &control)) || control == nullptr) return;
        control->QueryInterface(__uuidof(IWMPPlayer), reinterpret_cast<void**>(&player_));
        control->Release();
    }
    ~HostedPlayer() {
        if (player_ != nullptr) player_->Release();
    }
    HostedPlayer(const HostedPlayer&) = delete;
    HostedPlayer& operator=(const HostedPlayer&) = delete;

    bool Exists() const { return player_ != nullptr; }
    std::wstring Url() const {
        if (player_ == nullptr) return L"<no player>";
        BSTR url = nullptr;
        if (FAILED(player_->get_URL(&url))) return L"<no url>";
        std::wstring text = url != nullptr ? url : L"";
        SysFreeString(url);
        return text;
    }

  private:
    IWMPPlayer* player_ = nullptr;
};

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
        HWND button = player->Item(id);
        ASSERT_NE(button, nullptr) << id;
        SendMessageA(button, BM_CLICK, 0, 0);
        player->Pump();
    }
    std::wstring UrlOf(int q) const { return HostedPlayer(player->Item(ID_PICTURE + q)).Url(); }

    ScratchFolder folder;  // first made, last gone: the page works in it
    std::unique_ptr<TestPlayer> player;
};

TEST_F(MediaPageTest, EveryQuestionGetsAHostWindowWithItsPlayer) {
    const struct {
        int mediaKind;
        int width, height;
    } rows[] = {{MEDIA_SOUND, 0, 0}, {MEDIA_VIDEO, 260, 200}};
    for (const auto& row : rows) {
        Open(row.mediaKind, 4);
        for (int q = 1; q <= 4; ++q) {
            const RECT host = player->Rect(ID_PICTURE + q);
            EXPECT_EQ(host.right - host.left, row.width) << "kind " << row.mediaKind << " q" << q;
            EXPECT_EQ(host.bottom - host.top, row.height) << "kind " << row.mediaKind << " q" << q;
            EXPECT_TRUE(HasQuestionPlayer(q)) << q;
            EXPECT_TRUE(HostedPlayer(player->Item(ID_PICTURE + q)).Exists()) << q;
            EXPECT_EQ(QuestionMediaState(q), MEDIA_STOPPED);
        }
        EXPECT_FALSE(HasQuestionPlayer(5));
        TearDown();
    }
}

// Play, pause and resume, another question, a stop, and the page's close,
// with the files looked for in the folder and the addresses asked of the
// players themselves.
TEST_F(MediaPageTest, ClipsAreWrittenHandedOverLetGoAndDeleted) {
    Open(MEDIA_VIDEO, 6);
    Click(ID_PLAY_BUTTON + 3);
    ASSERT_TRUE(FileExists("brelo403.AVI"));
    EXPECT_EQ(folder.Read("brelo403.AVI"), ResourceBytes(VIDEO_CLIP));
    EXPECT_EQ(UrlOf(3), FullPath("brelo403.AVI"));
    EXPECT_EQ(QuestionMediaState(3), MEDIA_PLAYING);
    EXPECT_STREQ(CurrentClipPath(), "brelo403.AVI");

    Click(ID_PLAY_BUTTON + 3);  // pause and resume keep the file and the address
    Click(ID_PLAY_BUTTON + 3);
    EXPECT_EQ(QuestionMediaState(3), MEDIA_PLAYING);
    EXPECT_TRUE(FileExists("brelo403.AVI"));
    EXPECT_EQ(UrlOf(3), FullPath("brelo403.AVI"));

    Click(ID_PLAY_BUTTON + 5);
    EXPECT_FALSE(FileExists("brelo403.AVI"));
    EXPECT_TRUE(FileExists("brelo405.AVI"));
    EXPECT_EQ(QuestionMediaState(3), MEDIA_STOPPED);
    EXPECT_EQ(QuestionMediaState(5), MEDIA_PLAYING);
    EXPECT_EQ(UrlOf(3), L"");
    EXPECT_EQ(UrlOf(5), FullPath("brelo405.AVI"));

    Click(ID_STOP_BUTTON + 1);  // any stop button stops the clip started last
    EXPECT_FALSE(FileExists("brelo405.AVI")) << "the clip stayed in the folder";
    EXPECT_EQ(UrlOf(5), L"");
    EXPECT_EQ(QuestionMediaState(5), MEDIA_STOPPED);
    EXPECT_STREQ(CurrentClipPath(), "");

    Click(ID_PLAY_BUTTON + 4);
    ASSERT_TRUE(FileExists("brelo404.AVI"));
    SendMessageA(player->page, WM_CLOSE, 0, 0);
    EXPECT_FALSE(FileExists("brelo404.AVI")) << "the clip stayed in the folder";
    for (int q = 1; q <= 6; ++q) {
        EXPECT_EQ(UrlOf(q), L"") << q;
        EXPECT_FALSE(HasQuestionPlayer(q)) << "released at close: " << q;
    }
    EXPECT_TRUE(ReportedMessages().empty());
}

TEST_F(MediaPageTest, WithoutTheAttachFunctionEveryQuestionIsStillBuilt) {
    Open(MEDIA_VIDEO, 6, false);
    for (int q = 1; q <= 6; ++q) {
        EXPECT_NE(player->Item(ID_PICTURE + q), nullptr) << q;
        EXPECT_NE(player->Item(ID_ANSWER_EDIT + q), nullptr) << q;
        EXPECT_NE(player->Item(ID_RESULT_LABEL + q), nullptr) << q;
        EXPECT_NE(player->Item(ID_STOP_BUTTON + q), nullptr) << q;
        EXPECT_FALSE(HasQuestionPlayer(q)) << q;
    }
    Click(ID_PLAY_BUTTON + 2);
    Click(ID_PLAY_BUTTON + 6);
    EXPECT_FALSE(FileExists("brelo402.AVI"));
    EXPECT_FALSE(FileExists("brelo406.AVI"));
    EXPECT_EQ(QuestionMediaState(6), MEDIA_STOPPED);
    EXPECT_TRUE(ReportedMessages().empty());
}

// A folder in the way of the clip's name makes its creation fail, the way a
// read-only folder would; a name longer than any path Brelo keeps is refused,
// not cut or overrun; this program has no clip 407.
TEST_F(MediaPageTest, ClipsThatCannotBeWrittenLeaveTheQuestionStopped) {
    const std::string longFolder = std::string(300, 'd') + "\\";
    const struct {
        int mediaKind, q;
        const char* folderInTheWay;
        const char* tempDir;
        std::vector<std::string> messages;
    } rows[] = {
        {MEDIA_SOUND, 3, "brelo403.AVI", "", {"Impossible de charger le fichier audio."}},
        {MEDIA_VIDEO, 3, "brelo403.AVI", "", {"Impossible de charger le fichier vid\xE9o."}},
        {MEDIA_VIDEO,
         2,
         nullptr,
         longFolder.c_str(),
         {"Impossible de charger le fichier vid\xE9o."}},
        {MEDIA_VIDEO, 7, nullptr, "", {}},
    };
    for (const auto& row : rows) {
        if (row.folderInTheWay != nullptr) CreateDirectoryA(row.folderInTheWay, nullptr);
        Open(row.mediaKind, 7);
        CopyText(player->quiz->tempDir, QUIZ_TEMP_DIR_SIZE, row.tempDir);
        Click(ID_PLAY_BUTTON + row.q);
        std::vector<std::string> messages;
        for (const ReportedMessage& shown : ReportedMessages()) {
            messages.push_back(shown.text);
            EXPECT_EQ(shown.caption, "Brelo");
            EXPECT_EQ(shown.style, static_cast<unsigned>(MB_OK));
        }
        EXPECT_EQ(messages, row.messages) << row.q;
        EXPECT_EQ(QuestionMediaState(row.q), MEDIA_STOPPED) << row.q;
        EXPECT_EQ(UrlOf(row.q), L"") << "the player was given a file that is not there";
        EXPECT_STREQ(CurrentClipPath(), "");
        TearDown();
        if (row.folderInTheWay != nullptr) {
            EXPECT_TRUE(RemoveDirectoryA(row.folderInTheWay));
        }
    }
}

TEST(MakeClipUrl, GivesTheFullPathOrRefusesWhatDoesNotFit) {
    ScratchFolder folder;
    const std::wstring full = FullPath("brelo403.AVI");
    const std::string tooLong(400, 'n');
    const struct {
        std::string path;
        size_t size;
        bool fits;
        std::wstring url;
    } rows[] = {
        {"brelo403.AVI", 512, true, full},
        {"brelo403.AVI", full.size() + 1, true, full},
        {"brelo403.AVI", full.size(), false, L""},
        {tooLong, 512, false, L""},
    };
    constexpr wchar_t CANARY = 0x5A5A;
    for (const auto& row : rows) {
        std::vector<wchar_t> url(row.size + 8, CANARY);
        EXPECT_EQ(MakeClipUrl(row.path.c_str(), url.data(), row.size), row.fits) << row.size;
        EXPECT_EQ(std::wstring(url.data()), row.url) << row.size;
        for (size_t i = row.size; i < url.size(); ++i) {
            ASSERT_EQ(url[i], CANARY) << "written past the buffer at " << i;
        }
    }
}

}  // namespace
