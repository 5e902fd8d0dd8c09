#include "answers/answers_file.h"

#include <cstdio>
#include <cstring>

namespace {

// Start of the last path element: just after the last '\' or '/'.
const char* LastPathElement(const char* path) {
    const char* element = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') element = p + 1;
    }
    return element;
}

void ClearText(char* out, int outSize) {
    if (out != nullptr && outSize > 0) out[0] = '\0';
}

}  // namespace

bool ReplaceExtensionWithTxt(const char* path, char* out, int outSize) {
    static const char kExtension[] = "txt";
    const size_t extensionLength = sizeof kExtension - 1;
    if (path == nullptr || out == nullptr) {
        ClearText(out, outSize);
        return false;
    }
    const char* element = LastPathElement(path);
    const char* dot = std::strrchr(element, '.');
    // Keep everything up to and including the dot; without one, add it.
    size_t keep = dot != nullptr ? static_cast<size_t>(dot - path) + 1 : std::strlen(path);
    const size_t addedDot = dot != nullptr ? 0 : 1;
    const size_t total = keep + addedDot + extensionLength;
    if (outSize <= 0 || total > static_cast<size_t>(outSize) - 1) {
        ClearText(out, outSize);
        return false;
    }
    std::memcpy(out, path, keep);
    if (addedDot != 0) out[keep++] = '.';
    std::memcpy(out + keep, kExtension, extensionLength);
    out[total] = '\0';
    return true;
}

bool MakeFallbackAnswersName(const char* appData, const char* programPath, char* out, int outSize) {
    if (appData == nullptr || appData[0] == '\0' || programPath == nullptr || outSize <= 0) {
        ClearText(out, outSize);
        return false;
    }
    const char* name = LastPathElement(programPath);
    const char* dot = std::strrchr(name, '.');
    const int nameLength = static_cast<int>(dot != nullptr ? dot - name : std::strlen(name));
    const size_t folderLength = std::strlen(appData);
    const char* separator = appData[folderLength - 1] == '\\' ? "" : "\\";
    const int written = std::snprintf(
        out, static_cast<size_t>(outSize), "%s%sBrelo\\%.*s-%08lx.txt", appData, separator,
        nameLength, name, static_cast<unsigned long>(AnswersPathHash(programPath)));
    if (written < 0 || written >= outSize || nameLength == 0) {
        ClearText(out, outSize);
        return false;
    }
    return true;
}

uint32_t AnswersPathHash(const char* path) {
    uint32_t hash = 2166136261u;
    for (const char* p = path; p != nullptr && *p != '\0'; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte - 'A' + 'a');
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

void FlattenAnswerLine(char* text, int length) {
    for (int i = 0; text != nullptr && i < length; ++i) {
        if (text[i] == '\r' || text[i] == '\n') text[i] = ' ';
    }
}

int AnswerLineReader::ReadLine(char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return 0;
    const int limit = outSize - 1;
    int copied = 0;
    while (copied < limit && position_ < size_) {
        const unsigned char byte = data_[position_];
        if (byte == '\r' || byte == '\n') break;
        out[copied++] = static_cast<char>(byte);
        ++position_;
    }
    out[copied] = '\0';
    // Skip what is left of the line (a CR, or the part too long to keep) up
    // to its LF, and step past the LF only when there is one.
    while (position_ < size_ && data_[position_] != '\n') ++position_;
    if (position_ < size_) ++position_;
    return copied;
}
