// Control identifiers of the question page, the header panel and the main
// window. Controls are always found again by these numbers, never by stored
// handles. q is the question number from 1; n the answer field number from 1
// (n = q with one answer per question; 2q-1 and 2q with two).
#pragma once

constexpr int ID_ANSWER_CAPTION = 156;
constexpr int ID_NUMBER_LABEL = 2000;   // + q in the grid layout; 2000 for every list row
constexpr int ID_PROMPT = 3000;         // every list row
constexpr int ID_ANSWER_EDIT = 4000;    // + n
constexpr int ID_RESULT_LABEL = 5000;   // + n
constexpr int ID_PLAY_BUTTON = 6000;    // + q
constexpr int ID_STOP_BUTTON = 7000;    // + q
constexpr int ID_EXTRA_TEXT = 8000;     // + q
constexpr int ID_PICTURE = 9900;        // + q: picture label or media host window
constexpr int ID_ANSWER_PICTURE = 10400;  // "IMG" resource of q's answer picture: + q
constexpr int ID_QUESTION_PICTURE = 400;  // "IMG" resource of q's picture or clip: + q

// Header panel (dialog 1002).
constexpr int ID_LINK = 24;
constexpr int ID_BY_CAPTION = 25;
constexpr int ID_AUTHOR = 26;
constexpr int ID_SAVE_BUTTON = 27;
constexpr int ID_EXPLANATIONS = 28;
constexpr int ID_TITLE = 29;
constexpr int ID_CODE_FIELD = 30;
constexpr int ID_CODE_CAPTION = 31;
constexpr int ID_SCORE_TEXT = 32;
constexpr int ID_HIDE_CHECKBOX = 33;
constexpr int ID_RULE_HORIZONTAL = 120;
constexpr int ID_RULE_LEFT = 121;
constexpr int ID_RULE_RIGHT = 122;

// Main window.
constexpr int ID_CREDIT_LINE = 8000;

// Resources of the player.
constexpr int IDD_QUESTION_PAGE = 1001;
constexpr int IDD_HEADER_PANEL = 1002;
constexpr int IDC_LINK_HAND = 1003;
constexpr int IDI_PLAY = 1004;
constexpr int IDI_STOP = 1005;
// Asked on closing when the answers could not be saved anywhere; its buttons
// end it with their own identifiers.
constexpr int IDD_SAVE_FAILED = 1006;
constexpr int ID_SAVE_FAILED_TEXT = 100;
constexpr int ID_SAVE_RETRY = 4;           // IDRETRY
constexpr int ID_QUIT_WITHOUT_SAVING = 5;  // IDIGNORE
constexpr int ID_KEEP_OPEN = 2;            // IDCANCEL: also Escape and the close box

// The page's private vertical scroll requests, posted for wheel notches.
constexpr int SCROLL_WHEEL_DOWN = 500;
constexpr int SCROLL_WHEEL_UP = 501;
