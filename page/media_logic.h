// The pure side of media playback: which extension a clip gets, the name of
// its temporary file, and what the play and stop buttons do. The platform's
// player, the clip resources and the file system are reached through
// MediaDevice, so the rules run natively against a fake device in tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "quiz/quiz_record.h"

constexpr int MAX_MEDIA_QUESTIONS = 96;
constexpr int MEDIA_PATH_SIZE = 260;  // the clip file's name, terminator included

enum MediaState : int32_t {
    MEDIA_STOPPED = 0,
    MEDIA_PLAYING = 1,
    MEDIA_PAUSED = 2,
};

// The clip's kind picks the message shown when it cannot be loaded or written.
enum ClipKind : int {
    CLIP_SOUND = 1,  // mediaKind 2
    CLIP_VIDEO = 2,  // mediaKind 3
};

extern const char CLIP_SOUND_MESSAGE[];    // "Impossible de charger le fichier audio."
extern const char CLIP_VIDEO_MESSAGE[];    // "Impossible de charger le fichier vidéo."
extern const char CLIP_MESSAGE_CAPTION[];  // "Brelo"

// The extension a clip is written with, from its first bytes ("MP3", "AVI",
// "WAV", "WMV", "MPG" or "XXX"). Clips shorter than nine bytes get "XXX".
const char* SniffClipExtension(const uint8_t* bytes, size_t size);

// Writes "<folder>brelo-<processId>-<identifier>.<extension>" into `out`:
// the process id keeps two players' clips apart. `folder` ends with a
// separator; an empty one is refused, so a clip never lands in the current
// directory. A name that does not fit in `outSize` bytes is refused too:
// false, and `out` left empty.
bool FormatClipPath(char* out, size_t outSize, const char* folder, unsigned long processId,
                    int identifier, const char* extension);

// Whether `name` (a file name, no folder) is one FormatClipPath makes:
// "brelo-<digits>-<digits>.<extension>"; `processId` then holds the process
// that wrote it. Only such files are ever removed as leftovers.
bool ParseClipFileName(const char* name, unsigned long* processId);

enum ClipLoad : int {
    CLIP_ABSENT,      // no such resource, or it yields no bytes: nothing to say
    CLIP_UNLOADABLE,  // the resource exists but cannot be loaded: the kind's message
    CLIP_LOADED,
};

// What playback needs from the platform: one player per question (0-based
// index), the clip resources and the clip file.
class MediaDevice {
  public:
    virtual ~MediaDevice() = default;
    virtual bool HasPlayer(int index) const = 0;
    virtual bool Play(int index) = 0;
    virtual bool Pause(int index) = 0;
    virtual void Stop(int index) = 0;
    // Hands `path` to the player as the clip to play; an empty path makes it
    // let go of the file it held. False when the player refused it.
    virtual bool Open(int index, const char* path) = 0;
    virtual ClipLoad LoadClip(int identifier, const uint8_t** bytes, size_t* size) = 0;
    // Creates `path`, which must not exist yet (a file of that name is never
    // opened), with exactly these bytes. False when it could not be created
    // or filled; a file it created but could not fill is removed.
    virtual bool WriteClipFile(const char* path, const uint8_t* bytes, size_t size) = 0;
    virtual void DeleteClipFile(const char* path) = 0;
};

// The play/pause/resume/stop rules of a sound or video quiz. At most one clip
// file exists at a time; it is always let go by its player before it is
// deleted, so the deletion cannot fail on a file still held open.
class MediaPlayback {
  public:
    explicit MediaPlayback(MediaDevice& device) : device_(device) { Reset(); }

    // Every question stopped, no clip file, question 0 current.
    void Reset();
    // Where clip files go (a folder of the user's, ending with a separator)
    // and the process id their names carry. Until then no clip is written.
    void SetClipFolder(const char* folder, unsigned long processId);
    // The page has made (or tried to make) the player of question `index`.
    void PlayerBuilt(int index);

    // WM_COMMAND of the page: the whole wParam is compared, so only a click
    // (notification 0) on play 6001..6096 or stop 7001..7096 does anything.
    void OnCommand(const QuizRecord& quiz, uint64_t command);
    void OnPlayButton(const QuizRecord& quiz, int q);
    void OnStopButton(int q);

    // Page close: every player lets go of its file, the clip file is deleted.
    void ClosePage();

    MediaState StateOf(int index) const;
    int Current() const { return current_; }
    const char* ClipPath() const { return clipPath_; }

  private:
    void StopAll();
    void ReleaseClip();
    bool ExtractClip(const QuizRecord& quiz, int identifier);
    void StartAfresh(const QuizRecord& quiz, int index);

    MediaDevice& device_;
    MediaState state_[MAX_MEDIA_QUESTIONS];
    int current_;
    int holder_;  // the player given the clip file, or -1
    char clipPath_[MEDIA_PATH_SIZE];
    char clipFolder_[MEDIA_PATH_SIZE] = "";
    unsigned long processId_ = 0;
};
