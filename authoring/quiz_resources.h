// The resources that make a quiz inside a player: "PATCH" 104 and 105 from the
// quiz writer, and per question its picture, answer picture or clip as the
// player looks them up:
//   picture        JPEG "IMG" 400+q, PNG RT_RCDATA 400+q (the player's PNG route)
//   answer picture JPEG "IMG" 10400+q stored nibble-swapped, PNG RT_RCDATA 10400+q as is
//   clip           "IMG" 400+q as is
// The player tries "IMG" first and RT_RCDATA only when there is none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/quiz_json.h"
#include "images/png_decoder.h"

constexpr int QUIZ_MEDIA_BASE = 400;
constexpr int QUIZ_ANSWER_PICTURE_BASE = 10400;
constexpr int QUIZ_SCRAMBLE_THRESHOLD = 10000;  // "IMG" above it is stored nibble-swapped

using QuizResource = PeResource;

// The largest picture the player shows (its PNG decoder's limit, applied to
// JPEG pictures as well).
constexpr uint64_t MAX_PICTURE_PIXELS = PNG_MAX_PIXELS;

// What a media file is, recognised from its first bytes.
enum MediaFileKind {
    MEDIA_FILE_UNKNOWN,
    MEDIA_FILE_JPEG,
    MEDIA_FILE_PNG,
    MEDIA_FILE_CLIP,
};
MediaFileKind PictureFileKind(const std::vector<uint8_t>& bytes, std::string& why);

// The extension the player gives a clip when it writes it out to play it
// ("MP3", "WAV", "AVI", "WMV", "MPG"), when the clip also carries that kind's
// signature; "XXX" for anything else, which the media player would refuse.
std::string ClipExtension(const std::vector<uint8_t>& bytes);

// Each byte with its two 4-bit halves exchanged; its own inverse.
void SwapNibbles(std::vector<uint8_t>& bytes);

// Whether a resource belongs to a quiz (so a player that already carries one
// gets all of it replaced): "PATCH" 104/105, "IMG" and RT_RCDATA of the media
// numbers.
bool IsQuizResource(const ResourceId& type, const ResourceId& name);

// Reads and checks every media file and writes the quiz blocks. Each problem
// is one line "<sourceName>: <field>: <what is wrong>"; the result is true
// when there is none. With `problems` holding the JSON problems already, the
// media are still checked so `check` can list everything at once.
bool MakeQuizResources(const QuizProject& project, const std::string& sourceName, bool encipher,
                       std::vector<QuizResource>& out, std::vector<std::string>& problems);

// The whole road from a JSON file to its resources (LoadQuizJson, then
// MakeQuizResources).
bool LoadQuizResources(const std::string& jsonPath, bool encipher, QuizProject& project,
                       std::vector<QuizResource>& out, std::vector<std::string>& problems);

// A copy of the player image carrying `quiz` instead of whatever quiz it held:
// the player's own resources are kept, every quiz resource replaced. This is
// how brelo-make builds on Linux; errors name what is wrong with the player.
bool PlayerImageWithQuiz(const std::vector<uint8_t>& player, const std::vector<QuizResource>& quiz,
                         std::vector<uint8_t>& out, std::string& error);
