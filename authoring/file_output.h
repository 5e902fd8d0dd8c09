// Files in and out of brelo-make. Output is all or nothing: a failed run
// never leaves a half-written program, JSON file or folder behind, and the
// work in progress lives under names this run created itself, so nothing the
// user already had (a file, a folder, a link) is ever overwritten or deleted
// on the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OutputFile {
    std::string name;  // relative to the folder
    std::vector<uint8_t> bytes;
};

// What brelo-make reads at most. A quiz never needs more, and every input is
// read whole: the limits keep a wrong or hostile path (a device, a huge file)
// from taking the machine's memory.
constexpr uint64_t MAX_QUIZ_JSON_BYTES = 16ull << 20;
constexpr uint64_t MAX_PROGRAM_BYTES = 320ull << 20;  // a player with 256 MiB of media
constexpr uint64_t MAX_PICTURE_BYTES = 16ull << 20;
constexpr uint64_t MAX_CLIP_BYTES = 64ull << 20;

// Reads a regular file of at most `maxBytes` bytes, in bounded chunks.
// Folders, devices, pipes and sockets are refused before they are opened.
// On failure `why` says what is wrong, without the path ("no such file",
// "larger than 16 MiB", "read error (Input/output error)", ...).
bool ReadRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& why);

// Paths are UTF-8. Errors read "<path>: cannot read: <why>".
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   uint64_t maxBytes = MAX_PROGRAM_BYTES);

// "<path>.partial-<random>": a name for work in progress beside `path`.
// Callers create it exclusively and try another when it exists.
std::string PartialName(const std::string& path);

// Writes the file inside a fresh folder beside `path`, then renames it over
// `path` once complete (replacing a link of that name, never its target).
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error);

// Fills a fresh folder beside `folder` and renames it to `folder` once every
// file is written. `folder` must not exist yet, or be empty.
bool WriteFolderAtomically(const std::string& folder, const std::vector<OutputFile>& files,
                           std::string& error);

// Whether two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);
