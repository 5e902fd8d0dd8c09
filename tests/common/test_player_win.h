// A player assembled inside a Windows test: the real main window procedure,
// the header panel and the real question page, over a quiz held in memory.
// The test program carries Brelo's resource script, so the panels come from
// their own dialog templates.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quiz/quiz_data_win.h"

struct TestQuestion {
    std::string answer1;
    std::string answer2;
    std::string prompt;
    std::string extraText;
};

struct TestQuiz {
    int mediaKind = MEDIA_NONE;
    int answersPerQuestion = 1;
    int displayMode = 0;
    std::vector<TestQuestion> questions;
    std::vector<std::string> codes;  // codes[k] rewards a score of k + 1
};

// Questions "Q1".."Qn" whose answers are "REPONSE1".."REPONSEn" (and
// "SECONDE1".. for the second), extra texts "plus 1"...
TestQuiz NumberedQuiz(int mediaKind, int answersPerQuestion, int displayMode, int questions);

// Records every message the player reports instead of showing a box.
struct ReportedMessage {
    std::string text;
    std::string caption;
    unsigned style;
};
std::vector<ReportedMessage>& ReportedMessages();

// Runs each test in a fresh folder of its own, where the answers file
// (named after this test program) is read and written.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The answers file's name for this program, in the folder.
    std::string AnswersFile() const;
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;

  private:
    char previous_[MAX_PATH] = {};
    std::string path_;
};

class TestPlayer {
  public:
    explicit TestPlayer(const TestQuiz& spec);
    ~TestPlayer();
    TestPlayer(const TestPlayer&) = delete;
    TestPlayer& operator=(const TestPlayer&) = delete;

    QuizData* quiz = nullptr;
    HWND main = nullptr;
    HWND header = nullptr;
    HWND page = nullptr;

    HWND Item(int id) const { return GetDlgItem(page, id); }
    std::string Text(int id) const { return TextOf(page, id); }
    std::string HeaderText(int id) const { return TextOf(header, id); }
    static std::string TextOf(HWND parent, int id);
    bool Visible(int id) const;
    RECT Rect(int id) const;  // on the page's client area
    static RECT RectOn(HWND parent, HWND control);

    // Puts text into answer field n (nothing is judged yet).
    void Put(int fieldNumber, const char* text);
    // Gives answer field n the focus, then takes it away: a real focus loss.
    void Leave(int fieldNumber);
    void Focus(int fieldNumber);
    // Posts a key press and release to the focused window and runs the
    // player's message loop until the queue is empty.
    void Press(WORD key);
    void SetHideBox(bool checked);
    // Runs the player's loop (dialog keys for the page) until the queue is empty.
    void Pump();
};
