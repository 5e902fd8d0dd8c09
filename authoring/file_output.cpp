#include "authoring/file_output.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::error_code ec;
    const fs::path file = fs::u8path(path);
    if (fs::is_directory(file, ec)) {
        error = path + ": is a folder, not a file";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = path + ": cannot be opened";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error) {
    const fs::path target = fs::u8path(path);
    fs::path partial = target;
    partial += ".partial";
    std::error_code ec;
    if (!WriteFile(partial, bytes)) {
        fs::remove(partial, ec);
        error = path + ": cannot be written";
        return false;
    }
    fs::rename(partial, target, ec);
    if (ec) {
        fs::remove(partial, ec);
        error = path + ": cannot be written (" + ec.message() + ")";
        return false;
    }
    return true;
}

bool WriteFolderAtomically(const std::string& folder, const std::vector<OutputFile>& files,
                           std::string& error) {
    fs::path target = fs::u8path(folder).lexically_normal();
    if (!target.has_filename()) target = target.parent_path();  // "out/" names "out"
    std::error_code ec;
    const bool exists = fs::exists(target, ec);
    if (target.empty() ||
        (exists && (!fs::is_directory(target, ec) || !fs::is_empty(target, ec)))) {
        error = folder + ": already exists and is not an empty folder";
        return false;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    fs::path work = target;
    work += ".partial";
    fs::remove_all(work, ec);
    if (!fs::create_directory(work, ec)) {
        error = folder + ": cannot be created";
        return false;
    }
    for (const OutputFile& f : files) {
        if (!WriteFile(work / fs::u8path(f.name), f.bytes)) {
            fs::remove_all(work, ec);
            error = folder + ": " + f.name + " cannot be written";
            return false;
        }
    }
    if (exists) fs::remove(target, ec);
    fs::rename(work, target, ec);
    if (ec) {
        error = folder + ": cannot be created (" + ec.message() + ")";
        fs::remove_all(work, ec);
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(fs::u8path(a), fs::u8path(b), ec) && !ec;
}
