#include "page/media_logic.h"

#include <cstdio>
#include <cstring>

#include "page/control_ids.h"
#include "shell/report.h"

const char CLIP_SOUND_MESSAGE[] = "Impossible de charger le fichier audio.";
const char CLIP_VIDEO_MESSAGE[] = "Impossible de charger le fichier vid\xE9o.";
const char CLIP_MESSAGE_CAPTION[] = "Brelo";

namespace {

// The bytes the kind of a clip is told by.
constexpr size_t CLIP_SNIFF_SIZE = 9;
constexpr uint8_t ID3_TAG = 0x49;    // "I"
constexpr uint8_t RIFF_FILE = 0x52;  // "R"
constexpr uint8_t ASF_HEADER = 0x30;
constexpr uint8_t MPEG_SYNC = 0xFF;
constexpr uint8_t MPEG_AUDIO = 0xF3;
constexpr uint8_t ZERO_BYTE = 0x00;
constexpr uint8_t RIFF_AVI = 0x41;   // "A" of "AVI "
constexpr uint8_t RIFF_WAVE = 0x57;  // "W" of "WAVE"

constexpr int FIRST_PLAY = ID_PLAY_BUTTON + 1;
constexpr int LAST_PLAY = ID_PLAY_BUTTON + MAX_MEDIA_QUESTIONS;
constexpr int FIRST_STOP = ID_STOP_BUTTON + 1;
constexpr int LAST_STOP = ID_STOP_BUTTON + MAX_MEDIA_QUESTIONS;

bool IsQuestionIndex(int index) {
    return index >= 0 && index < MAX_MEDIA_QUESTIONS;
}

// The message of a clip that cannot be loaded or written, by the quiz's kind;
// any other kind stays silent.
void ReportClipFailure(const QuizRecord& quiz) {
    const int kind = quiz.mediaKind - 1;
    if (kind == CLIP_SOUND) {
        ReportMessage(CLIP_SOUND_MESSAGE, CLIP_MESSAGE_CAPTION, REPORT_OK);
    } else if (kind == CLIP_VIDEO) {
        ReportMessage(CLIP_VIDEO_MESSAGE, CLIP_MESSAGE_CAPTION, REPORT_OK);
    }
}

}  // namespace

// A RIFF file names its form at byte 8 ("AVI " or "WAVE"); an ID3 tag opens
// an MP3, 0x30 an ASF header, 0xFF an MPEG frame (0xF3 audio, 0x00 system),
// 0x00 an MPEG pack or a headerless AVI. The ninth byte is only looked at when
// the clip has one, so a clip too short to be told apart gets "XXX".
const char* SniffClipExtension(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < CLIP_SNIFF_SIZE) return "XXX";
    const uint8_t b0 = bytes[0];
    const uint8_t b1 = bytes[1];
    const uint8_t b8 = bytes[8];
    switch (b0) {
        case ID3_TAG:
            return "MP3";
        case RIFF_FILE:
            if (b8 == RIFF_AVI) return "AVI";
            if (b8 == RIFF_WAVE) return "WAV";
            return "XXX";
        case ASF_HEADER:
            return "WMV";
        case MPEG_SYNC:
            if (b1 == MPEG_AUDIO) return "MP3";
            if (b1 == ZERO_BYTE) return "MPG";
            return "XXX";
        case ZERO_BYTE:
            if (b8 == RIFF_AVI || b8 == RIFF_WAVE) return "AVI";
            return "MPG";
        default:
            return "XXX";
    }
}

bool FormatClipPath(char* out, size_t outSize, const char* folder, unsigned long processId,
                    int identifier, const char* extension) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (folder == nullptr || folder[0] == '\0') return false;
    const int written = std::snprintf(out, outSize, "%sbrelo-%lu-%d.%s", folder, processId,
                                      identifier, extension != nullptr ? extension : "");
    if (written < 0 || static_cast<size_t>(written) >= outSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

namespace {

// Reads one or more decimal digits (at most nine) at `text`; null when none.
const char* ReadNumber(const char* text, unsigned long* value) {
    unsigned long number = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (++digits > 9) return nullptr;
        number = number * 10 + static_cast<unsigned long>(*text - '0');
    }
    *value = number;
    return digits > 0 ? text : nullptr;
}

}  // namespace

bool ParseClipFileName(const char* name, unsigned long* processId) {
    static const char kPrefix[] = "brelo-";
    if (name == nullptr || std::strncmp(name, kPrefix, sizeof kPrefix - 1) != 0) return false;
    unsigned long process = 0, identifier = 0;
    const char* p = ReadNumber(name + sizeof kPrefix - 1, &process);
    if (p == nullptr || *p != '-') return false;
    p = ReadNumber(p + 1, &identifier);
    if (p == nullptr || *p != '.' || std::strlen(p + 1) != 3) return false;
    *processId = process;
    return true;
}

void MediaPlayback::Reset() {
    for (MediaState& state : state_) state = MEDIA_STOPPED;
    current_ = 0;
    holder_ = -1;
    clipPath_[0] = '\0';
}

void MediaPlayback::SetClipFolder(const char* folder, unsigned long processId) {
    CopyText(clipFolder_, MEDIA_PATH_SIZE, folder != nullptr ? folder : "");
    processId_ = processId;
}

void MediaPlayback::PlayerBuilt(int index) {
    if (IsQuestionIndex(index)) current_ = index;
}

MediaState MediaPlayback::StateOf(int index) const {
    return IsQuestionIndex(index) ? state_[index] : MEDIA_STOPPED;
}

void MediaPlayback::OnCommand(const QuizRecord& quiz, uint64_t command) {
    if (command >= static_cast<uint64_t>(FIRST_PLAY) &&
        command <= static_cast<uint64_t>(LAST_PLAY)) {
        OnPlayButton(quiz, static_cast<int>(command) - ID_PLAY_BUTTON);
    } else if (command >= static_cast<uint64_t>(FIRST_STOP) &&
               command <= static_cast<uint64_t>(LAST_STOP)) {
        OnStopButton(static_cast<int>(command) - ID_STOP_BUTTON);
    }
}

// Play pauses a playing clip and resumes a paused one; otherwise it writes the
// clip afresh and plays it from the start. A clip that reached its end still
// counts as playing. The state only moves when the player did what was asked.
void MediaPlayback::OnPlayButton(const QuizRecord& quiz, int q) {
    const int index = q - 1;
    if (!IsQuestionIndex(index) || !device_.HasPlayer(index)) return;
    switch (state_[index]) {
        case MEDIA_PLAYING:
            if (device_.Pause(index)) state_[index] = MEDIA_PAUSED;
            current_ = index;
            return;
        case MEDIA_PAUSED:
            if (device_.Play(index)) state_[index] = MEDIA_PLAYING;
            current_ = index;
            return;
        case MEDIA_STOPPED:
            StartAfresh(quiz, index);
            return;
    }
}

void MediaPlayback::StartAfresh(const QuizRecord& quiz, int index) {
    StopAll();
    ReleaseClip();
    current_ = index;
    if (!ExtractClip(quiz, ID_QUESTION_PICTURE + index + 1)) return;
    holder_ = index;
    if (!device_.Open(index, clipPath_) || !device_.Play(index)) {
        ReleaseClip();
        ReportClipFailure(quiz);
        return;
    }
    state_[index] = MEDIA_PLAYING;
}

// Any stop button stops the clip started last, whichever question it is, and
// removes its file; the next play of that question starts from the beginning.
// A question without a player has buttons that do nothing.
void MediaPlayback::OnStopButton(int q) {
    const int index = q - 1;
    if (!IsQuestionIndex(index) || !device_.HasPlayer(index)) return;
    state_[current_] = MEDIA_STOPPED;
    if (device_.HasPlayer(current_)) device_.Stop(current_);
    ReleaseClip();
}

void MediaPlayback::ClosePage() {
    for (int j = 0; j < MAX_MEDIA_QUESTIONS; ++j) {
        state_[j] = MEDIA_STOPPED;
        if (!device_.HasPlayer(j)) continue;
        device_.Stop(j);
        device_.Open(j, "");
    }
    holder_ = -1;
    ReleaseClip();
}

void MediaPlayback::StopAll() {
    for (int j = 0; j < MAX_MEDIA_QUESTIONS; ++j) {
        if (!device_.HasPlayer(j)) continue;
        state_[j] = MEDIA_STOPPED;
        device_.Stop(j);
    }
}

// A player keeps its clip file open while it has it, and an open file cannot
// be deleted: the holder is stopped and given an empty address first.
void MediaPlayback::ReleaseClip() {
    if (holder_ >= 0 && device_.HasPlayer(holder_)) {
        device_.Stop(holder_);
        device_.Open(holder_, "");
    }
    holder_ = -1;
    if (clipPath_[0] != '\0') device_.DeleteClipFile(clipPath_);
    clipPath_[0] = '\0';
}

// Writes resource "IMG" `identifier` to its clip file. A missing clip says
// nothing; one that cannot be loaded, named or written in full shows the
// kind's message (the device removes a file it only partly wrote, and never
// touches one that was there before).
bool MediaPlayback::ExtractClip(const QuizRecord& quiz, int identifier) {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    switch (device_.LoadClip(identifier, &bytes, &size)) {
        case CLIP_ABSENT:
            return false;
        case CLIP_UNLOADABLE:
            ReportClipFailure(quiz);
            return false;
        case CLIP_LOADED:
            break;
    }
    char path[MEDIA_PATH_SIZE];
    if (!FormatClipPath(path, sizeof path, clipFolder_, processId_, identifier,
                        SniffClipExtension(bytes, size))) {
        ReportClipFailure(quiz);
        return false;
    }
    if (!device_.WriteClipFile(path, bytes, size)) {
        ReportClipFailure(quiz);
        return false;
    }
    std::memcpy(clipPath_, path, sizeof path);
    return true;
}
