// The answers file: one line per answer field, each the field's text followed
// by CR LF, in the order of the field numbers. It is named after the program
// and lives in the current directory. Pure code shared by the page, which
// reads the file back when it is built, and SaveAnswers, which writes it.
#pragma once

#include <cstddef>

constexpr int ANSWERS_NAME_SIZE = 260;  // a Windows path: at most 259 characters
constexpr int ANSWER_LINE_SIZE = 260;   // an answer field holds at most 259 characters
constexpr int ANSWER_LINE_MAX = ANSWER_LINE_SIZE - 1;

// Replaces the extension of the last path element by "txt"; a last element
// without a dot gets ".txt" appended. Dots in folder names never count:
// "C:\mes.quiz\brelo" gives "C:\mes.quiz\brelo.txt". Returns false (and an
// empty `out`) when the result does not fit `outSize` bytes with its zero.
bool ReplaceExtensionWithTxt(const char* path, char* out, int outSize);

// The answers file's name for the running module's path: the path's last
// element (no folder, so the file is looked for in the current directory)
// with its extension replaced as above: "C:\quiz\player.exe" gives "player.txt".
// Both the page's reader and SaveAnswers use this one function.
bool MakeAnswersFileName(const char* modulePath, char* out, int outSize);

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
