#include "answers/answers_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(AnswersFileName, OnlyTheLastElementsDotCounts) {
    struct Case {
        const char* path;
        const char* replaced;  // ReplaceExtensionWithTxt
        const char* fileName;  // MakeAnswersFileName
    };
    const Case cases[] = {
        {"C:\\quiz\\player.exe", "C:\\quiz\\player.txt", "player.txt"},
        {"C:\\mes.quiz\\brelo", "C:\\mes.quiz\\brelo.txt", "brelo.txt"},
        {"C:\\mes.quiz\\brelo.exe", "C:\\mes.quiz\\brelo.txt", "brelo.txt"},
        {"brelo", "brelo.txt", "brelo.txt"},
        {"a.b.exe", "a.b.txt", "a.b.txt"},
        {"C:\\q\\brelo.", "C:\\q\\brelo.txt", "brelo.txt"},
        {"/home/x.y/quiz", "/home/x.y/quiz.txt", "quiz.txt"},
        {"C:\\q\\.exe", "C:\\q\\.txt", ".txt"},
    };
    for (const Case& c : cases) {
        char out[ANSWERS_NAME_SIZE];
        ASSERT_TRUE(ReplaceExtensionWithTxt(c.path, out, sizeof out)) << c.path;
        EXPECT_STREQ(out, c.replaced) << c.path;
        ASSERT_TRUE(MakeAnswersFileName(c.path, out, sizeof out)) << c.path;
        EXPECT_STREQ(out, c.fileName) << c.path;
    }
}

TEST(AnswersFileName, RefusesWhatDoesNotFit) {
    // 257 characters and a one-letter extension: "x....x.e" grows to 259, fits;
    // one more character of name does not.
    std::string fits(255, 'x');
    fits += ".e";
    char out[ANSWERS_NAME_SIZE];
    ASSERT_TRUE(MakeAnswersFileName(fits.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out).size(), 259u);

    std::string tooLong(256, 'x');
    tooLong += ".e";
    out[0] = 'z';
    EXPECT_FALSE(MakeAnswersFileName(tooLong.c_str(), out, sizeof out));
    EXPECT_STREQ(out, "");

    std::string noDot(257, 'x');  // 257 + ".txt" = 261
    EXPECT_FALSE(MakeAnswersFileName(noDot.c_str(), out, sizeof out));
    EXPECT_FALSE(MakeAnswersFileName(nullptr, out, sizeof out));
}

std::vector<std::string> ReadLines(const std::string& file, int fields, int bufferSize = 260) {
    AnswerLineReader reader(reinterpret_cast<const unsigned char*>(file.data()), file.size());
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    for (int i = 0; i < fields; ++i) {
        const int copied = reader.ReadLine(buffer.data(), bufferSize);
        EXPECT_LE(reader.Position(), file.size());
        EXPECT_EQ(static_cast<size_t>(copied), std::string(buffer.data()).size());
        lines.push_back(buffer.data());
    }
    return lines;
}

TEST(AnswerLineReader, RestoresEachLineAndNeverPassesTheEnd) {
    const std::string line200(200, 'A');
    const std::string line259(259, 'B');
    const std::string line300 = std::string(259, 'C') + "DEFG";
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"crlf lines", "PARIS\r\n\r\nLyon\r\n", {"PARIS", "", "Lyon", ""}},
        {"200 characters", line200 + "\r\nx\r\n", {line200, "x", "", ""}},
        {"259 characters", line259 + "\r\ny\r\n", {line259, "y", "", ""}},
        {"longer line cut, rest skipped",
         line300 + "\r\nz\r\n",
         {std::string(259, 'C'), "z", "", ""}},
        {"accented bytes", "\xE9l\xE8ve\r\nc\xE6ur\r\n", {"\xE9l\xE8ve", "c\xE6ur", "", ""}},
        {"no final crlf", "un\r\ndeux", {"un", "deux", "", ""}},
        {"lf only", "un\ndeux\ntrois\n", {"un", "deux", "trois", ""}},
        {"empty file", "", {"", "", "", ""}},
        {"ends in cr", "un\r", {"un", "", "", ""}},
        {"cr inside a line", "ab\rcd\r\nef\r\n", {"ab", "ef", "", ""}},
        {"more lines than fields", "1\r\n2\r\n3\r\n4\r\n5\r\n", {"1", "2", "3", "4"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadLines(c.file, 4), c.expected) << c.name;
    }
}

TEST(AnswerLineReader, SmallBufferAndMissingData) {
    EXPECT_EQ(ReadLines("abcdef\r\ngh\r\n", 2, 4), (std::vector<std::string>{"abc", "gh"}));
    AnswerLineReader none(nullptr, 100);
    char out[8] = "x";
    EXPECT_EQ(none.ReadLine(out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(none.Position(), 0u);
}

}  // namespace
