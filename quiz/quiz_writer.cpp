#include "quiz/quiz_writer.h"

#include "quiz/lzw.h"
#include "quiz/quiz_format.h"

namespace {

// Byte 0 of the content is never read; the writer stores this.
constexpr uint8_t kUnusedFirstByte = 'B';

std::string Indexed(const char* list, size_t index, const char* field) {
    return std::string(list) + "[" + std::to_string(index) + "]" + (field[0] ? "." : "") + field;
}

bool CheckLength(const std::string& name, const std::string& text, std::string& error) {
    if (text.size() <= static_cast<size_t>(QUIZ_TEXT_MAX)) return true;
    error = name + ": " + std::to_string(text.size()) + " characters, at most " +
            std::to_string(QUIZ_TEXT_MAX);
    return false;
}

// A field ends at '|' or at a zero byte, so neither may appear inside one.
bool CheckField(const std::string& name, const std::string& text, std::string& error) {
    if (!CheckLength(name, text, error)) return false;
    const size_t bad = text.find_first_of(std::string("|\0", 2));
    if (bad == std::string::npos) return true;
    error = name + ": " + (text[bad] == '|' ? "'|'" : "a zero byte") + " at character " +
            std::to_string(bad) + ", not allowed inside a field";
    return false;
}

// A code ends at CR; LF and a zero byte would not come back as written.
bool CheckCode(const std::string& name, const std::string& text, std::string& error) {
    if (!CheckLength(name, text, error)) return false;
    const size_t bad = text.find_first_of(std::string("\r\n\0", 3));
    if (bad == std::string::npos) return true;
    error = name + ": " + (text[bad] == 0 ? "a zero byte" : "a line break") + " at character " +
            std::to_string(bad) + ", not allowed in a code";
    return false;
}

bool CheckRange(const char* name, int value, int lowest, int highest, std::string& error) {
    if (value >= lowest && value <= highest) return true;
    error = std::string(name) + ": " + std::to_string(value) + ", must be " +
            std::to_string(lowest) + " to " + std::to_string(highest);
    return false;
}

int ExtraFieldsPerQuestion(int displayMode) {
    if (displayMode == 3 || displayMode == 6) return 2;
    if (displayMode == 1 || displayMode == 2 || displayMode == 4) return 1;
    return 0;
}

bool CheckQuiz(const QuizSource& quiz, std::string& error) {
    if (!CheckRange("mediaKind", quiz.mediaKind, MEDIA_NONE, MEDIA_VIDEO, error) ||
        !CheckRange("answersPerQuestion", quiz.answersPerQuestion, 1, 2, error) ||
        !CheckRange("displayMode", quiz.displayMode, 0, QUIZ_MAX_DISPLAY_MODE, error))
        return false;
    if (quiz.questions.size() > static_cast<size_t>(QUIZ_MAX_QUESTIONS)) {
        error = "questions: " + std::to_string(quiz.questions.size()) + " questions, at most " +
                std::to_string(QUIZ_MAX_QUESTIONS);
        return false;
    }
    if (quiz.codes.size() > quiz.questions.size()) {
        error = "codes: " + std::to_string(quiz.codes.size()) +
                " codes, at most one per question (" + std::to_string(quiz.questions.size()) + ")";
        return false;
    }
    if (!CheckField("title", quiz.title, error) || !CheckField("author", quiz.author, error) ||
        !CheckField("explanations", quiz.explanations, error) ||
        !CheckField("answerLabel1", quiz.answerLabel1, error) ||
        !CheckField("answerLabel2", quiz.answerLabel2, error))
        return false;
    const int extraFields = ExtraFieldsPerQuestion(quiz.displayMode);
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuizSourceQuestion& q = quiz.questions[i];
        if (!CheckField(Indexed("questions", i, "answer1"), q.answer1, error) ||
            !CheckField(Indexed("questions", i, "prompt"), q.prompt, error))
            return false;
        if (quiz.answersPerQuestion == 2 &&
            !CheckField(Indexed("questions", i, "answer2"), q.answer2, error))
            return false;
        if (extraFields >= 1 &&
            !CheckField(Indexed("questions", i, "extraText"), q.extraText, error))
            return false;
        if (extraFields == 2 &&
            !CheckField(Indexed("questions", i, "extraText2"), q.extraText2, error))
            return false;
    }
    for (size_t i = 0; i < quiz.codes.size(); ++i)
        if (!CheckCode(Indexed("codes", i, ""), quiz.codes[i], error)) return false;
    return true;
}

// Forms are numbered as in the quiz source, where the stored answer is the
// first of the list.
bool CheckOtherForms(const std::string& name, const std::vector<std::string>& forms,
                     std::string& error) {
    if (forms.size() > static_cast<size_t>(QUIZ_MAX_OTHER_FORMS)) {
        error = name + ": " + std::to_string(forms.size() + 1) + " accepted forms, at most " +
                std::to_string(QUIZ_MAX_OTHER_FORMS + 1);
        return false;
    }
    for (size_t k = 0; k < forms.size(); ++k) {
        const std::string formName = name + "[" + std::to_string(k + 1) + "]";
        if (!CheckField(formName, forms[k], error)) return false;
        if (forms[k].empty()) {
            error = formName + ": empty, an accepted form needs a character";
            return false;
        }
    }
    return true;
}

bool CheckJudging(const QuizSource& quiz, std::string& error) {
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuizSourceQuestion& q = quiz.questions[i];
        if (!CheckOtherForms(Indexed("questions", i, "answer1"), q.otherAnswers1, error))
            return false;
        if (quiz.answersPerQuestion == 2 &&
            !CheckOtherForms(Indexed("questions", i, "answer2"), q.otherAnswers2, error))
            return false;
    }
    return true;
}

void AppendField(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(static_cast<uint8_t>(QUIZ_FIELD_SEPARATOR));
}

std::vector<uint8_t> ContentText(const QuizSource& quiz) {
    std::vector<uint8_t> out = {kUnusedFirstByte, static_cast<uint8_t>(quiz.mediaKind + 1),
                                static_cast<uint8_t>(quiz.questions.size()),
                                static_cast<uint8_t>(quiz.answersPerQuestion)};
    for (const std::string* field :
         {&quiz.title, &quiz.author, &quiz.explanations, &quiz.answerLabel1, &quiz.answerLabel2})
        AppendField(out, *field);
    for (const QuizSourceQuestion& q : quiz.questions) {
        AppendField(out, q.answer1);
        if (quiz.answersPerQuestion == 2) AppendField(out, q.answer2);
        AppendField(out, q.prompt);
    }
    out.push_back(static_cast<uint8_t>(quiz.displayMode));
    const int extraFields = ExtraFieldsPerQuestion(quiz.displayMode);
    for (const QuizSourceQuestion& q : quiz.questions) {
        if (extraFields >= 1) AppendField(out, q.extraText);
        if (extraFields == 2) AppendField(out, q.extraText2);
    }
    out.push_back(quiz.colorRed);
    out.push_back(quiz.colorGreen);
    out.push_back(quiz.colorBlue);
    return out;
}

// Only what differs from an older player's judging is stored: no block at
// all for a quiz with strict accents and one form per answer.
std::vector<uint8_t> JudgingText(const QuizSource& quiz) {
    std::vector<uint8_t> out = {kUnusedFirstByte, QUIZ_JUDGING_VERSION};
    auto record = [&out](uint8_t kind, const std::vector<uint8_t>& payload) {
        out.push_back(kind);
        out.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
        out.push_back(static_cast<uint8_t>(payload.size() >> 8));
        out.insert(out.end(), payload.begin(), payload.end());
    };
    if (quiz.accentsTolerated) record(QUIZ_JUDGING_OPTIONS, {QUIZ_JUDGING_ACCENTS_TOLERATED});
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        for (int answer = 1; answer <= quiz.answersPerQuestion; ++answer) {
            const QuizSourceQuestion& q = quiz.questions[i];
            const std::vector<std::string>& forms = answer == 1 ? q.otherAnswers1 : q.otherAnswers2;
            if (forms.empty()) continue;
            std::vector<uint8_t> payload = {static_cast<uint8_t>(i + 1),
                                            static_cast<uint8_t>(answer)};
            for (const std::string& form : forms) AppendField(payload, form);
            record(QUIZ_JUDGING_FORMS, payload);
        }
    }
    if (out.size() == 2) out.clear();
    return out;
}

// One line per question; a missing code is an empty line. A quiz without
// questions still needs one byte, since every block decodes to at least one.
std::vector<uint8_t> CodesText(const QuizSource& quiz) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        if (i < quiz.codes.size())
            out.insert(out.end(), quiz.codes[i].begin(), quiz.codes[i].end());
        out.push_back('\r');
        out.push_back('\n');
    }
    if (out.empty()) out = {'\r', '\n'};
    return out;
}

bool Compress(const char* name, const std::vector<uint8_t>& text, std::vector<uint8_t>& block,
              std::string& error) {
    switch (LzwCompress(text.data(), text.size(), block)) {
        case LZW_COMPRESS_OK:
            return true;
        case LZW_COMPRESS_TOO_LONG:
            error = std::string(name) + ": " + std::to_string(text.size()) +
                    " bytes once decoded, at most " + std::to_string(LZW_OUTPUT_CAPACITY);
            return false;
        case LZW_COMPRESS_TOO_LARGE:
            error = std::string(name) + ": the compressed block exceeds " +
                    std::to_string(LZW_MAX_INPUT) + " bytes";
            return false;
        default:
            error = std::string(name) + ": nothing to compress";
            return false;
    }
}

// The loader takes a block as stored when it decodes to a plausible quiz, so
// an enciphered block must not. With our byte 0 it cannot: byte 1 (media kind
// + 1) makes the second code a literal below 5, which the key turns into a
// code above 259, and decoding stops there. Checked all the same, since the
// loader's choice rests on it.
bool ReadsAsStored(const std::vector<uint8_t>& block) {
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    const int result =
        LzwDecompress(block.data(), static_cast<uint32_t>(block.size()), &buffer, &length);
    LzwOutput owner(buffer);
    return result == LZW_OK && ContentIsPlausible(buffer, length - 2);
}

}  // namespace

bool WriteQuiz(const QuizSource& quiz, bool encipher, WrittenQuiz& out, std::string& error) {
    out = WrittenQuiz();
    error.clear();
    if (!CheckQuiz(quiz, error) || !CheckJudging(quiz, error)) return false;
    WrittenQuiz written;
    const std::vector<uint8_t> judging = JudgingText(quiz);
    if (!Compress("content", ContentText(quiz), written.content, error) ||
        !Compress("codes", CodesText(quiz), written.codes, error) ||
        (!judging.empty() && !Compress("judging", judging, written.judging, error)))
        return false;
    if (encipher) {
        for (std::vector<uint8_t>* block : {&written.content, &written.codes, &written.judging})
            DecipherResource(block->data(), block->size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
        if (ReadsAsStored(written.content)) {
            error = "content: once enciphered it still reads as a stored quiz; store it plain";
            return false;
        }
    }
    out = std::move(written);
    return true;
}
