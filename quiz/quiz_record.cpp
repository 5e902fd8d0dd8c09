#include "quiz/quiz_record.h"

#include <cstring>

void CopyText(char* destination, int size, const char* text) {
    if (size <= 0) return;
    int n = 0;
    if (text != nullptr) {
        while (n < size - 1 && text[n] != '\0') ++n;
        std::memcpy(destination, text, static_cast<size_t>(n));
    }
    destination[n] = '\0';
}

QuizRecord::QuizRecord() {
    // Plain data: start from all zero, then the visible defaults.
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    CopyText(title, QUIZ_TEXT_SIZE, "Nom du brelo");
    CopyText(author, QUIZ_TEXT_SIZE, "Createur brelo");
    mediaKind = MEDIA_NONE;
    questionCount = 2;
    answersPerQuestion = 1;
    displayMode = 0;
    quizSolved = 0;
    pageDpi = 96;  // the design's own scale, until a page is laid out
    colorRed = 90;
    colorGreen = 95;
    colorBlue = 150;
}

QuizRecord::~QuizRecord() { FreeQuestions(); }

void QuizRecord::FreeQuestions() {
    QuestionNode* node = firstQuestion;
    while (node != nullptr) {
        QuestionNode* next = node->next;
        delete node;
        node = next;
    }
    firstQuestion = nullptr;
    lastQuestion = nullptr;
}

QuestionNode* QuizRecord::AddQuestion(const char* a1, const char* a2, const char* p) {
    QuestionNode* node = new QuestionNode();
    CopyText(node->answer1, QUIZ_TEXT_SIZE, a1);
    CopyText(node->answer2, QUIZ_TEXT_SIZE, a2);
    CopyText(node->prompt, QUIZ_TEXT_SIZE, p);
    node->extraText[0] = '\0';
    node->status = 0;
    node->next = nullptr;
    node->prev = lastQuestion;
    if (lastQuestion != nullptr) lastQuestion->next = node;
    if (firstQuestion == nullptr) firstQuestion = node;
    lastQuestion = node;
    return node;
}

QuestionNode* QuizRecord::QuestionAt(int position) const {
    QuestionNode* node = firstQuestion;
    if (node == nullptr || position < 0) return node;
    for (int i = 0; i < position && node->next != nullptr; ++i) node = node->next;
    return node;
}

uint32_t QuizRecord::QuizColor() const {
    return static_cast<uint32_t>(colorRed) | (static_cast<uint32_t>(colorGreen) << 8) |
           (static_cast<uint32_t>(colorBlue) << 16);
}
