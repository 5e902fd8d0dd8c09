#include "authoring/quiz_document.h"

#include <gtest/gtest.h>

#include "authoring/csv_import.h"
#include "authoring/file_output.h"
#include "tests/authoring/fixture.h"

namespace {

const std::string kDemo = BRELO_SOURCE_DIR "/resources/demo/demo.json";

struct CsvRow {
    const char* bytes;
    char separator;
    bool header;
    std::vector<std::string> questions;  // prompt|answer1|answer2|extraText|picture
    std::vector<std::string> problems;
};

TEST(QuizDocument, ImportsSpreadsheetTables) {
    const CsvRow rows[] = {
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

TEST(QuizDocument, AddsMovesAndDeletesQuestionsWithinTheList) {
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
}

TEST(QuizDocument, RoundTripsJsonAndPrograms) {
    const std::string json = ReadAll(kDemo);
    QuizDocument doc;
    ASSERT_TRUE(DocumentFromJson(json, BRELO_SOURCE_DIR "/resources/demo", doc));
    EXPECT_EQ(DocumentJsonText(doc), json);
    QuizDocument damaged;
    EXPECT_FALSE(DocumentFromJson("[1, 2", "", damaged));

    // Program -> document -> JSON elsewhere -> document carries the same quiz blocks; the
    // media come along, but a name taken by another file there is not overwritten.
    std::vector<QuizResource> quiz, again;
    std::vector<uint8_t> program;
    std::string error;
    ASSERT_TRUE(CheckDocument(doc, &quiz).empty());
    ASSERT_TRUE(PlayerImageWithQuiz(MakeFixtureImage({}), quiz, program, error)) << error;
    Scratch dir("document", {{"saved/picture01.jpg", "someone else's"}});
    QuizDocument opened, reopened;
    std::vector<std::string> notes;
    ASSERT_TRUE(WriteFileAtomically(dir.Path("q.exe"), program, error) &&
                OpenDocument(dir.Path("q.exe"), dir.Path("media"), opened, notes, error) &&
                SaveDocument(opened, dir.Path("saved/quiz.json"), error) &&
                OpenDocument(dir.Path("saved/quiz.json"), "", reopened, notes, error))
        << error;
    EXPECT_EQ(ReadAll(dir.Path("saved/picture01.jpg")), "someone else's");
    EXPECT_EQ(reopened.questions[0].picture, "picture01-2.jpg");
    EXPECT_EQ(reopened.questions[1].picture, "picture02.png");
    EXPECT_TRUE(notes.empty());
    ASSERT_TRUE(CheckDocument(reopened, &again).empty());
    ASSERT_EQ(again.size(), quiz.size());
    for (size_t i = 0; i < quiz.size(); ++i) EXPECT_EQ(again[i].bytes, quiz[i].bytes) << i;
}

}  // namespace
