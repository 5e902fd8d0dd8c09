#include "answers/answers_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(AnswersFileName, OnlyTheLastElementsDotCountsAndWhatDoesNotFitIsRefused) {
    const std::string x255(255, 'x');
    const struct {
        std::string path;
        std::string replaced;  // ReplaceExtensionWithTxt; empty: refused
    } rows[] = {
        {"C:\\mes.quiz\\brelo", "C:\\mes.quiz\\brelo.txt"},
        {"a.b.exe", "a.b.txt"},
        {"C:\\q\\brelo.", "C:\\q\\brelo.txt"},
        // 257 characters and a one-letter extension grow to 259 and fit; 258 do not.
        {x255 + ".e", x255 + ".txt"},
        {x255 + "x.e", ""},
        {x255 + "xx", ""},  // + ".txt" = 261
    };
    for (const auto& row : rows) {
        char out[ANSWERS_NAME_SIZE] = "z";
        EXPECT_EQ(ReplaceExtensionWithTxt(row.path.c_str(), out, sizeof out),
                  !row.replaced.empty());
        EXPECT_EQ(out, row.replaced) << row.path;
    }
    char out[8];
    EXPECT_FALSE(ReplaceExtensionWithTxt(nullptr, out, sizeof out));
}

// The hash is part of stored file names: published FNV-1a vectors pin it.
TEST(AnswersFileName, FallbackNamesCarryAStableHashOfTheWholePath) {
    const struct {
        std::string appData, program;
        int size;
        std::string fallback;  // empty: refused
    } rows[] = {
        {"C:\\AD", "a", 64, "C:\\AD\\Brelo\\a-e40c292c.txt"},
        {"C:\\AD\\", "FOOBAR", 64, "C:\\AD\\Brelo\\FOOBAR-bf9cf968.txt"},  // case is one path
        {"C:\\AD", "E:\\Quiz.cd\\Carte.EXE", 64, "C:\\AD\\Brelo\\Carte-f726017b.txt"},
        {"C:\\AD", "a", 27, "C:\\AD\\Brelo\\a-e40c292c.txt"},  // exactly fits
        {"C:\\AD", "a", 26, ""},
        {"", "a", 64, ""},                  // no application data folder
        {"C:\\AD", "C:\\q\\.exe", 64, ""},  // no name to give
    };
    for (const auto& row : rows) {
        std::vector<char> out(static_cast<size_t>(row.size) + 8, 'z');
        EXPECT_EQ(
            MakeFallbackAnswersName(row.appData.c_str(), row.program.c_str(), out.data(), row.size),
            !row.fallback.empty());
        EXPECT_EQ(std::string(out.data()), row.fallback) << row.program << " " << row.size;
        EXPECT_EQ(out[static_cast<size_t>(row.size)], 'z');
    }
}

std::vector<std::string> ReadLines(const std::string& file, int fields, int bufferSize = 260) {
    AnswerLineReader reader(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    for (int i = 0; i < fields; ++i) {
        const int copied = reader.ReadLine(buffer.data(), bufferSize);
        EXPECT_EQ(static_cast<size_t>(copied), std::string(buffer.data()).size());
        lines.push_back(buffer.data());
    }
    return lines;
}

TEST(AnswerLineReader, RestoresEachLineWholeAndNeverPassesTheEnd) {
    const std::string line259(259, 'B');
    const struct {
        std::string file;
        std::vector<std::string> expected;
    } rows[] = {
        {"PARIS\r\n\r\nLyon\r\n", {"PARIS", "", "Lyon", ""}},
        {line259 + "\r\ny\r\n", {line259, "y", "", ""}},
        {line259 + "DEFG\r\nz\r\n", {line259, "z", "", ""}},  // the rest skipped
        {"un\ndeux\ntrois", {"un", "deux", "trois", ""}},
        {"un\r", {"un", "", "", ""}},
        {"ab\rcd\r\nef\r\n", {"ab", "ef", "", ""}},
    };
    for (const auto& row : rows) EXPECT_EQ(ReadLines(row.file, 4), row.expected) << row.file;
    EXPECT_EQ(ReadLines("abcdef\r\ngh\r\n", 2, 4), (std::vector<std::string>{"abc", "gh"}));
    AnswerLineReader none(nullptr, 100);
    char out[8] = "x";
    EXPECT_EQ(none.ReadLine(out, sizeof out), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
