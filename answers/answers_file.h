// The answers file: one line per answer field, each the field's text followed
// by CR LF, in the order of the field numbers. It is named after the program
// and lives beside it, or, when that folder cannot be written (a CD, a share,
// a mail attachment), in the user's own application data folder. Pure code
// shared by the page, which reads the file back when it is built, and
// SaveAnswers, which writes it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int ANSWERS_NAME_SIZE = 260;  // a Windows path: at most 259 characters
constexpr int ANSWER_LINE_SIZE = 260;   // an answer field holds at most 259 characters
constexpr int ANSWER_LINE_MAX = ANSWER_LINE_SIZE - 1;

// Replaces the extension of the last path element by "txt"; a last element
// without a dot gets ".txt" appended. Dots in folder names never count:
// "C:\mes.quiz\brelo" gives "C:\mes.quiz\brelo.txt". Returns false (and an
// empty `out`) when the result does not fit `outSize` bytes with its zero.
bool ReplaceExtensionWithTxt(const char* path, char* out, int outSize);

// The fallback answers file of the program at `programPath` (its full path):
// "<appData>\Brelo\<name>-<hash>.txt", where <name> is the program's file name
// without its extension and <hash> the eight lower-case hex digits of
// AnswersPathHash(programPath). Two copies of one quiz in different folders
// thus keep different answers. False (and `out` empty) when it does not fit.
bool MakeFallbackAnswersName(const char* appData, const char* programPath, char* out, int outSize);

// 32-bit FNV-1a (offset basis 2166136261, prime 16777619) over the bytes of
// `path` with the ASCII letters A-Z taken as a-z, as Windows compares paths.
// Stored in file names: it must never change.
uint32_t AnswersPathHash(const char* path);

// A field may hold a CR or LF (pasted text): each becomes a space, so the
// line stays one line and the fields after it keep their places.
void FlattenAnswerLine(char* text, int length);

// Walks the mapped bytes of an answers file line by line. Reading never goes
// at or past `size`; a file that ends early leaves the later fields empty.
class AnswerLineReader {
  public:
    AnswerLineReader(const unsigned char* data, size_t size)
        : data_(data), size_(data != nullptr ? size : 0) {}

    // Copies the next line (at most outSize - 1 bytes, so 259 for a field) into
    // `out` and moves to the start of the line after it. A line ends at CR LF
    // or at a lone LF; a CR stops the copy and the rest up to the LF is
    // skipped, as is the part of a line too long for `out`. Past the end of
    // the file every line is empty. Returns the number of bytes copied.
    int ReadLine(char* out, int outSize);

    size_t Position() const { return position_; }

  private:
    const unsigned char* data_;
    size_t size_;
    size_t position_ = 0;
};
