// Random quizzes, quiz records and sources on one line, the decoder in one call, messages.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "quiz/quiz_record.h"
#include "quiz/quiz_writer.h"
#include "shell/report.h"

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

// Texts of 0, 259 or a few Windows-1252 characters (never '|' or zero), some codes and forms.
inline QuizSource RandomQuiz(uint32_t seed, int mediaKind, int answers, int displayMode,
                             size_t questions) {
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ '-?!.,"
        "\xE0\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xFC\xC9\xC0\x9C\x80\xAB\xBB";
    std::mt19937 random(seed);
    auto text = [&random]() {
        const uint32_t pick = random() % 4;
        std::string s(pick == 0 ? 0 : pick == 1 ? 259 : random() % 40, ' ');
        for (char& c : s) c = letters[random() % (sizeof letters - 1)];
        return s;
    };
    QuizSource quiz;
    quiz.mediaKind = mediaKind, quiz.answersPerQuestion = answers, quiz.displayMode = displayMode;
    for (std::string* field :
         {&quiz.title, &quiz.author, &quiz.explanations, &quiz.answerLabel1, &quiz.answerLabel2})
        *field = text();
    quiz.questions.resize(questions);
    for (QuizSourceQuestion& q : quiz.questions)
        for (std::string* field : {&q.answer1, &q.answer2, &q.prompt, &q.extraText, &q.extraText2})
            *field = text();
    quiz.codes.resize(random() % (questions + 1));
    for (std::string& code : quiz.codes) code = text();
    quiz.colorRed = random(), quiz.colorGreen = random(), quiz.colorBlue = random();
    for (QuizSourceQuestion& q : quiz.questions)
        for (auto* forms : {&q.otherAnswers1, &q.otherAnswers2})
            for (uint32_t k = random() % 3 == 0 ? 1 + random() % 7 : 0; k > 0; --k)
                forms->push_back((text() + "x").substr(0, 259));
    quiz.accentsTolerated = random() % 2 == 0;
    return quiz;
}

// "m<media> a<answers> d<mode> c<colour> <count>:title/author/explanations/label1/label2",
// then " [answer1,answer2,prompt,extraText]" per question, " |code|..." if any code is set,
// " q.k=form;form" per answer with other accepted forms and " accents" if they are tolerated.
inline std::string Head(int media, int answers, int mode, unsigned colour, int count) {
    char head[64];
    std::snprintf(head, sizeof head, "m%d a%d d%d c%06X %d:", media, answers, mode, colour, count);
    return head;
}

inline std::string OtherForms(size_t question, int answer, const std::vector<std::string>& forms) {
    std::string line =
        forms.empty() ? "" : " " + std::to_string(question) + "." + std::to_string(answer) + "=";
    for (size_t k = 0; k < forms.size(); ++k) line += (k > 0 ? ";" : "") + forms[k];
    return line;
}

inline std::string Summary(const QuizRecord& q) {
    std::string line =
        Head(q.mediaKind, q.answersPerQuestion, q.displayMode, q.QuizColor(), q.questionCount) +
        q.title + "/" + q.author + "/" + q.explanations + "/" + q.answerLabel1 + "/" +
        q.answerLabel2;
    std::string forms;
    size_t number = 0;
    for (const QuestionNode* n = q.firstQuestion; n != nullptr; n = n->next) {
        line += " [" + std::string(n->answer1) + "," + n->answer2 + "," + n->prompt + "," +
                n->extraText + "]";
        ++number;
        forms += OtherForms(number, 1, n->otherForms[0]) + OtherForms(number, 2, n->otherForms[1]);
    }
    std::string codes;
    for (int i = 0; i < q.questionCount && i < QUIZ_MAX_QUESTIONS; ++i)
        codes += std::string("|") + q.codes[i];
    return line + (codes.find_first_not_of('|') == std::string::npos ? "" : " " + codes) + forms +
           (q.accentsTolerated ? " accents" : "");
}

// As loaded: answer2 only with two answers, extraText only where stored.
inline std::string Summary(const QuizSource& s) {
    const bool two = s.answersPerQuestion == 2, extra = s.displayMode != 0 && s.displayMode != 5;
    std::string line = Head(s.mediaKind, s.answersPerQuestion, s.displayMode,
                            s.colorRed | s.colorGreen << 8 | s.colorBlue << 16,
                            static_cast<int>(s.questions.size())) +
                       s.title + "/" + s.author + "/" + s.explanations + "/" + s.answerLabel1 +
                       "/" + s.answerLabel2;
    std::string codes, forms;
    for (size_t i = 0; i < s.questions.size(); ++i) {
        const QuizSourceQuestion& q = s.questions[i];
        line += " [" + q.answer1 + "," + (two ? q.answer2 : "") + "," + q.prompt + "," +
                (extra ? q.extraText : "") + "]";
        codes += "|" + (i < s.codes.size() ? s.codes[i] : "");
        forms += OtherForms(i + 1, 1, q.otherAnswers1) +
                 OtherForms(i + 1, 2, two ? q.otherAnswers2 : Texts());
    }
    return line + (codes.find_first_not_of('|') == std::string::npos ? "" : " " + codes) + forms +
           (s.accentsTolerated ? " accents" : "");
}

inline const std::string kSampleQuiz =
    "m1 a2 d3 cFF6633 7:Nom du brelo/Createur brelo/Explications du brelo/TEST/TEST "
    "[TEST,TEST,emplacement,] [TEST,TEST,emplacement,]";

// Messages as the recorder keeps them: caption|text|style.
inline const std::string kMissingContent = "Brelo|Ombres sur la rivi\xE8re|0";
inline const std::string kError = "Brelo|Erreur dans le d\351cryptage";
inline const std::string kContentError = kError + " des reponses|0";
inline const std::string kCodesError = kError + " des codes|0";
inline const std::string kJudgingError = kError + " des variantes|0";

inline std::vector<std::string> g_messages;
// Collects into g_messages what would be shown while it lives.
struct RecordMessages {
    RecordMessages() {
        g_messages.clear();
        g_reportMessage = [](const char* text, const char* caption, unsigned style) {
            g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
        };
    }
    ~RecordMessages() { g_reportMessage = nullptr; }
};

struct Decoded {
    int result;
    uint32_t length;   // as reported: the byte count + 2
    std::string text;  // the bytes decoded
    bool outputSet;
};
inline Decoded Decode(const Bytes& block) {
    uint8_t* buffer = nullptr;
    Decoded d = {0, 0xDEADBEEF, "", false};
    d.result = LzwDecompress(block.data(), static_cast<uint32_t>(block.size()), &buffer, &d.length);
    LzwOutput owner(buffer);
    d.outputSet = buffer != nullptr;
    if (buffer != nullptr && d.length >= 2 && d.length - 2 <= LZW_OUTPUT_CAPACITY)
        d.text.assign(reinterpret_cast<const char*>(buffer), d.length - 2);
    return d;
}
