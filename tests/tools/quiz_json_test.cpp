#include "tools/quiz_json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Problems(const std::string& json, QuizProject* out = nullptr) {
    QuizProject project;
    std::vector<std::string> problems;
    bool ok = ParseQuizJson(json, "q.json", "/quiz", project, problems);
    EXPECT_EQ(ok, problems.empty()) << json;
    if (out != nullptr) *out = project;
    return problems;
}

TEST(QuizJson, ReadsEveryFieldAndConvertsTheTexts) {
    QuizProject p;
    auto problems = Problems(R"({
      "title": "Les châteaux", "author": "Zoé", "explanations": "Trouvez l'œuvre",
      "answerLabel1": "Nom", "answerLabel2": "Siècle",
      "media": "picture", "displayMode": 3, "answersPerQuestion": 2, "color": "#3366fF",
      "questions": [
        {"answer1": "Chambord", "answer2": "XVIe", "prompt": "p", "extraText": "Loir-et-Cher",
         "extraText2": "hidden", "picture": "img/a.jpg", "answerPicture": "/abs/b.png"}
      ],
      "codes": ["€1"]
    })",
                             &p);
    ASSERT_TRUE(problems.empty()) << problems[0];
    const QuizSource& q = p.quiz;
    EXPECT_EQ(q.title + "|" + q.explanations + "|" + q.answerLabel2 + "|" + q.codes.at(0),
              "Les ch\xE2teaux|Trouvez l'\x9Cuvre|Si\xE8"
              "cle|\x80"
              "1");
    EXPECT_EQ(std::vector<int>({q.mediaKind, q.displayMode, q.answersPerQuestion, q.colorRed,
                                q.colorGreen, q.colorBlue}),
              std::vector<int>({1, 3, 2, 0x33, 0x66, 0xFF}));
    ASSERT_EQ(q.questions.size(), 1u);
    ASSERT_EQ(p.media.size(), 1u);
    EXPECT_EQ(q.questions[0].extraText + "|" + q.questions[0].extraText2 + "|" +
                  p.media[0].picture + "|" + p.media[0].answerPicture,
              "Loir-et-Cher|hidden|/quiz/img/a.jpg|/abs/b.png");
}

struct BadSource {
    const char* json;
    std::vector<std::string> expected;  // every problem, in order
};

TEST(QuizJson, RefusesBadSourcesNamingTheField) {
    const std::string q1 = R"("questions": [{"answer1": "a"}])";
    const std::string tooLong = R"({"title": ")" + std::string(260, 'x') + R"(", )" + q1 + "}";
    const std::string longestOk = R"({"title": ")" + std::string(259, 'x') + R"(", )" + q1 + "}";
    std::string tooMany = R"({"title": "T", "questions": [)";
    for (int i = 0; i < 97; ++i) tooMany += std::string(i ? "," : "") + R"({"answer1": "a"})";
    tooMany += "]}";

    const BadSource rows[] = {
        {"{\"title\": \"T\",\n  \"questions\": [}",
         {"q.json:2:17: syntax error while parsing value - unexpected '}'; expected '[', '{', or "
          "a literal"}},
        {"[1]", {"q.json: (top level): must be an object holding the quiz"}},
        {R"({"questions": [{"answer1": "a"}]})", {"q.json: title: missing"}},
        {R"({"title": "T"})", {"q.json: questions: missing"}},
        {R"({"title": "T", "questions": []})",
         {"q.json: questions: must be a list of at least one question"}},
        {tooMany.c_str(), {"q.json: questions: 97 questions, at most 96"}},
        {tooLong.c_str(), {"q.json: title: 260 characters, at most 259"}},
        {R"({"title": "Ça coûte 5 ₽", "questions": [{"answer1": "a"}]})",
         {"q.json: title: character '₽' (U+20BD) has no Windows-1252 form"}},
        {R"({"title": "a|b", "questions": [{"answer1": "a"}]})",
         {"q.json: title: contains '|', which Brelo uses to separate the stored texts"}},
        {R"({"title": "a\u0000b", "questions": [{"answer1": "a"}]})",
         {"q.json: title: contains the character U+0000, which would end the text"}},
        {R"({"title": 5, "titel": "x", "questions": [{"answer1": "a"}]})",
         {"q.json: titel: unknown field", "q.json: title: must be a string"}},
        {R"({"title": "T", "questions": [{"answer1": "a"}, {"answer1": "b", "prompt": "x", "prompt": "y"}]})",
         {"q.json: questions[1].prompt: given twice; keep one"}},
        {R"({"title": "T", "media": "image", "displayMode": 7, "answersPerQuestion": 3,
             "color": "red", "questions": [{"answer1": "a"}]})",
         {"q.json: media: must be \"text\", \"picture\", \"sound\" or \"video\"",
          "q.json: displayMode: must be a whole number from 0 to 6",
          "q.json: answersPerQuestion: must be 1 or 2",
          "q.json: color: must be \"#RRGGBB\" with hexadecimal digits"}},
        {R"({"title": "T", "questions": [{"answer1": "", "answer2": "b", "promt": "p"}, 3]})",
         {"q.json: questions[0].promt: unknown field",
          "q.json: questions[0].answer1: must not be empty",
          "q.json: questions[0].answer2: given, but answersPerQuestion is 1",
          "q.json: questions[1]: must be an object"}},
        {R"({"title": "T", "answersPerQuestion": 2, "questions": [{"answer1": "a"}]})",
         {"q.json: questions[0].answer2: missing"}},
        {R"({"title": "T", "displayMode": 5, "questions": [{"answer1": "a", "extraText": "e",
             "extraText2": "f"}]})",
         {"q.json: questions[0].extraText: display mode 5 stores no extra text",
          "q.json: questions[0].extraText2: stored only in display modes 3 and 6"}},
        {R"({"title": "T", "media": "picture", "displayMode": 2,
             "questions": [{"answer1": "a", "answerPicture": "b.jpg", "clip": "c.mp3"}]})",
         {"q.json: questions[0].picture: missing (picture quiz)",
          "q.json: questions[0].answerPicture: shown only in display modes 1, 3 and 6",
          "q.json: questions[0].clip: only a sound or video quiz plays clips"}},
        {R"({"title": "T", "media": "sound", "displayMode": 1,
             "questions": [{"answer1": "a", "picture": "p.jpg", "answerPicture": "b.jpg"},
                           {"answer1": "b", "clip": ""}]})",
         {"q.json: questions[0].picture: only a picture quiz shows pictures",
          "q.json: questions[0].answerPicture: only a picture quiz shows answer pictures",
          "q.json: questions[0].clip: missing (sound quiz)",
          "q.json: questions[1].clip: must be a file name"}},
        {R"({"title": "T", "questions": [{"answer1": "a"}], "codes": ["x", "y"]})",
         {"q.json: codes: 2 codes, at most one per question (1)"}},
        {R"({"title": "T", "questions": [{"answer1": "a"}, {"answer1": "b"}],
             "codes": ["x\ny", 4]})",
         {"q.json: codes[0]: must be a single line", "q.json: codes[1]: must be a string"}},
        {"{\"title\": \"\xC3\", \"questions\": []}",
         {"q.json:1:13: syntax error while parsing value - invalid string: ill-formed UTF-8 "
          "byte; last read: '\"\xC3\"'"}},
    };
    for (const BadSource& row : rows) {
        EXPECT_EQ(Problems(row.json), row.expected) << row.json;
    }
    EXPECT_TRUE(Problems(longestOk).empty());
}

// Every field the schema editors check sources against is one the reader
// takes, and an unknown one is still reported.
TEST(QuizJson, TheSchemaDescribesTheFieldsTheReaderTakes) {
    std::ifstream in(std::string(BRELO_SOURCE_DIR) + "/tools/quiz.schema.json");
    ASSERT_TRUE(in.good());
    const nlohmann::json schema = nlohmann::json::parse(in);
    EXPECT_EQ(schema["required"], nlohmann::json::array({"title", "questions"}));
    const nlohmann::json& question = schema["$defs"]["question"]["properties"];
    ASSERT_GE(schema["properties"].size(), 11u);
    ASSERT_GE(question.size(), 8u);
    std::vector<std::pair<bool, std::string>> fields = {{true, "hint"}};
    for (auto it = schema["properties"].begin(); it != schema["properties"].end(); ++it)
        fields.push_back({false, it.key()});
    for (auto it = question.begin(); it != question.end(); ++it) fields.push_back({true, it.key()});
    for (const auto& [inQuestion, key] : fields) {
        nlohmann::json source = {{"title", "T"}, {"questions", {{{"answer1", "a"}}}}};
        if (inQuestion) {
            source["questions"][0][key] = 0;
        } else if (!source.contains(key)) {
            source[key] = 0;
        }
        const std::string field = (inQuestion ? "questions[0]." : "") + key;
        const auto problems = Problems(source.dump());
        EXPECT_EQ(
            std::count(problems.begin(), problems.end(), "q.json: " + field + ": unknown field"),
            key == "hint")
            << field;
    }
}

}  // namespace
