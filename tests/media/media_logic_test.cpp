#include "page/media_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
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

// Each clip lives in a buffer of exactly its size, so a look at the ninth
// byte of a shorter one is a read past its end (caught under ASan).
TEST(SniffClipExtension, FirstAndNinthBytesAndShortClips) {
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
        {Text("RIFF\x24\x10\x00\x00W"), "WAV"},
        {Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6}), "WMV"},
        {Bytes({0xFF, 0xF3, 0x90, 0x64, 0, 0, 0, 0, 0}), "MP3"},
        {Bytes({0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0}), "MPG"},
        {Bytes({0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0}), "XXX"},
        {Bytes({0x00, 0, 0, 0, 0, 0, 0, 0, 0x41}), "AVI"},
        {Bytes({0x00, 0, 0, 0, 0, 0, 0, 0, 0x57}), "AVI"},
        {Bytes({0x00, 0x00, 0x01, 0xBA, 0x44, 0, 4, 0, 4}), "MPG"},
        {Text("OggS\x00\x02\x00\x00\x00"), "XXX"},
        {Text("\x1A\x45\xDF\xA3\x9F\x42\x86\x81\x01"), "XXX"},
        {{}, "XXX"},
        {Bytes({0x49}), "XXX"},
        {Text("ID3\x03"), "XXX"},
        {Text("RIFF"), "XXX"},
        {Bytes({0xFF, 0xF3}), "XXX"},
        {Bytes({0x00, 0, 0, 0, 0, 0, 0, 0}), "XXX"},
        {Text("RIFF\x24\x10\x00\x00"), "XXX"},
    };
    for (const auto& row : rows) {
        std::vector<uint8_t> exact(row.clip);
        exact.shrink_to_fit();
        EXPECT_STREQ(SniffClipExtension(exact.empty() ? nullptr : exact.data(), exact.size()),
                     row.extension)
            << exact.size() << " bytes";
    }
}

TEST(FormatClipPath, NamesTheFileOrRefusesWhatDoesNotFit) {
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
        {std::string(300, 'd'), 401, "AVI", 260, false, ""},  // longer than the buffer alone
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

// A device whose players, clips and failures each test sets up. Like a real
// player, one that still has a file keeps it from being deleted.
class FakeDevice : public MediaDevice {
  public:
    bool HasPlayer(int index) const override { return players.count(index) != 0; }
    bool Play(int) override { return playWorks; }
    bool Pause(int) override { return pauseWorks; }
    void Stop(int) override {}
    bool Open(int index, const char* path) override {
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
        ++writes;
        files[path] = std::string(bytes, bytes + (writeWorks ? size : size / 2));
        return writeWorks;
    }
    void DeleteClipFile(const char* path) override {
        for (const auto& held : holding) {
            if (held.second == path) return;
        }
        files.erase(path);
    }

    std::set<int> players = {0, 1, 2, 3, 4, 5};
    std::map<int, std::vector<uint8_t>> clips;
    std::map<int, std::string> holding;
    std::map<std::string, std::string> files;
    int writes = 0;
    bool playWorks = true, pauseWorks = true, openWorks = true, writeWorks = true;
    bool unloadable = false;
};

std::vector<std::string> g_messages;
void RecordMessage(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + ": " + text + (style == REPORT_OK ? "" : " !"));
}

const std::vector<uint8_t> WAV_CLIP = Text("RIFF\x24\x10\x00\x00WAVEfmt data");
const std::vector<uint8_t> ODD_CLIP = Text("\x47\x01\x02\x03\x04\x05\x06\x07\x08\x09");

std::set<std::string> Names(const FakeDevice& device) {
    std::set<std::string> names;
    for (const auto& file : device.files) names.insert(file.first);
    return names;
}

// One quiz clicked through: each row is a click and what follows from it.
TEST(MediaPlayback, ButtonsPlayPauseResumeStopAndReplaceClips) {
    g_messages.clear();
    g_reportMessage = RecordMessage;
    QuizRecord quiz;
    quiz.mediaKind = MEDIA_SOUND;
    quiz.questionCount = 6;
    FakeDevice device;
    device.players.erase(1);  // question 2 has no player
    device.clips[403] = WAV_CLIP;
    device.clips[405] = ODD_CLIP;  // an unknown kind is played all the same
    MediaPlayback playback(device);
    for (int i = 0; i < 6; ++i) playback.PlayerBuilt(i);
    EXPECT_EQ(playback.Current(), 5);  // after the build: the last question built

    const std::set<std::string> none, q3 = {"brelo403.WAV"}, q5 = {"brelo405.XXX"};
    const uint64_t HIGH = uint64_t{1} << 32;
    const struct {
        uint64_t command;
        std::set<std::string> files;
        MediaState state3, state5;
        int writes;
        int current;
    } rows[] = {
        {6003, q3, MEDIA_PLAYING, MEDIA_STOPPED, 1, 2},
        {6003, q3, MEDIA_PAUSED, MEDIA_STOPPED, 1, 2},     // pause
        {6003, q3, MEDIA_PLAYING, MEDIA_STOPPED, 1, 2},    // resume, not written again
        {6005, q5, MEDIA_STOPPED, MEDIA_PLAYING, 2, 4},    // 3 stopped, its file let go and gone
        {7001, none, MEDIA_STOPPED, MEDIA_STOPPED, 2, 4},  // any stop stops the last started
        {6005, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},    // from the beginning again
        {6002, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},    // no player: nothing
        {7002, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},
        {6097, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},  // past the last button
        {7097, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},
        {6000, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},
        {6003 | (uint64_t{5} << 16), q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},  // double-click
        {7005 | HIGH, q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},  // the whole wParam counts
    };
    for (const auto& row : rows) {
        playback.OnCommand(quiz, row.command);
        EXPECT_EQ(Names(device), row.files) << row.command;
        EXPECT_EQ(playback.StateOf(2), row.state3) << row.command;
        EXPECT_EQ(playback.StateOf(4), row.state5) << row.command;
        EXPECT_EQ(device.writes, row.writes) << row.command;
        EXPECT_EQ(playback.Current(), row.current) << row.command;
    }
    EXPECT_EQ(device.files["brelo405.XXX"], std::string(ODD_CLIP.begin(), ODD_CLIP.end()));

    device.pauseWorks = false;  // a pause the player refuses leaves the clip playing
    playback.OnCommand(quiz, 6005);
    EXPECT_EQ(playback.StateOf(4), MEDIA_PLAYING);

    playback.ClosePage();  // every player lets go, then the clip is deleted
    EXPECT_TRUE(device.files.empty()) << "the clip stayed behind at page close";
    for (const auto& held : device.holding) EXPECT_EQ(held.second, "") << held.first;
    EXPECT_STREQ(playback.ClipPath(), "");
    EXPECT_TRUE(g_messages.empty());
    g_reportMessage = nullptr;
}

// A clip that cannot be had, named, written or played leaves its question
// stopped, no file behind, no file held, and says so unless it is missing.
TEST(MediaPlayback, ClipsThatCannotBePlayedLeaveNothingBehind) {
    const std::string tooLong(300, 'd');
    const std::string audio = "Brelo: Impossible de charger le fichier audio.";
    const std::string video = "Brelo: Impossible de charger le fichier vid\xE9o.";
    const struct {
        const char* what;
        int32_t mediaKind;
        int button;
        bool unloadable, writeWorks, openWorks, playWorks;
        const char* tempDir;
        std::vector<std::string> messages;
    } rows[] = {
        {"missing", MEDIA_SOUND, 6002, false, true, true, true, "", {}},
        {"unloadable", MEDIA_SOUND, 6003, true, true, true, true, "", {audio}},
        {"unloadable", MEDIA_VIDEO, 6003, true, true, true, true, "", {video}},
        {"written short", MEDIA_SOUND, 6003, false, false, true, true, "", {audio}},
        {"path too long", MEDIA_VIDEO, 6003, false, true, true, true, tooLong.c_str(), {video}},
        {"refused by the player", MEDIA_SOUND, 6003, false, true, false, true, "", {audio}},
        {"not played", MEDIA_SOUND, 6003, false, true, true, false, "", {audio}},
    };
    g_reportMessage = RecordMessage;
    for (const auto& row : rows) {
        QuizRecord quiz;
        quiz.mediaKind = row.mediaKind;
        CopyText(quiz.tempDir, QUIZ_TEMP_DIR_SIZE, row.tempDir);
        FakeDevice device;
        device.clips[403] = WAV_CLIP;
        device.unloadable = row.unloadable;
        device.writeWorks = row.writeWorks;
        device.openWorks = row.openWorks;
        device.playWorks = row.playWorks;
        MediaPlayback playback(device);
        g_messages.clear();
        playback.OnCommand(quiz, static_cast<uint64_t>(row.button));
        const int index = row.button - 6001;
        EXPECT_EQ(playback.StateOf(index), MEDIA_STOPPED) << row.what;
        EXPECT_EQ(playback.Current(), index) << row.what;
        EXPECT_TRUE(device.files.empty()) << row.what << ": a partial file stayed behind";
        EXPECT_EQ(device.holding[index], "") << row.what;
        EXPECT_STREQ(playback.ClipPath(), "") << row.what;
        EXPECT_EQ(g_messages, row.messages) << row.what;
    }
    g_reportMessage = nullptr;
}

}  // namespace
