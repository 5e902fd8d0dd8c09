#include "authoring/quiz_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "authoring/csv_import.h"
#include "tests/authoring/pe_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const fs::path kDemo = fs::u8path(BRELO_SOURCE_DIR "/resources/demo/demo.json");

struct CsvRow {
    const char* bytes;
    char separator;
    bool header;
    std::vector<std::string> questions;  // prompt|answer1|answer2|extraText|picture
    std::vector<std::string> problems;
};

TEST(QuizDocument, ImportsSpreadsheetTables) {
    const CsvRow rows[] = {
        {"Capitale de la France ?;Paris\r\nCapitale du P\xC3\xA9rou ?;Lima\r\n", ';', false,
         {"Capitale de la France ?|Paris|||", "Capitale du P\xC3\xA9rou ?|Lima|||"}, {}},
        {"\xEF\xBB\xBFQuestion,R\xC3\xA9ponse\n\"Un, deux\",trois\n", ',', true,
         {"Un, deux|trois|||"}, {}},
        {"Question\tR\xE9ponse\nCl\xE9\tcl\xE9\t\tvoir \"ici\"\tcle.png\n", '\t', true,
         {"Cl\xC3\xA9|cl\xC3\xA9||voir \"ici\"|cle.png"}, {}},
        {"\"Deux\nlignes\";\"dit \"\"oui\"\"\"\n;\n\nseul\na;b;c;d;e;f\nx;y\n", ';', false,
         {"Deux\nlignes|dit \"oui\"|||", "x|y|||"},
         {"ligne 5 : 1 colonne, il en faut de 2 \xC3\xA0 5",
          "ligne 6 : 6 colonnes, il en faut de 2 \xC3\xA0 5"}},
        {"a;b\n\"ouvert;c\n", ';', false, {"a|b|||"}, {"ligne 2 : guillemet jamais ferm\xC3\xA9"}},
    };
    for (const CsvRow& row : rows) {
        const CsvImport import = ImportCsv(row.bytes);
        std::vector<std::string> questions;
        for (const DocumentQuestion& q : import.questions) {
            questions.push_back(q.prompt + "|" + q.answer1 + "|" + q.answer2 + "|" + q.extraText +
                                "|" + q.picture);
        }
        EXPECT_EQ(import.separator, row.separator) << row.bytes;
        EXPECT_EQ(import.header, row.header) << row.bytes;
        EXPECT_EQ(questions, row.questions) << row.bytes;
        EXPECT_EQ(import.problems, row.problems) << row.bytes;
    }
}

TEST(QuizDocument, EditsQuestionsAndChecksLikeTheCommand) {
    QuizDocument doc = NewDocument();
    doc.questions[0].prompt = "a";
    EXPECT_EQ(AddQuestion(doc, 9), 1u);
    doc.questions[1].prompt = "b";
    EXPECT_EQ(AddQuestion(doc, 0), 0u);
    doc.questions[0].prompt = "c";
    EXPECT_TRUE(MoveQuestion(doc, 2, -1));
    EXPECT_FALSE(MoveQuestion(doc, 2, 1));
    EXPECT_FALSE(MoveQuestion(doc, 0, -1));
    EXPECT_TRUE(DeleteQuestion(doc, 0));
    EXPECT_FALSE(DeleteQuestion(doc, 2));
    ASSERT_EQ(doc.questions.size(), 2u);
    EXPECT_EQ(doc.questions[0].prompt + doc.questions[1].prompt, "ba");

    // A new quiz lacks its title and answers; a character the player cannot
    // show is named in the field that holds it.
    *QuestionTextField(doc.questions[1], "answer1") = "ok";
    *QuizTextField(doc, "author") = "\xC5\x91";
    std::vector<std::string> texts;
    std::vector<std::string> fields;
    for (const DocumentProblem& p : CheckDocument(doc)) {
        texts.push_back(p.text);
        fields.push_back(std::to_string(p.field.question) + p.field.key);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "title: must not be empty",
                         "author: character '\xC5\x91' (U+0151) has no Windows-1252 form",
                         "questions[0].answer1: must not be empty"}));
    EXPECT_EQ(fields, (std::vector<std::string>{"-1title", "-1author", "0answer1"}));
    EXPECT_EQ(ParseFieldName("codes[2]").index, 2);
}

TEST(QuizDocument, RoundTripsJsonAndPrograms) {
    const std::string json = Read(kDemo);
    QuizDocument doc;
    ASSERT_TRUE(DocumentFromJson(json, kDemo.parent_path().u8string(), doc));
    EXPECT_EQ(DocumentJsonText(doc), json);
    QuizDocument damaged;
    EXPECT_FALSE(DocumentFromJson("[1, 2", "", damaged));

    // Program -> document -> program carries the same quiz blocks.
    std::vector<QuizResource> quiz, again;
    const auto problems = CheckDocument(doc, &quiz);
    ASSERT_TRUE(problems.empty()) << problems[0].text;
    std::vector<uint8_t> program;
    std::string error;
    ASSERT_TRUE(PlayerImageWithQuiz(MakeFixtureImage({}), quiz, program, error)) << error;
    const fs::path dir = fs::temp_directory_path() /
                         ("brelo-document-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::ofstream((dir / "q.exe").string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(program.data()),
               static_cast<std::streamsize>(program.size()));
    QuizDocument opened;
    std::vector<std::string> notes;
    ASSERT_TRUE(OpenDocument((dir / "q.exe").u8string(), (dir / "media").u8string(), opened, notes,
                             error))
        << error;
    ASSERT_TRUE(CheckDocument(opened, &again).empty());
    ASSERT_EQ(again.size(), quiz.size());
    for (size_t i = 0; i < quiz.size(); ++i) EXPECT_EQ(again[i].bytes, quiz[i].bytes) << i;

    // Saved elsewhere, the media come along; a name taken by another file is
    // not overwritten.
    fs::create_directories(dir / "saved");
    std::ofstream((dir / "saved" / "picture01.jpg").string()) << "someone else's";
    ASSERT_TRUE(SaveDocument(opened, (dir / "saved" / "quiz.json").u8string(), error)) << error;
    EXPECT_EQ(Read(dir / "saved" / "picture01.jpg"), "someone else's");
    QuizDocument reopened;
    ASSERT_TRUE(
        OpenDocument((dir / "saved" / "quiz.json").u8string(), "", reopened, notes, error));
    EXPECT_EQ(reopened.questions[0].picture, "picture01-2.jpg");
    EXPECT_EQ(reopened.questions[1].picture, "picture02.png");
    EXPECT_TRUE(notes.empty());
    ASSERT_TRUE(CheckDocument(reopened, &again).empty());
    for (size_t i = 0; i < quiz.size(); ++i) EXPECT_EQ(again[i].bytes, quiz[i].bytes) << i;
    fs::remove_all(dir);
}

}  // namespace
