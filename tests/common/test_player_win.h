// The real main window procedure, header panel and question page (from the
// program's own dialog templates) over a quiz held in memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "answers/answers_save_win.h"
#include "quiz/quiz_data_win.h"

// A quiz of n questions "Q1".."Qn" whose answers are "REPONSE1".. (and
// "SECONDE1".. for the second), extra texts "plus 1".., codes "CODE1"..
QuizData* NumberedQuiz(int mediaKind, int answersPerQuestion, int displayMode, int questions);

// What the player reported instead of showing a box.
struct ReportedMessage {
    std::string text, caption;
};
std::vector<ReportedMessage>& ReportedMessages();

// A fresh current folder for one test, removed afterwards. The program's
// answers file, its fallback (under "appdata") and the clip files (under
// "tmp", the temporary folder) all go in it; meanwhile the player's messages
// go to ReportedMessages() instead of boxes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    std::string AnswersFile() const { return CurrentAnswersPlaces().besideProgram; }
    std::string Fallback() const { return CurrentAnswersPlaces().fallback; }
    std::string Read(const std::string& name) const;  // "<missing>" when absent
    void Write(const std::string& name, const std::string& bytes) const;

  private:
    std::string previous_, path_;
};

class TestPlayer {
  public:
    // Takes the quiz over; the page's idle-time work (rows past the first
    // screen, pictures out of view) is done unless `idleWorkDone` is false.
    explicit TestPlayer(QuizData* ownQuiz, bool idleWorkDone = true);
    ~TestPlayer();

    QuizData* quiz = nullptr;
    HWND main = nullptr, header = nullptr, page = nullptr;

    HWND Item(int id) const { return GetDlgItem(page, id); }
    std::string Text(int id) const { return TextOf(page, id); }
    std::string HeaderText(int id) const { return TextOf(header, id); }
    static std::string TextOf(HWND parent, int id);
    bool Visible(int id) const { return GetWindowLongPtrA(Item(id), GWL_STYLE) & WS_VISIBLE; }
    static RECT RectOn(HWND parent, HWND control);  // in the parent's client area

    void Put(int n, const char* text) { SetDlgItemTextA(page, 4000 + n, text); }  // not judged
    void Focus(int n) { SetFocus(Item(4000 + n)); }
    void Leave(int n) {  // a real focus loss: the field is judged
        Focus(n);
        SetFocus(page);
    }
    void Press(WORD key);  // posted to the focus, then Pump()
    void SetHideBox(bool checked);
    void Pump();  // the player's loop (dialog keys for the page) until the queue is empty
};
