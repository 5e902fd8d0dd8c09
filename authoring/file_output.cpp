#include "authoring/file_output.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr size_t kReadChunk = 1 << 20;
constexpr int kFreshNameTries = 64;

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::string SystemReason(const char* fallback) {
    const int code = errno;
    return code != 0 ? std::string(std::strerror(code)) : std::string(fallback);
}

std::string Larger(uint64_t maxBytes) {
    return "larger than " + std::to_string(maxBytes >> 20) + " MiB";
}

// A folder beside `target` that did not exist before: create_directory fails
// on any existing name, a link included, so nobody else's folder is reused.
bool MakeFreshFolder(const fs::path& target, fs::path& folder) {
    for (int i = 0; i < kFreshNameTries; ++i) {
        folder = fs::u8path(PartialName(target.u8string()));
        std::error_code ec;
        if (fs::create_directory(folder, ec)) return true;
        if (ec && ec != std::errc::file_exists) return false;
    }
    return false;
}

}  // namespace

bool ReadRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                     std::string& why) {
    bytes.clear();
    const fs::path file = fs::u8path(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        why = "no such file";
        return false;
    }
    if (ec) {
        why = ec.message();
        return false;
    }
    // Opening a pipe waits for a writer and a device may never end: only
    // regular files are opened at all.
    if (fs::is_directory(status)) {
        why = "a folder, not a file";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        why = "not a regular file (a device, a pipe or a socket)";
        return false;
    }
    const uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > maxBytes) {
        why = Larger(maxBytes);
        return false;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        why = SystemReason("cannot be opened");
        return false;
    }
    // The size is only a hint (a file may grow, /proc files say 0): read in
    // chunks up to one byte past the limit.
    while (in) {
        const size_t have = bytes.size();
        const size_t want =
            static_cast<size_t>(std::min<uint64_t>(kReadChunk, maxBytes + 1 - have));
        bytes.resize(have + want);
        errno = 0;
        in.read(reinterpret_cast<char*>(bytes.data() + have), static_cast<std::streamsize>(want));
        bytes.resize(have + static_cast<size_t>(in.gcount()));
        if (in.bad()) {
            why = "read error (" + SystemReason("unknown reason") + ")";
            bytes.clear();
            return false;
        }
        if (bytes.size() > maxBytes) {
            why = Larger(maxBytes);
            bytes.clear();
            return false;
        }
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   uint64_t maxBytes) {
    std::string why;
    if (ReadRegularFile(path, maxBytes, bytes, why)) return true;
    error = path + ": cannot read: " + why;
    return false;
}

std::string PartialName(const std::string& path) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char kDigits[] = "0123456789abcdef";
    std::string name = path;
    while (!name.empty() && (name.back() == '/' || name.back() == '\\')) name.pop_back();
    name += ".partial-";
    uint64_t bits = random();
    for (int i = 0; i < 12; ++i, bits >>= 4) name += kDigits[bits & 15];
    return name;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error) {
    const fs::path target = fs::u8path(path);
    fs::path folder;
    if (!target.has_filename() || !MakeFreshFolder(target, folder)) {
        error = path + ": cannot be written (no room for work beside it)";
        return false;
    }
    const fs::path partial = folder / target.filename();
    std::error_code ec;
    bool ok = WriteFile(partial, bytes);
    if (!ok) {
        error = path + ": cannot be written";
    } else {
        fs::rename(partial, target, ec);
        ok = !ec;
        if (!ok) error = path + ": cannot be written (" + ec.message() + ")";
    }
    // Only what this run created goes: the file (unless renamed) and its folder.
    fs::remove(partial, ec);
    fs::remove(folder, ec);
    return ok;
}

bool WriteFolderAtomically(const std::string& folder, const std::vector<OutputFile>& files,
                           std::string& error) {
    fs::path target = fs::u8path(folder).lexically_normal();
    if (!target.has_filename()) target = target.parent_path();  // "out/" names "out"
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(target, ec));
    if (target.empty() || (exists && (!fs::is_directory(fs::symlink_status(target, ec)) ||
                                      !fs::is_empty(target, ec)))) {
        error = folder + ": already exists and is not an empty folder";
        return false;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    fs::path work;
    if (!MakeFreshFolder(target, work)) {
        error = folder + ": cannot be created";
        return false;
    }
    bool ok = true;
    for (const OutputFile& f : files) {
        if (!WriteFile(work / fs::u8path(f.name), f.bytes)) {
            error = folder + ": " + f.name + " cannot be written";
            ok = false;
            break;
        }
    }
    if (ok && exists) fs::remove(target, ec);  // the empty folder named as the output
    if (ok) fs::rename(work, target, ec);
    if (ok && ec) {
        error = folder + ": cannot be created (" + ec.message() + ")";
        ok = false;
    }
    if (!ok) fs::remove_all(work, ec);  // made by this run, filled only by it
    return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(fs::u8path(a), fs::u8path(b), ec) && !ec;
}
