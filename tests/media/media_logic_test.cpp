#include "page/media_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/report.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// The bytes of a literal, zeros included, without its terminator.
template <size_t N>
std::vector<uint8_t> Text(const char (&text)[N]) {
    return std::vector<uint8_t>(text, text + N - 1);
}

TEST(SniffClipExtension, FirstAndNinthBytes) {
    const struct {
        std::vector<uint8_t> clip;
        const char* extension;
    } rows[] = {
        {Text("ID3\x03\x00\x00\x00\x00\x00\x10"), "MP3"},
        {Text("RIFF\x24\x10\x00\x00"
              "AVI LIST"),
         "AVI"},
        {Text("RIFF\x24\x10\x00\x00"
              "WAVEfmt "),
         "WAV"},
        {Text("RIFF\x24\x10\x00\x00"
              "RMIDdata"),
         "XXX"},
        {Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6}), "WMV"},
        {Bytes({0xFF, 0xF3, 0x90, 0x64, 0, 0, 0, 0, 0}), "MP3"},
        {Bytes({0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0}), "MPG"},
        {Bytes({0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0}), "XXX"},
        {Bytes({0x00, 0, 0, 0, 0, 0, 0, 0, 0x41}), "AVI"},
        {Bytes({0x00, 0, 0, 0, 0, 0, 0, 0, 0x57}), "AVI"},
        {Bytes({0x00, 0x00, 0x01, 0xBA, 0x44, 0, 4, 0, 4}), "MPG"},
        {Text("OggS\x00\x02\x00\x00\x00"), "XXX"},
        {Text("\x1A\x45\xDF\xA3\x9F\x42\x86\x81\x01"), "XXX"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(SniffClipExtension(row.clip.data(), row.clip.size()), row.extension)
            << "first byte " << int(row.clip[0]);
    }
}

// Each clip lives in a buffer of exactly its size, so a look at the ninth
// byte of a shorter one is a read past its end (caught under ASan).
TEST(SniffClipExtension, ClipsShorterThanNineBytesGetXXX) {
    const std::vector<uint8_t> rows[] = {
        {},
        Bytes({0x49}),
        Text("ID3\x03"),
        Text("RIFF"),
        Bytes({0xFF, 0xF3}),
        Bytes({0x00, 0, 0, 0, 0, 0, 0, 0}),
        Text("RIFF\x24\x10\x00\x00"),
    };
    for (const std::vector<uint8_t>& clip : rows) {
        std::vector<uint8_t> exact(clip);
        exact.shrink_to_fit();
        const uint8_t* data = exact.empty() ? nullptr : exact.data();
        EXPECT_STREQ(SniffClipExtension(data, exact.size()), "XXX") << exact.size() << " bytes";
    }
    EXPECT_STREQ(SniffClipExtension(Text("RIFF\x24\x10\x00\x00W").data(), 9), "WAV");
}

TEST(FormatClipPath, NamesTheFileOrRefusesWhatDoesNotFit) {
    const std::string longDir(300, 'd');
    const struct {
        std::string tempDir;
        int identifier;
        const char* extension;
        size_t size;
        bool fits;
        std::string path;
    } rows[] = {
        {"", 403, "WAV", 260, true, "brelo403.WAV"},
        {"C:\\Temp\\", 401, "MP3", 260, true, "C:\\Temp\\brelo401.MP3"},
        {"", 496, "XXX", 13, true, "brelo496.XXX"},  // exactly fits with its terminator
        {"", 496, "XXX", 12, false, ""},
        {longDir + "\\", 401, "AVI", 260, false, ""},
        {std::string(247, 'a'), 401, "AVI", 260, true, std::string(247, 'a') + "brelo401.AVI"},
        {std::string(248, 'a'), 401, "AVI", 260, false, ""},
    };
    constexpr char CANARY = '\x5A';
    for (const auto& row : rows) {
        std::vector<char> buffer(row.size + 16, CANARY);
        const bool fits = FormatClipPath(buffer.data(), row.size, row.tempDir.c_str(),
                                         row.identifier, row.extension);
        EXPECT_EQ(fits, row.fits) << row.tempDir.size() << " + " << row.size;
        EXPECT_EQ(std::string(buffer.data()), row.path);
        for (size_t i = row.size; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], CANARY) << "written past the buffer at " << i;
        }
    }
}

// A device that keeps a log of what playback asked of it, and whose clips,
// players and failures each test sets up.
class FakeDevice : public MediaDevice {
  public:
    bool HasPlayer(int index) const override { return players.count(index) != 0; }
    bool Play(int index) override {
        log.push_back("play " + std::to_string(index));
        return playWorks;
    }
    bool Pause(int index) override {
        log.push_back("pause " + std::to_string(index));
        return pauseWorks;
    }
    void Stop(int index) override { log.push_back("stop " + std::to_string(index)); }
    bool Open(int index, const char* path) override {
        log.push_back("open " + std::to_string(index) + " [" + path + "]");
        holding[index] = path;
        return openWorks;
    }
    ClipLoad LoadClip(int identifier, const uint8_t** bytes, size_t* size) override {
        if (unloadable) return CLIP_UNLOADABLE;
        auto found = clips.find(identifier);
        if (found == clips.end()) return CLIP_ABSENT;
        *bytes = found->second.data();
        *size = found->second.size();
        return CLIP_LOADED;
    }
    bool WriteClipFile(const char* path, const uint8_t* bytes, size_t size) override {
        log.push_back(std::string("write ") + path);
        files[path] = std::string(bytes, bytes + (writeWorks ? size : size / 2));
        return writeWorks;
    }
    void DeleteClipFile(const char* path) override {
        log.push_back(std::string("delete ") + path);
        for (const auto& held : holding) {
            // A player that still has the file keeps it from being deleted.
            if (held.second == path) return;
        }
        files.erase(path);
    }

    std::map<int, bool> players;
    std::map<int, std::vector<uint8_t>> clips;
    std::map<int, std::string> holding;  // the file each player has open
    std::map<std::string, std::string> files;
    std::vector<std::string> log;
    bool playWorks = true, pauseWorks = true, openWorks = true, writeWorks = true;
    bool unloadable = false;
};

std::vector<std::string> g_messages;
void RecordMessage(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + ": " + text + (style == REPORT_OK ? "" : " !"));
}

const std::vector<uint8_t> WAV_CLIP = Text("RIFF\x24\x10\x00\x00WAVEfmt data");
const std::vector<uint8_t> AVI_CLIP = Text(
    "RIFF\x24\x10\x00\x00"
    "AVI LIST movi");
const std::vector<uint8_t> ODD_CLIP = Text("\x47\x01\x02\x03\x04\x05\x06\x07\x08\x09");

class MediaPlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_messages.clear();
        g_reportMessage = RecordMessage;
        quiz.mediaKind = MEDIA_SOUND;
        quiz.questionCount = 6;
        for (int i = 0; i < 6; ++i) device.players[i] = true;
        device.clips[401] = WAV_CLIP;
        device.clips[403] = WAV_CLIP;
        device.clips[405] = ODD_CLIP;
        device.clips[406] = AVI_CLIP;
        for (int i = 0; i < 6; ++i) playback.PlayerBuilt(i);
    }
    void TearDown() override { g_reportMessage = nullptr; }

    void Click(int id) { playback.OnCommand(quiz, static_cast<uint64_t>(id)); }
    bool Logged(const std::string& entry) const {
        for (const std::string& e : device.log) {
            if (e == entry) return true;
        }
        return false;
    }
    size_t Position(const std::string& entry) const {
        for (size_t i = 0; i < device.log.size(); ++i) {
            if (device.log[i] == entry) return i;
        }
        return device.log.size();
    }

    QuizRecord quiz;
    FakeDevice device;
    MediaPlayback playback{device};
};

TEST_F(MediaPlaybackTest, PlayPausesResumesWithoutWritingAgain) {
    EXPECT_EQ(playback.Current(), 5);  // after the build: the last question built
    Click(6003);
    EXPECT_EQ(device.log,
              (std::vector<std::string>{"stop 0", "stop 1", "stop 2", "stop 3", "stop 4", "stop 5",
                                        "write brelo403.WAV", "open 2 [brelo403.WAV]", "play 2"}));
    EXPECT_EQ(device.files["brelo403.WAV"], std::string(WAV_CLIP.begin(), WAV_CLIP.end()));
    EXPECT_EQ(playback.StateOf(2), MEDIA_PLAYING);
    EXPECT_EQ(playback.Current(), 2);
    EXPECT_STREQ(playback.ClipPath(), "brelo403.WAV");

    device.log.clear();
    Click(6003);
    EXPECT_EQ(device.log, (std::vector<std::string>{"pause 2"}));
    EXPECT_EQ(playback.StateOf(2), MEDIA_PAUSED);
    Click(6003);
    EXPECT_EQ(device.log, (std::vector<std::string>{"pause 2", "play 2"}));
    EXPECT_EQ(playback.StateOf(2), MEDIA_PLAYING);
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(MediaPlaybackTest, AnotherQuestionStopsTheFirstAndDeletesItsFileOnceLetGo) {
    Click(6003);
    device.log.clear();
    Click(6005);
    EXPECT_EQ(playback.StateOf(2), MEDIA_STOPPED);
    EXPECT_EQ(playback.StateOf(4), MEDIA_PLAYING);
    EXPECT_EQ(playback.Current(), 4);
    EXPECT_LT(Position("open 2 []"), Position("delete brelo403.WAV"));
    EXPECT_LT(Position("delete brelo403.WAV"), Position("write brelo405.XXX"));
    EXPECT_TRUE(Logged("play 4"));
    EXPECT_EQ(device.files.count("brelo403.WAV"), 0u) << "the first clip stayed behind";
    EXPECT_EQ(device.files.count("brelo405.XXX"), 1u);  // an unknown kind is played all the same
    EXPECT_STREQ(playback.ClipPath(), "brelo405.XXX");
}

TEST_F(MediaPlaybackTest, AnyStopButtonStopsTheLastStartedClip) {
    Click(6003);
    Click(6003);  // paused
    device.log.clear();
    Click(7001);  // question 1's stop acts on question 3
    EXPECT_EQ(playback.StateOf(2), MEDIA_STOPPED);
    EXPECT_TRUE(Logged("stop 2"));
    EXPECT_LT(Position("open 2 []"), Position("delete brelo403.WAV"));
    EXPECT_TRUE(device.files.empty()) << "the clip stayed behind after stop";
    EXPECT_STREQ(playback.ClipPath(), "");

    device.log.clear();
    Click(6003);  // from the beginning: written and opened again
    EXPECT_TRUE(Logged("write brelo403.WAV"));
    EXPECT_TRUE(Logged("open 2 [brelo403.WAV]"));
    EXPECT_EQ(playback.StateOf(2), MEDIA_PLAYING);
}

TEST_F(MediaPlaybackTest, OnlyAClickOnAnExistingButtonDoesAnything) {
    const uint64_t ignored[] = {
        6000,
        6097,
        7000,
        7097,
        0,
        6003 | (uint64_t{5} << 16),  // a double-click notification
        6003 | (uint64_t{1} << 32),  // the whole wParam counts
        7003 | (uint64_t{1} << 32),
    };
    Click(6001);
    device.log.clear();
    for (uint64_t command : ignored) playback.OnCommand(quiz, command);
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(playback.StateOf(0), MEDIA_PLAYING);

    Click(6096);  // a button of a question that has no player
    Click(7096);
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(playback.StateOf(0), MEDIA_PLAYING);
}

TEST_F(MediaPlaybackTest, AQuestionWithoutPlayerHasSilentButtons) {
    device.players.erase(1);
    Click(6001);
    device.log.clear();
    Click(6002);
    Click(7002);
    EXPECT_TRUE(device.log.empty());
    EXPECT_EQ(playback.StateOf(0), MEDIA_PLAYING);
    EXPECT_EQ(playback.StateOf(1), MEDIA_STOPPED);
    EXPECT_STREQ(playback.ClipPath(), "brelo401.WAV");
}

TEST_F(MediaPlaybackTest, PageCloseLetsEveryPlayerGoBeforeDeleting) {
    Click(6003);
    device.log.clear();
    playback.ClosePage();
    const size_t deletion = Position("delete brelo403.WAV");
    ASSERT_LT(deletion, device.log.size());
    for (int j = 0; j < 6; ++j) {
        EXPECT_LT(Position("open " + std::to_string(j) + " []"), deletion) << j;
        EXPECT_EQ(playback.StateOf(j), MEDIA_STOPPED);
    }
    EXPECT_TRUE(device.files.empty());
    EXPECT_STREQ(playback.ClipPath(), "");
}

TEST_F(MediaPlaybackTest, AClipThatCannotBeWrittenIsNotPlaying) {
    const struct {
        int32_t mediaKind;
        const char* message;
    } rows[] = {
        {MEDIA_SOUND, "Brelo: Impossible de charger le fichier audio."},
        {MEDIA_VIDEO, "Brelo: Impossible de charger le fichier vid\xE9o."},
    };
    for (const auto& row : rows) {
        FakeDevice device;
        MediaPlayback playback(device);
        device.players[2] = true;
        device.clips[403] = WAV_CLIP;
        device.writeWorks = false;
        quiz.mediaKind = row.mediaKind;
        g_messages.clear();
        playback.OnCommand(quiz, 6003);
        EXPECT_EQ(device.log, (std::vector<std::string>{"stop 2", "write brelo403.WAV",
                                                        "delete brelo403.WAV"}));
        EXPECT_TRUE(device.files.empty()) << "the partial file stayed behind";
        EXPECT_EQ(playback.StateOf(2), MEDIA_STOPPED);
        EXPECT_STREQ(playback.ClipPath(), "");
        EXPECT_EQ(g_messages, std::vector<std::string>{row.message});
    }
}

TEST_F(MediaPlaybackTest, ClipsThatCannotBeHadOrPlayed) {
    const std::string tooLong(300, 'd');
    const struct {
        const char* what;
        int button;
        bool unloadable, openWorks, playWorks;
        const char* tempDir;
        size_t messages;
    } rows[] = {
        {"missing resource", 6002, false, true, true, "", 0},
        {"unloadable resource", 6003, true, true, true, "", 1},
        {"path too long", 6003, false, true, true, tooLong.c_str(), 1},
        {"player refuses the file", 6003, false, false, true, "", 1},
        {"player will not play", 6003, false, true, false, "", 1},
    };
    for (const auto& row : rows) {
        FakeDevice device;
        MediaPlayback playback(device);
        for (int i = 0; i < 6; ++i) device.players[i] = true;
        device.clips[403] = WAV_CLIP;
        device.unloadable = row.unloadable;
        device.openWorks = row.openWorks;
        device.playWorks = row.playWorks;
        CopyText(quiz.tempDir, QUIZ_TEMP_DIR_SIZE, row.tempDir);
        g_messages.clear();
        playback.OnCommand(quiz, static_cast<uint64_t>(row.button));
        const int index = row.button - 6001;
        EXPECT_EQ(playback.StateOf(index), MEDIA_STOPPED) << row.what;
        EXPECT_EQ(playback.Current(), index) << row.what;
        EXPECT_TRUE(device.files.empty()) << row.what;
        EXPECT_EQ(device.holding[index], "") << row.what;
        EXPECT_STREQ(playback.ClipPath(), "") << row.what;
        EXPECT_EQ(g_messages.size(), row.messages) << row.what;
    }
}

TEST_F(MediaPlaybackTest, APauseThePlayerRefusesLeavesTheClipPlaying) {
    Click(6003);
    device.pauseWorks = false;
    Click(6003);
    EXPECT_EQ(playback.StateOf(2), MEDIA_PLAYING);
    device.pauseWorks = true;
    Click(6003);
    EXPECT_EQ(playback.StateOf(2), MEDIA_PAUSED);
}

}  // namespace
