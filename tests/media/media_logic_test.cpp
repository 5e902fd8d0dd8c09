#include "page/media_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/report.h"

namespace {

using namespace std::string_literals;

// Every clip and each of its prefixes lives in a buffer of exactly its size,
// so a look at the ninth byte of a shorter one is a read past its end (ASan).
TEST(SniffClipExtension, FirstAndNinthBytesAndShortClips) {
    const struct {
        std::string clip;
        const char* extension;
    } rows[] = {
        {"ID3\x03\0\0\0\0\0\x10"s, "MP3"},      {"RIFF\x24\x10\0\0AVI LIST"s, "AVI"},
        {"RIFF\x24\x10\0\0WAVEfmt "s, "WAV"},   {"RIFF\x24\x10\0\0RMIDdata"s, "XXX"},
        {"RIFF\x24\x10\0\0W"s, "WAV"},          {"0&\xB2u\x8E\x66\xCF\x11\xA6"s, "WMV"},
        {"\xFF\xF3\x90\x64\0\0\0\0\0"s, "MP3"}, {"\xFF\0\0\0\0\0\0\0\0"s, "MPG"},
        {"\xFF\xFB\x90\x64\0\0\0\0\0"s, "XXX"}, {"\0\0\0\0\0\0\0\0A"s, "AVI"},
        {"\0\0\0\0\0\0\0\0W"s, "AVI"},          {"\0\0\x01\xBA\x44\0\x04\0\x04"s, "MPG"},
        {"OggS\0\x02\0\0\0"s, "XXX"},
    };
    for (const auto& row : rows) {
        for (size_t n = 0; n <= row.clip.size(); ++n) {
            const std::vector<uint8_t> exact(row.clip.begin(), row.clip.begin() + n);
            EXPECT_STREQ(SniffClipExtension(n == 0 ? nullptr : exact.data(), n),
                         n < 9 ? "XXX" : row.extension)
                << testing::PrintToString(row.clip.substr(0, n));
        }
    }
}

// Names hold the process id; no folder means no clip, never the current directory.
TEST(ClipFileName, NamesTheFileOrRefusesWhatDoesNotFit) {
    const struct {
        std::string folder;
        size_t size;
        std::string path;  // empty: refused
    } rows[] = {
        {"T\\", 18, "T\\brelo-7-496.XXX"},  // exactly fits with its terminator
        {"T\\", 17, ""},
        {"", 260, ""},
    };
    for (const auto& row : rows) {
        std::vector<char> buffer(row.size + 16, '\x5A');
        EXPECT_EQ(FormatClipPath(buffer.data(), row.size, row.folder.c_str(), 7, 496, "XXX"),
                  !row.path.empty());
        EXPECT_EQ(std::string(buffer.data()), row.path) << row.folder.size() << " + " << row.size;
        for (size_t i = row.size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\x5A') << i;
    }
    // Only names made as above are taken for leftover clips.
    const struct {
        const char* name;
        unsigned long processId;  // 0: not a clip file's name
    } names[] = {{"brelo-4242-401.MP3", 4242},  {"brelo-1-0.XXX", 1},  {"brelo-12_3.WAV", 0},
                 {"brelo-4242-401.MP3x", 0},    {"brelo--401.WAV", 0}, {"brelo-12-.WAV", 0},
                 {"brelo-1234567890-1.AVI", 0}, {"Brelo-1-1.AVI", 0},  {"brelo-1-1", 0}};
    for (const auto& row : names) {
        unsigned long processId = 0;
        EXPECT_EQ(ParseClipFileName(row.name, &processId), row.processId != 0) << row.name;
        EXPECT_EQ(processId, row.processId) << row.name;
    }
}

// A device whose players, clips and failures each test sets up. Like a real
// player, one that still has a file keeps it from being deleted.
class FakeDevice : public MediaDevice {
  public:
    bool HasPlayer(int index) const override { return players.count(index) != 0; }
    bool Play(int) override { return failing != "play"; }
    bool Pause(int) override { return failing != "pause"; }
    void Stop(int) override {}
    bool Open(int index, const char* path) override {
        holding[index] = path;
        return failing != "open";
    }
    ClipLoad LoadClip(int identifier, const uint8_t** bytes, size_t* size) override {
        if (failing == "load") return CLIP_UNLOADABLE;
        auto found = clips.find(identifier);
        if (found == clips.end()) return CLIP_ABSENT;
        *bytes = reinterpret_cast<const uint8_t*>(found->second.data());
        *size = found->second.size();
        return CLIP_LOADED;
    }
    bool WriteClipFile(const char* path, const uint8_t* bytes, size_t size) override {
        ++writes;
        if (failing == "write") return false;
        files.insert(path);
        written.assign(bytes, bytes + size);
        return true;
    }
    void DeleteClipFile(const char* path) override {
        for (const auto& held : holding) {
            if (held.second == path) return;
        }
        files.erase(path);
    }

    std::set<int> players = {0, 1, 2, 3, 4, 5};
    std::map<int, std::string> clips, holding;
    std::set<std::string> files;
    std::string written;  // the last clip file's bytes
    int writes = 0;
    std::string failing;  // "load", "write", "open", "play" or "pause"
};

std::vector<std::string> g_messages;
void RecordMessage(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + ": " + text + (style == REPORT_OK ? "" : " !"));
}

const std::string WAV_CLIP = "RIFF\x24\x10\0\0WAVEfmt data"s;

// One quiz clicked through: each row is a click and what follows from it.
TEST(MediaPlayback, ButtonsPlayPauseResumeStopAndReplaceClips) {
    g_messages.clear();
    g_reportMessage = RecordMessage;
    QuizRecord quiz;
    quiz.mediaKind = MEDIA_SOUND;
    FakeDevice device;
    device.players.erase(1);  // question 2 has no player
    device.clips[403] = WAV_CLIP;
    device.clips[405] = "\x47\x01\x02\x03\x04\x05\x06\x07\x08\x09";  // an unknown kind plays too
    MediaPlayback playback(device);
    playback.SetClipFolder("T\\", 9);
    for (int i = 0; i < 6; ++i) playback.PlayerBuilt(i);
    EXPECT_EQ(playback.Current(), 5);  // after the build: the last question built

    const std::set<std::string> none, q3 = {"T\\brelo-9-403.WAV"}, q5 = {"T\\brelo-9-405.XXX"};
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
        {6003 | (uint64_t{5} << 16), q5, MEDIA_STOPPED, MEDIA_PLAYING, 3, 4},  // double-click
        {7005 | (uint64_t{1} << 32), q5, MEDIA_STOPPED, MEDIA_PLAYING, 3,
         4},  // the whole wParam counts
    };
    for (const auto& row : rows) {
        playback.OnCommand(quiz, row.command);
        EXPECT_EQ(device.files, row.files) << row.command;
        EXPECT_EQ(playback.StateOf(2), row.state3) << row.command;
        EXPECT_EQ(playback.StateOf(4), row.state5) << row.command;
        EXPECT_EQ(device.writes, row.writes) << row.command;
        EXPECT_EQ(playback.Current(), row.current) << row.command;
    }
    EXPECT_EQ(device.written, device.clips[405]);

    device.failing = "pause";  // a pause the player refuses leaves the clip playing
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
    const std::string audio = "Brelo: Impossible de charger le fichier audio.";
    const std::string video = "Brelo: Impossible de charger le fichier vid\xE9o.";
    const struct {
        std::string failing;
        int32_t mediaKind;
        std::string folder;
        std::vector<std::string> messages;
    } rows[] = {
        {"absent", MEDIA_SOUND, "T\\", {}},     {"load", MEDIA_SOUND, "T\\", {audio}},
        {"write", MEDIA_SOUND, "T\\", {audio}}, {"", MEDIA_VIDEO, std::string(300, 'd'), {video}},
        {"open", MEDIA_SOUND, "T\\", {audio}},  {"play", MEDIA_SOUND, "T\\", {audio}},
    };
    g_reportMessage = RecordMessage;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failing + row.folder.substr(0, 3) + std::to_string(row.mediaKind));
        QuizRecord quiz;
        quiz.mediaKind = row.mediaKind;
        FakeDevice device;
        if (row.failing != "absent") device.clips[403] = WAV_CLIP;
        device.failing = row.failing;
        MediaPlayback playback(device);
        playback.SetClipFolder(row.folder.c_str(), 9);
        g_messages.clear();
        playback.OnCommand(quiz, 6003);
        EXPECT_EQ(playback.StateOf(2), MEDIA_STOPPED);
        EXPECT_EQ(playback.Current(), 2);
        EXPECT_TRUE(device.files.empty()) << "a partial file stayed behind";
        EXPECT_EQ(device.holding[2], "");
        EXPECT_STREQ(playback.ClipPath(), "");
        EXPECT_EQ(g_messages, row.messages);
    }
    g_reportMessage = nullptr;
}

}  // namespace
