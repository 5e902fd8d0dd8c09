// Files in and out of brelo-make. Output is all or nothing: a failed run
// never leaves a half-written program, JSON file or folder behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OutputFile {
    std::string name;  // relative to the folder
    std::vector<uint8_t> bytes;
};

// Paths are UTF-8. Errors read "<path>: <what went wrong>".
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes "<path>.partial" and renames it over `path` once complete.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error);

// Fills a fresh folder beside `folder` and renames it to `folder` once every
// file is written. `folder` must not exist yet, or be empty.
bool WriteFolderAtomically(const std::string& folder, const std::vector<OutputFile>& files,
                           std::string& error);

// Whether two paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b);
