#include "authoring/quiz_json.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Problems(const std::string& json) {
    QuizProject project;
    std::vector<std::string> problems;
    const bool ok = ParseQuizJson(json, "q.json", "/quiz", project, problems);
    EXPECT_EQ(ok, problems.empty()) << json;
    return problems;
}

TEST(QuizJson, RefusesBadSourcesNamingTheField) {
    const std::string q1 = R"("questions": [{"answer1": "a"}])";
    const std::string tooLong = R"({"title": ")" + std::string(260, 'x') + R"(", "questions": []})";
    const std::string longestOk =
        R"({"title": ")" + std::string(259, 'x') + R"(", "color": "#3366fF", )" + q1 + "}";
    std::string tooMany = R"({"title": "T", "questions": [)";
    for (int i = 0; i < 97; ++i) tooMany += std::string(i ? "," : "") + R"({"answer1": "a"})";
    tooMany += "]}";
    std::string sameKeys = R"({"title": "T", )" + q1;
    for (int i = 0; i < 8; ++i) sameKeys += R"(, "k": 0)";
    sameKeys += "}";
    std::string deep;  // far deeper than the parser's own stack could take
    for (int i = 0; i < 20000; ++i) deep += R"({"a": )";
    const std::string oneAnswer =
        "a text quiz shows one answer field per question; a second answer needs a picture, "
        "sound or video quiz";
    const std::string noExtra =
        "a text quiz shows no extra texts; they need a picture, sound or video quiz";

    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {"{\"title\": \"T\",\n  \"questions\": [}",
         {"q.json:2:17: syntax error while parsing value - unexpected '}'; expected '[', '{', or "
          "a literal"}},
        {tooMany.c_str(), {"q.json: questions: 97 questions, at most 96"}},
        {tooLong.c_str(),
         {"q.json: title: 260 characters, at most 259",
          "q.json: questions: must be a list of at least one question"}},
        {R"({"title": 5, "titel": "x", "author": "a|b", "explanations": "a\u0000b",
             "questions": [{"answer1": "a", "prompt": "x", "prompt": "y"}]})",
         {"q.json: questions[0].prompt: given twice; keep one", "q.json: titel: unknown field",
          "q.json: title: must be a string",
          "q.json: author: contains '|', which Brelo uses to separate the stored texts",
          "q.json: explanations: contains the character U+0000, which would end the text"}},
        {R"({"title": "T", "media": "image", "displayMode": 7, "answersPerQuestion": 3,
             "color": "red", "questions": [{"answer1": "a"}]})",
         {"q.json: media: must be \"text\", \"picture\", \"sound\" or \"video\"",
          "q.json: displayMode: must be a whole number from 0 to 6",
          "q.json: answersPerQuestion: must be 1 or 2",
          "q.json: color: must be \"#RRGGBB\" with hexadecimal digits"}},
        {R"({"title": "T", "questions": [{"answer1": "", "promt": "p"}, 3]})",
         {"q.json: questions[0].promt: unknown field",
          "q.json: questions[0].answer1: must not be empty",
          "q.json: questions[1]: must be an object"}},
        {R"({"title": "T", "answersPerQuestion": 2, "questions": [{"answer1": "a",
             "answer2": "b", "extraText": "e", "extraText2": "f"}]})",
         {"q.json: answersPerQuestion: " + oneAnswer, "q.json: questions[0].answer2: " + oneAnswer,
          "q.json: questions[0].extraText: " + noExtra,
          "q.json: questions[0].extraText2: " + noExtra}},
        {R"({"title": "T", "media": "video", "answersPerQuestion": 2, "displayMode": 5,
             "questions": [{"answer1": "a", "extraText": "e", "extraText2": "f", "clip": "v"}]})",
         {"q.json: questions[0].answer2: missing",
          "q.json: questions[0].extraText: display mode 5 stores no extra text",
          "q.json: questions[0].extraText2: stored only in display modes 3 and 6"}},
        {R"({"title": "T", "media": "picture", "displayMode": 2,
             "questions": [{"answer1": "a", "answerPicture": "b.jpg", "clip": "c.mp3"}]})",
         {"q.json: questions[0].picture: missing (picture quiz)",
          "q.json: questions[0].answerPicture: shown only in display modes 1, 3 and 6",
          "q.json: questions[0].clip: only a sound or video quiz plays clips"}},
        {R"({"title": "T", "media": "sound", "displayMode": 1,
             "questions": [{"answer1": "a", "picture": "p.jpg", "answerPicture": "b.jpg"},
                           {"answer1": "b", "answer2": "c", "clip": ""}]})",
         {"q.json: questions[0].picture: only a picture quiz shows pictures",
          "q.json: questions[0].answerPicture: only a picture quiz shows answer pictures",
          "q.json: questions[0].clip: missing (sound quiz)",
          "q.json: questions[1].answer2: given, but answersPerQuestion is 1",
          "q.json: questions[1].clip: must be a file name"}},
        // A quiz nests four levels; a few problems of one kind are shown, the rest counted.
        {R"({"title": "T", "displayMode": 1e999})", {"q.json: number overflow parsing '1e999'"}},
        {deep, {"q.json:1:25: nested more than 4 levels deep; a quiz needs no more"}},
        {sameKeys.c_str(),
         {"q.json: k: given twice; keep one", "q.json: k: given twice; keep one",
          "q.json: k: given twice; keep one", "q.json: k: given twice; keep one",
          "q.json: k: given twice; keep one", "q.json: k: unknown field",
          "q.json: \u2026 and 2 more: given twice; keep one"}},
        {R"({"title": "T", "accents": "souple", "codes": ["x\ny", 4], "questions": [{"answer1": []},
             {"answer1": ["a", "", 3]}, {"answer1": ["1", "2", "3", "4", "5", "6", "7", "8", "9"]}]})",
         {"q.json: accents: must be \"strict\" or \"tolerated\"",
          "q.json: questions[0].answer1: must be a text or a list of 1 to 8 texts",
          "q.json: questions[1].answer1[1]: must not be empty",
          "q.json: questions[1].answer1[2]: must be a string",
          "q.json: questions[2].answer1: must be a text or a list of 1 to 8 texts",
          "q.json: codes[0]: must be a single line", "q.json: codes[1]: must be a string"}},
        {R"({"title": "T", "questions": [{"answer1": "a"}], "codes": ["x", "y"]})",
         {"q.json: codes: 2 codes, at most one per question (1)"}},
    };
    for (const auto& [json, expected] : rows) EXPECT_EQ(Problems(json), expected) << json;
    EXPECT_TRUE(Problems(longestOk).empty());
    EXPECT_TRUE(Problems(R"({"title": "[[[[\"{{", )" + q1 + "}").empty());  // brackets in text
}

// Every field the schema offers editors is one the reader takes.
TEST(QuizJson, TheSchemaDescribesTheFieldsTheReaderTakes) {
    std::ifstream in(BRELO_SOURCE_DIR "/tools/quiz.schema.json");
    const nlohmann::json schema = nlohmann::json::parse(in);
    EXPECT_EQ(schema["required"], nlohmann::json::array({"title", "questions"}));
    nlohmann::json source = {{"title", "T"}, {"questions", {{{"answer1", "a"}}}}};
    for (const auto& field : schema["properties"].items()) source.emplace(field.key(), 0);
    for (const auto& field : schema["$defs"]["question"]["properties"].items())
        source["questions"][0][field.key()] = 0;
    ASSERT_GE(source.size() + source["questions"][0].size(), 19u);
    for (const std::string& problem : Problems(source.dump()))
        EXPECT_EQ(problem.find("unknown field"), std::string::npos) << problem;
}

}  // namespace
