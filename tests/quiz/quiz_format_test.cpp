#include "quiz/quiz_format.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "quiz/quiz_writer.h"
#include "shell/report.h"
#include "tests/quiz/quiz_expect.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kKey = "Ombres sur la rivi\xE8re";
const std::string kHeader = "T|A|E|L1|L2|";

const uint8_t* U(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}
Bytes Lzw(const std::string& s) {
    Bytes block;
    EXPECT_EQ(LzwCompress(U(s), s.size(), block), LZW_COMPRESS_OK);
    return block;
}
void Decipher(Bytes& b) {
    DecipherResource(b.data(), b.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
}

std::string Decoded(const uint8_t* block, size_t size) {
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    const int result = LzwDecompress(block, static_cast<uint32_t>(size), &buffer, &length);
    LzwOutput owner(buffer);
    return result == LZW_OK ? std::string(reinterpret_cast<char*>(buffer), length - 2) : "?";
}

TEST(QuizSettings, BlockIsSeventyBytesAndHoldsOurTexts) {
    EXPECT_EQ(sizeof g_settingsBlock, 70u);
    const std::string text = Decoded(g_settingsBlock, sizeof g_settingsBlock);
    ASSERT_NE(text, "?");
    QuizRecord quiz;
    ParseSettings(U(text), text.size(), quiz);
    EXPECT_EQ(text, "BR" + std::string(quiz.linkAddress) + "|" + quiz.creditLine);
}

TEST(QuizSettings, FieldsAreCutAtTheirSizes) {
    const struct {
        std::string text;
        std::string link;
        std::string credit;
    } rows[] = {
        {"BRlink|credit", "link", "credit"},
        {"BRlink|credit|ignored", "link", "credit"},
        {"BR" + std::string(30, 'l') + "|" + std::string(50, 'c') + "|x", std::string(24, 'l'),
         std::string(42, 'c')},
        {"BRlink", "link", ""},
        {"B", "", ""},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        QuizRecord quiz;
        CopyText(quiz.creditLine, QUIZ_CREDIT_SIZE, "old");
        ParseSettings(U(row.text), row.text.size(), quiz);
        EXPECT_EQ(quiz.linkAddress, row.link) << row.text;
        EXPECT_EQ(quiz.creditLine, row.credit) << row.text;
    }
}

TEST(DecipherResource, KeyFromByteOneRestartingPerCall) {
    const struct {
        const char* name;
        size_t size;
        std::string expected;  // of all-zero input
    } rows[] = {
        {"22 bytes use the key once", 22, std::string(1, '\0') + kKey},
        {"23 bytes start it again", 23, std::string(1, '\0') + kKey + "O"},
        {"1 byte untouched", 1, std::string(1, '\0')},
    };
    for (const auto& row : rows) {
        for (int call = 0; call < 2; ++call) {  // a second resource starts from 'O' again
            Bytes data(row.size, 0);
            Decipher(data);
            EXPECT_EQ(std::string(data.begin(), data.end()), row.expected) << row.name;
        }
    }
    // Byte 0 keeps its value; an empty block is left alone (no wrap of size - 1).
    Bytes one = {0x41, 0x00};
    DecipherResource(one.data(), 0, QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
    EXPECT_EQ(one, (Bytes{0x41, 0x00}));
    DecipherResource(one.data(), 2, QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
    EXPECT_EQ(one, (Bytes{0x41, 'O'}));
}

TEST(QuizContent, Layouts) {
    const std::string t300(300, 'x');
    const std::string t259(259, 'x');
    std::string many =
        "B\x02"
        "d\x01" +
        kHeader;  // 100 questions, mode 2
    std::string manyExpected = "m1 a1 d2 c030201 96:T/L2";
    for (int i = 0; i < 100; ++i) many += "a" + std::to_string(i) + "|p" + std::to_string(i) + "|";
    many += "\x02";
    for (int i = 0; i < 100; ++i) many += "x" + std::to_string(i) + "|";
    many += "\x01\x02\x03";
    for (int i = 0; i < 96; ++i) {
        const std::string n = std::to_string(i);
        manyExpected += " [a" + n + ",,p" + n + ",x" + n + "]";
    }
    const struct {
        const char* name;
        std::string data;
        std::string expected;
    } rows[] = {
        {"text, one answer, mode 0",
         std::string("B\x01\x02\x01", 4) + kHeader + "a1|p1|a2|p2|" +
             std::string("\0\x33\x66\xFF", 4),
         "m0 a1 d0 cFF6633 2:T/L2 [a1,,p1,] [a2,,p2,]"},
        {"video, two answers, mode 2", "B\x04\x01\x02" + kHeader + "a|b|p|\x02x|\x01\x02\x03",
         "m3 a2 d2 c030201 1:T/L2 [a,b,p,x]"},
        {"mode 1: one extra field", "B\x02\x01\x01" + kHeader + "a|p|\x01x|\x01\x02\x03",
         "m1 a1 d1 c030201 1:T/L2 [a,,p,x]"},
        {"mode 4: one extra field", "B\x03\x01\x01" + kHeader + "a|p|\x04x|\x01\x02\x03",
         "m2 a1 d4 c030201 1:T/L2 [a,,p,x]"},
        {"mode 3 keeps the first of two",
         "B\x02\x02\x01" + kHeader + "a|p|c|q|\x03x1|y1|x2|y2|\x10\x20\x30",
         "m1 a1 d3 c302010 2:T/L2 [a,,p,x1] [c,,q,x2]"},
        {"mode 6 keeps the first of two",
         "B\x02\x02\x01" + kHeader + "a|p|c|q|\x06x1|y1|x2|y2|\x10\x20\x30",
         "m1 a1 d6 c302010 2:T/L2 [a,,p,x1] [c,,q,x2]"},
        {"mode 5: no extra field", "B\x02\x01\x01" + kHeader + "a|p|\x05\x33\x66\xFF",
         "m1 a1 d5 cFF6633 1:T/L2 [a,,p,]"},
        {"ends early", "B\x02\x03\x01" + kHeader + "a1|p1|a2",
         "m1 a1 d0 c000000 3:T/L2 [a1,,p1,] [a2,,,] [,,,]"},
        {"header beyond the data", "B\x02", "m1 a1 d0 c000000 0:/"},
        {"answers byte 3 counts as one", "B\x01\x01\x03" + kHeader + "a|p|\x02x|\x01\x02\x03",
         "m0 a1 d2 c030201 1:T/L2 [a,,p,x]"},
        {"mode above 6: nothing read, kept as 0",
         "B\x01\x01\x01" + kHeader + "a|p|\x09\x01\x02\x03", "m0 a1 d0 c030201 1:T/L2 [a,,p,]"},
        {"media byte 0 is text", std::string("B\0\x01\x01", 4) + kHeader + "a|p|\x02x|\x01\x02\x03",
         "m0 a1 d2 c030201 1:T/L2 [a,,p,x]"},
        {"media byte 9 is text", "B\x09\x01\x01" + kHeader + "a|p|\x02x|\x01\x02\x03",
         "m0 a1 d2 c030201 1:T/L2 [a,,p,x]"},
        {"a zero byte ends a field",
         "B\x02\x01\x01" + kHeader + std::string("a\0b|p|\x05\x01\x02\x03", 11),
         "m1 a1 d0 c01057C 1:T/L2 [a,,b,]"},
        {"texts cut at 259, the rest skipped",
         "B\x02\x01\x02" + t300 + "|A|E|L1|" + t300 + "|" + t300 + "|b|" + t300 + "|\x02" + t300 +
             "|\x01\x02\x03",
         "m1 a2 d2 c030201 1:" + t259 + "/" + t259 + " [" + t259 + ",b," + t259 + "," + t259 + "]"},
        {"over 96 questions: 96 kept, the rest read and dropped", many, manyExpected},
    };
    for (const auto& row : rows) {
        QuizRecord quiz;
        ParseContent(U(row.data), row.data.size(), quiz);
        EXPECT_EQ(Summary(quiz), row.expected) << row.name;
    }
}

TEST(QuizContent, Plausibility) {
    const struct {
        std::string data;
        bool plausible;
    } rows[] = {
        {"B\x01\x01\x01" + kHeader + "a|p|\x06\x01\x02\x03", true},
        {"B\x04\x01\x02" + kHeader + "a|b|p|\x00\x01\x02\x03", true},
        {"B\x05\x01\x01" + kHeader + "a|p|\x00\x01\x02\x03", false},
        {std::string("B\0\x01\x01", 4) + kHeader + "a|p|\x00\x01\x02\x03", false},
        {"B\x01\x01\x03" + kHeader + "a|p|\x00\x01\x02\x03", false},
        {"B\x01\x01\x01" + kHeader + "a|p|\x07\x01\x02\x03", false},
        {"B\x01", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ContentIsPlausible(U(row.data), row.data.size()), row.plausible) << row.data;
}

TEST(QuizCodes, OneLinePerQuestion) {
    const std::string longCode(300, 'c');
    const struct {
        const char* name;
        int questionCount;
        std::string data;
        std::vector<std::string> codes;
    } rows[] = {
        {"two lines", 2, "AB\r\nCD\r\n", {"AB", "CD"}},
        {"last line without CR LF", 2, "AB\r\nCD", {"AB", "CD"}},
        {"fewer lines than questions", 3, "AB\r\n", {"AB", "", ""}},
        {"a lone CR at the end", 2, "\r", {"", ""}},
        {"code cut at 259", 2, longCode + "\r\nZ\r\n", {std::string(259, 'c'), "Z"}},
        {"no questions reads nothing", 0, "AB\r\n", {}},
        {"a count past 96 stops at 96", 100, "x\r\n", {"x"}},
    };
    for (const auto& row : rows) {
        QuizRecord quiz;
        for (auto& code : quiz.codes) CopyText(code, QUIZ_TEXT_SIZE, "untouched");
        quiz.questionCount = row.questionCount;
        ParseCodes(U(row.data), row.data.size(), quiz);
        for (size_t i = 0; i < row.codes.size(); ++i)
            EXPECT_EQ(quiz.codes[i], row.codes[i]) << row.name;
        const int written = std::min(row.questionCount, QUIZ_MAX_QUESTIONS);
        for (int i = std::max(written, 0); i < QUIZ_MAX_QUESTIONS; ++i)
            EXPECT_STREQ(quiz.codes[i], i < written ? "" : "untouched") << row.name;
    }
}

// ---------------------------------------------------------------------------
// The whole load

std::vector<std::string> g_messages;
void Record(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
}

QuizSource SmallQuiz() {
    QuizSource q;
    q.mediaKind = 1, q.answersPerQuestion = 2, q.displayMode = 3;
    q.title = "Les ch\xE2teaux", q.author = "Mme Lef\xE8vre", q.explanations = "Trouvez";
    q.answerLabel1 = "Nom", q.answerLabel2 = "R\xE9gion";
    q.questions = {{"Chambord", "Centre", "p1", "Fran\xE7ois Ier", "cach\xE9"},
                   {"Chenonceau", "Centre", "p2", "Les dames", "cach\xE9"}};
    q.codes = {"UN", "DEUX"};
    q.colorRed = 51, q.colorGreen = 102, q.colorBlue = 255;
    return q;
}

WrittenQuiz Write(const QuizSource& source, bool encipher) {
    WrittenQuiz written;
    std::string error;
    EXPECT_TRUE(WriteQuiz(source, encipher, written, error)) << error;
    return written;
}

// As the recorder writes them: caption|text|style.
const std::string kError =
    "Brelo|Erreur dans le d\xE9"
    "cryptage";
const std::string kCodesMessage = kError + " des codes|0";
const std::string kSample =
    "m1 a2 d3 cFF6633 7:Nom du brelo/TEST [TEST,TEST,emplacement,] [TEST,TEST,emplacement,]";
const std::string kNothing = "m0 a1 d0 c965F5A 0:Nom du brelo/";

TEST(LoadQuizBlocks, EndStatesAndMessages) {
    const QuizSource source = SmallQuiz();
    const WrittenQuiz plain = Write(source, false);
    const WrittenQuiz enciphered = Write(source, true);
    const Bytes badSettings = {0xFF};
    const std::string missing = "Brelo|Ombres sur la rivi\xE8re|0";
    const std::string content = kError + " des reponses|0", settings = kError + "|0";

    // An empty summary: the record gives back the source (codes only when loaded).
    const struct {
        const char* name;
        Bytes content, codes;
        const Bytes* settings;
        QuizLoadState state;
        std::string summary;
        std::vector<std::string> messages;
    } rows[] = {
        // clang-format off
        {"plain", plain.content, plain.codes, nullptr, QUIZ_LOADED, "", {}},
        {"enciphered", enciphered.content, enciphered.codes, nullptr, QUIZ_LOADED, "", {}},
        {"content missing", {}, plain.codes, nullptr, QUIZ_SAMPLE, kSample, {missing}},
        {"codes missing", plain.content, {}, nullptr, QUIZ_LOADED_WITHOUT_CODES, "", {kCodesMessage}},
        {"plain content, enciphered codes are not deciphered", plain.content, enciphered.codes,
         nullptr, QUIZ_LOADED_WITHOUT_CODES, "", {kCodesMessage}},
        {"enciphered content, codes missing", enciphered.content, {}, nullptr,
         QUIZ_LOADED_WITHOUT_CODES, "", {kCodesMessage}},
        {"enciphered content, one-byte codes", enciphered.content, {0x20}, nullptr,
         QUIZ_LOADED_WITHOUT_CODES, "", {kCodesMessage}},
        {"content decodes in neither form", Bytes(40, 0xFF), plain.codes, nullptr, QUIZ_NOT_LOADED,
         kNothing, {content}},
        {"settings fail", plain.content, plain.codes, &badSettings, QUIZ_NOT_LOADED, kNothing,
         {settings}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QuizBlocks blocks;
        if (row.settings != nullptr) {
            blocks.settings = row.settings->data();
            blocks.settingsSize = row.settings->size();
        }
        blocks.content = row.content;
        blocks.codes = row.codes;
        QuizRecord quiz;
        g_messages.clear();
        g_reportMessage = Record;
        EXPECT_EQ(LoadQuizBlocks(quiz, blocks), row.state);
        g_reportMessage = nullptr;
        EXPECT_EQ(g_messages, row.messages);
        EXPECT_STREQ(quiz.linkAddress, row.settings ? "" : "http://brelo.fr");
        if (row.summary.empty())
            ExpectQuizMatches(quiz, source, row.state == QUIZ_LOADED);
        else
            EXPECT_EQ(Summary(quiz), row.summary);
    }
}

// Bytes past the decoded data read as 0 whatever fills the rest of the buffer;
// a stored block with an impossible header that fails deciphered is kept, with
// safe values.
void* DirtyAllocate(size_t size) {
    void* block = std::malloc(size);
    if (block != nullptr) std::memset(block, 0x5A, size);
    return block;
}

TEST(LoadQuizBlocks, StoredContentEdgeCases) {
    const struct {
        std::string content;
        std::string summary;
    } rows[] = {
        {"B\x02\x01", "m1 a1 d0 c000000 1:/ [,,,]"},
        {"B\x02\x01\x01T|A|E|L1|L2|a|p|", "m1 a1 d0 c000000 1:T/L2 [a,,p,]"},
        {"B\x02\x01\x01T|A|E|L1|L2|a|p|\x02x|\x07", "m1 a1 d2 c000007 1:T/L2 [a,,p,x]"},
        {"B\x09\x01\x07" + kHeader + "a|p|\x09\x01\x02\x03", "m0 a1 d0 c030201 1:T/L2 [a,,p,]"},
    };
    for (const auto& row : rows) {
        QuizBlocks blocks;
        blocks.content = Lzw(row.content);
        blocks.codes = Lzw("C\r\n");
        QuizRecord quiz;
        g_lzwAllocate = DirtyAllocate;
        EXPECT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED);
        g_lzwAllocate = std::malloc;
        EXPECT_EQ(Summary(quiz), row.summary);
        EXPECT_STREQ(quiz.codes[0], "C");
    }
}

// Enciphered blocks whose first bytes repeat (all 2) start with codes 2, 259,
// 259, which the key turns into valid codes: with a random title, about one in
// a few hundred also decodes as stored, into nonsense. The loader sees through it.
TEST(LoadQuizBlocks, EncipheredBlockThatAlsoDecodesAsStored) {
    Bytes codes = Lzw("UN\r\nDEUX\r\n");
    Decipher(codes);
    std::mt19937 random(1);
    int found = 0;
    for (int i = 0; i < 20000 && found < 3; ++i) {
        std::string title;
        for (int k = 0; k < 8; ++k) {
            const char c = static_cast<char>(1 + random() % 255);
            title += c == '|' ? 'x' : c;
        }
        Bytes content = Lzw("\x02\x02\x02\x02\x02" + title +
                            "|A|E|L1|L2|a1|b1|p1|a2|b2|p2|\x02x1|x2|\x33\x66\xFF");
        Decipher(content);
        if (Decoded(content.data(), content.size()) == "?") continue;
        ++found;
        QuizBlocks blocks;
        blocks.content = content;
        blocks.codes = codes;
        QuizRecord quiz;
        ASSERT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED) << title;
        EXPECT_EQ(Summary(quiz),
                  "m1 a2 d2 cFF6633 2:\x02" + title + "/L2 [a1,b1,p1,x1] [a2,b2,p2,x2]");
        EXPECT_STREQ(quiz.codes[1], "DEUX");
    }
    EXPECT_EQ(found, 3);
}

}  // namespace
