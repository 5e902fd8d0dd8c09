// The way back from a player to its quiz source: the "PATCH" blocks decoded
// (plain or enciphered) into a QuizSource, the media resources into files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/quiz_resources.h"

struct UnpackedFile {
    std::string name;  // file name within the output folder
    std::vector<uint8_t> bytes;
};

struct UnpackedQuiz {
    QuizProject project;  // media paths are the names of `files`
    std::vector<UnpackedFile> files;
    bool enciphered = false;
    std::vector<std::string> notes;  // what was found but cannot come back
};

// Reads the quiz that `resources` (all of a player's) carry. False with
// `error` when there is no quiz or its content cannot be decoded.
bool UnpackQuiz(const std::vector<PeResource>& resources, UnpackedQuiz& out, std::string& error);

// The decoded content block as a quiz source: the exact inverse of the quiz
// writer, keeping the second extra texts the player skips. False with
// `error` when the block is not a whole quiz.
bool ParseContentSource(const uint8_t* data, size_t size, QuizSource& quiz, std::string& error);

// Decoded codes: one line per question, CR LF after each; trailing empty
// codes are dropped (the writer adds them back).
std::vector<std::string> ParseCodesSource(const uint8_t* data, size_t size, size_t questionCount);
