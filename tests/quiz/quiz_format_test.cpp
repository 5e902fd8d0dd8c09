#include "quiz/quiz_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/quiz/quiz_expect.h"

namespace {

const std::string kHeader = "T|A|E|L1|L2|";  // as stored
const std::string kH = "T/A/E/L1/L2";        // as summarised
const std::string kNothing = "m0 a1 d0 c965F5A 0:Nom du brelo/Createur brelo///";

const uint8_t* U(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}
Bytes Lzw(const std::string& s) {
    Bytes block;
    EXPECT_EQ(LzwCompress(U(s), s.size(), block), LZW_COMPRESS_OK);
    return block;
}
Bytes Enciphered(Bytes b) {
    DecipherResource(b.data(), b.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
    return b;
}

// Two questions with two answers each, judged as older players judge: no judging block.
QuizSource TwoQuestions() {
    QuizSource source;
    source.answersPerQuestion = 2;
    source.questions.assign(2, {"a", "b", "p", "x", "y", {}, {}});
    return source;
}

// The loader cuts what it reads itself: only this test feeds AddQuestion texts over 259.
TEST(QuizRecord, AddQuestionCutsTextsAt259) {
    QuizRecord quiz;
    const std::string longText(400, 'x');
    const QuestionNode* node =
        quiz.AddQuestion(longText.c_str(), longText.c_str(), longText.c_str());
    EXPECT_EQ(std::string(node->answer1) + node->answer2 + node->prompt, std::string(3 * 259, 'x'));
}

// Stored quizzes rely on the key running from byte 1 and starting again with every resource.
TEST(DecipherResource, KeyFromByteOneRestartingPerCall) {
    for (int call = 0; call < 2; ++call) {
        Bytes data(23, 0);
        DecipherResource(data.data(), data.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
        EXPECT_EQ(std::string(data.begin(), data.end()),
                  std::string("\0Ombres sur la rivi\xE8reO", 23));
    }
}

// Stored content through the whole load, the decoder's buffer filled with 0x5A: bytes past the data
// read as 0; an implausible block is kept with safe values. The fuzz target checks the cuts.
TEST(QuizContent, LayoutsAndPlausibility) {
    const std::string rgb = "\x01\x02\x03";
    const struct {
        const char* name;
        bool plausible;
        std::string data;
        std::string expected;
    } rows[] = {
        // clang-format off
        {"text, one answer, mode 0", true,
         std::string("B\x01\x02\x01", 4) + kHeader + std::string("a1|p1|a2|p2|\0\x33\x66\xFF", 16),
         "m0 a1 d0 cFF6633 2:" + kH + " [a1,,p1,] [a2,,p2,]"},
        {"video, two answers, mode 2", true, "B\x04\x01\x02" + kHeader + "a|b|p|\x02x|" + rgb,
         "m3 a2 d2 c030201 1:" + kH + " [a,b,p,x]"},
        {"mode 3 keeps the first of two", true,
         "B\x02\x02\x01" + kHeader + "a|p|c|q|\x03x1|y1|x2|y2|" + rgb,
         "m1 a1 d3 c030201 2:" + kH + " [a,,p,x1] [c,,q,x2]"},
        {"ends early", true, "B\x02\x03\x01" + kHeader + "a1|p1|a2",
         "m1 a1 d0 c000000 3:" + kH + " [a1,,p1,] [a2,,,] [,,,]"},
        {"answers byte 3 counts as one", false, "B\x01\x01\x03" + kHeader + "a|p|\x02x|" + rgb,
         "m0 a1 d2 c030201 1:" + kH + " [a,,p,x]"},
        {"mode 7: nothing read, kept as 0", false, "B\x01\x01\x01" + kHeader + "a|p|\x07" + rgb,
         "m0 a1 d0 c030201 1:" + kH + " [a,,p,]"},
        {"media byte 5 is text", false, "B\x05\x01\x01" + kHeader + "a|p|\x02x|" + rgb,
         "m0 a1 d2 c030201 1:" + kH + " [a,,p,x]"},
        // clang-format on
    };
    g_lzwAllocate = [](size_t size) {
        void* block = std::malloc(size);
        if (block != nullptr) std::memset(block, 0x5A, size);
        return block;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ContentIsPlausible(U(row.data), row.data.size()), row.plausible);
        QuizBlocks blocks;
        blocks.content = Lzw(row.data);
        QuizRecord quiz;
        RecordMessages recorder;  // no codes
        EXPECT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED_WITHOUT_CODES);
        EXPECT_EQ(Summary(quiz), row.expected);
    }
    g_lzwAllocate = std::malloc;
}

// The end states and their messages, code lines as other writers stored them, the settings cut.
TEST(LoadQuizBlocks, EndStatesAndMessages) {
    QuizSource source = TwoQuestions();
    source.codes = {"UN", "DEUX"};
    WrittenQuiz plain, enciphered;
    std::string error;
    ASSERT_TRUE(WriteQuiz(source, false, plain, error) &&
                WriteQuiz(source, true, enciphered, error));
    const struct {
        const char* name;
        Bytes content, codes;
        QuizLoadState state;
        std::string message;  // empty: none
        Texts codesRead = {"UN", "DEUX"};
        Bytes settings = {};  // empty: the product's own
        std::string linkAndCredit = "http://brelo.fr/Fait avec Brelo";
    } rows[] = {
        // clang-format off
        {"content missing", {}, plain.codes, QUIZ_SAMPLE, kMissingContent},
        {"codes missing", plain.content, {}, QUIZ_LOADED_WITHOUT_CODES, kCodesError, {}},
        {"content decodes in neither form", Bytes(40, 0xFF), plain.codes, QUIZ_NOT_LOADED,
         kContentError},
        {"last code line without CR LF", plain.content, Lzw("AB\r\nCD"), QUIZ_LOADED, "",
         {"AB", "CD"}},
        {"fewer code lines than questions", plain.content, Lzw("AB\r\n"), QUIZ_LOADED, "", {"AB"}},
        {"code cut at 259", plain.content, Lzw(std::string(300, 'c') + "\r\nZ\r\n"), QUIZ_LOADED,
         "", {std::string(259, 'c'), "Z"}},
        {"settings fail", plain.content, plain.codes, QUIZ_NOT_LOADED, kError + "|0", {}, {0xFF},
         "/"},
        // A link and a credit line too long for their one-line controls are cut.
        {"long settings", enciphered.content, enciphered.codes, QUIZ_LOADED, "", {"UN", "DEUX"},
         Lzw("BR" + std::string(30, 'l') + "|" + std::string(50, 'c') + "|x"),
         std::string(24, 'l') + "/" + std::string(42, 'c')},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QuizBlocks blocks;
        if (!row.settings.empty())
            blocks.settings = row.settings.data(), blocks.settingsSize = row.settings.size();
        blocks.content = row.content;
        blocks.codes = row.codes;
        QuizRecord quiz;
        RecordMessages recorder;
        EXPECT_EQ(LoadQuizBlocks(quiz, blocks), row.state);
        EXPECT_EQ(g_messages, Texts(!row.message.empty(), row.message));
        EXPECT_EQ(std::string(quiz.linkAddress) + "/" + quiz.creditLine, row.linkAndCredit);
        QuizSource expected = source;
        expected.codes = row.codesRead;
        EXPECT_EQ(Summary(quiz), row.state == QUIZ_SAMPLE       ? kSampleQuiz
                                 : row.state == QUIZ_NOT_LOADED ? kNothing
                                                                : Summary(expected));
    }
}

std::string Record(char kind, const std::string& payload) {
    return std::string{kind, static_cast<char>(payload.size() & 0xFF),
                       static_cast<char>(payload.size() >> 8)} +
           payload;
}

// The judging block is read whole, or refused whole with a message while the quiz plays on. The
// fuzz target finds records that run past the block within its first few thousand inputs.
TEST(LoadQuizBlocks, JudgingBlockReadWholeOrRefusedWhole) {
    const QuizSource source = TwoQuestions();
    WrittenQuiz plain;
    std::string error;
    ASSERT_TRUE(WriteQuiz(source, false, plain, error));
    const std::string good = Record(1, "\x01") + Record(2, "\x02\x01WIEN|VINDOBONA|"),
                      a8 = "A|A|A|A|A|A|A|A|";
    const struct {
        const char* name;
        std::string block;  // decoded, after "J" and the version
        std::string forms;  // what the quiz gains; empty with a message when refused
        Bytes raw = {};     // stored as it is instead
    } rows[] = {
        // clang-format off
        {"options and forms", "\x01" + good, " 2.1=WIEN;VINDOBONA accents"},
        {"unknown kinds and option bits skipped",
         "\x01" + Record(9, "xyz") + Record(1, "\xFE\x05") + Record(2, "\x01\x02" + a8.substr(2)),
         " 1.2=A;A;A;A;A;A;A"},
        {"a newer version is ignored silently", "\x02" + good + "?", " none"},
        {"version 0", std::string(1, '\0') + good, ""},
        {"question 0", "\x01" + Record(2, std::string("\0\x01" "A|", 4)), ""},
        {"question past the count", "\x01" + Record(2, "\x03\x01" "A|"), ""},
        {"answer 3", "\x01" + Record(2, "\x01\x03" "A|"), ""},
        {"empty options", "\x01" + Record(1, ""), ""},
        {"no form", "\x01" + Record(2, "\x01\x01"), ""},
        {"eight other forms", "\x01" + Record(2, "\x01\x01" + a8), ""},
        {"an empty form", "\x01" + Record(2, "\x01\x01" "A||"), ""},
        {"a form of 260", "\x01" + Record(2, "\x01\x01" + std::string(260, 'f') + "|"), ""},
        {"a form not ended", "\x01" + Record(2, "\x01\x01" "A|B"), ""},
        {"a zero byte in a form", "\x01" + Record(2, std::string("\x01\x01" "A\0|", 5)), ""},
        {"not a block at all", "", "", Bytes(30, 0xFF)},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QuizBlocks blocks;
        blocks.content = plain.content;
        blocks.codes = plain.codes;
        blocks.judging = row.raw.empty() ? Lzw("J" + row.block) : row.raw;
        QuizRecord record;
        RecordMessages recorder;
        EXPECT_EQ(LoadQuizBlocks(record, blocks), QUIZ_LOADED);
        const bool refused = row.forms.empty();
        EXPECT_EQ(g_messages, std::vector<std::string>(refused, kJudgingError));
        EXPECT_EQ(Summary(record), Summary(source) + (row.forms == " none" ? "" : row.forms));
    }
}

// Some enciphered blocks also decode as stored, into nonsense: the loader sees through it.
TEST(LoadQuizBlocks, EncipheredBlockThatAlsoDecodesAsStored) {
    const Bytes codes = Enciphered(Lzw("UN\r\nDEUX\r\n"));
    std::mt19937 random(1);
    int found = 0;
    for (int i = 0; i < 20000 && found < 3; ++i) {
        std::string title(8, ' ');
        for (char& c : title) c = static_cast<char>(1 + random() % 123);  // never '|'
        QuizBlocks blocks;
        blocks.codes = codes;
        blocks.content = Enciphered(Lzw("\x02\x02\x02\x02\x02" + title +
                                        "|A|E|L1|L2|a1|b1|p1|a2|b2|p2|\x02x1|x2|\x33\x66\xFF"));
        if (Decode(blocks.content).result != LZW_OK) continue;
        ++found;
        QuizRecord quiz;
        ASSERT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED) << title;
        EXPECT_EQ(Summary(quiz), "m1 a2 d2 cFF6633 2:\x02" + title +
                                     "/A/E/L1/L2 [a1,b1,p1,x1] [a2,b2,p2,x2] |UN|DEUX");
    }
    EXPECT_EQ(found, 3);
}

}  // namespace
