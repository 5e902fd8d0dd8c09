#include "quiz/quiz_format.h"

#include <algorithm>

#include "quiz/lzw.h"
#include "shell/report.h"

const char QuizCipherKey[] =
    "Ombres sur la rivi\xE8"
    "re";
static_assert(sizeof QuizCipherKey - 1 == QUIZ_CIPHER_KEY_LENGTH, "the key is 21 bytes");

// "BR", then the link address "http://brelo.fr", '|' and the credit line
// "Fait avec Brelo", compressed by LzwCompress. Both texts are short enough to
// fit their controls on one line. The stream ends with its end code after 36
// bytes; the block is padded with zeros to its fixed 70 bytes, which the
// decoder never reads.
const uint8_t g_settingsBlock[QUIZ_SETTINGS_BLOCK_SIZE] = {
    0x21, 0x14, 0x8D, 0x07, 0x43, 0xA1, 0xC0, 0x74, 0x2F, 0x17, 0x98, 0x8E, 0x46, 0x53,
    0x61, 0xBC, 0x5C, 0x66, 0x39, 0x1F, 0x08, 0xC6, 0x13, 0x49, 0xD0, 0x40, 0x61, 0x3B,
    0x19, 0x4C, 0x62, 0x02, 0x14, 0x36, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

namespace {

const char* const kCaption = "Brelo";
const char* const kSettingsError =
    "Erreur dans le d\xE9"
    "cryptage";
const char* const kContentError =
    "Erreur dans le d\xE9"
    "cryptage des reponses";
const char* const kCodesError =
    "Erreur dans le d\xE9"
    "cryptage des codes";
const char* const kJudgingError =
    "Erreur dans le d\xE9"
    "cryptage des variantes";

// Reads decoded data front to back; past the end every byte is 0 and every
// field empty.
struct Cursor {
    const uint8_t* data;
    size_t size;
    size_t position = 0;

    uint8_t Byte() {
        if (position >= size) return 0;
        return data[position++];
    }

    // A field runs to the next '|' or zero byte (or the end) and consumes it.
    // At most destinationSize - 1 characters are kept; a null destination
    // only skips the field.
    void Field(char* destination, size_t destinationSize) {
        size_t kept = 0;
        while (position < size) {
            const uint8_t c = data[position++];
            if (c == QUIZ_FIELD_SEPARATOR || c == 0) break;
            if (destination != nullptr && kept + 1 < destinationSize)
                destination[kept++] = static_cast<char>(c);
        }
        if (destination != nullptr && destinationSize > 0) destination[kept] = '\0';
    }
};

uint8_t ByteAt(const uint8_t* data, size_t size, size_t position) {
    return position < size ? data[position] : 0;
}

// The raw header values, as stored.
struct ContentHeader {
    uint8_t mediaByte;
    uint8_t questionCount;
    uint8_t answersPerQuestion;
    uint8_t displayMode;
};

int ExtraFieldsPerQuestion(uint8_t displayMode) {
    switch (displayMode) {
        case 1:
        case 2:
        case 4:
            return 1;
        case 3:
        case 6:
            return 2;
        default:
            return 0;
    }
}

// Walks the content once; fills `quiz` when it is not null. Question texts go
// through fixed buffers of the record's field size, so every text is cut at
// 259 characters before it reaches a node.
ContentHeader WalkContent(const uint8_t* data, size_t size, QuizRecord* quiz) {
    ContentHeader header = {ByteAt(data, size, 1), ByteAt(data, size, 2), ByteAt(data, size, 3), 0};
    Cursor in{data, size, 4};
    const int kept = std::min<int>(header.questionCount, QUIZ_MAX_QUESTIONS);
    const bool twoAnswers = header.answersPerQuestion == 2;

    if (quiz != nullptr) {
        quiz->FreeQuestions();
        in.Field(quiz->title, QUIZ_TEXT_SIZE);
        in.Field(quiz->author, QUIZ_TEXT_SIZE);
        in.Field(quiz->explanations, QUIZ_TEXT_SIZE);
        in.Field(quiz->answerLabel1, QUIZ_TEXT_SIZE);
        in.Field(quiz->answerLabel2, QUIZ_TEXT_SIZE);
    } else {
        for (int i = 0; i < 5; ++i) in.Field(nullptr, 0);
    }

    char answer1[QUIZ_TEXT_SIZE];
    char answer2[QUIZ_TEXT_SIZE];
    char prompt[QUIZ_TEXT_SIZE];
    for (int i = 0; i < header.questionCount; ++i) {
        const bool keep = quiz != nullptr && i < kept;
        in.Field(keep ? answer1 : nullptr, QUIZ_TEXT_SIZE);
        answer2[0] = '\0';
        if (twoAnswers) in.Field(keep ? answer2 : nullptr, QUIZ_TEXT_SIZE);
        in.Field(keep ? prompt : nullptr, QUIZ_TEXT_SIZE);
        if (keep) quiz->AddQuestion(answer1, answer2, prompt);
    }

    header.displayMode = in.Byte();
    const int extraFields = ExtraFieldsPerQuestion(header.displayMode);
    QuestionNode* node = quiz != nullptr ? quiz->firstQuestion : nullptr;
    for (int i = 0; i < header.questionCount && extraFields > 0; ++i) {
        const bool keep = node != nullptr && i < kept;
        in.Field(keep ? node->extraText : nullptr, QUIZ_TEXT_SIZE);
        if (extraFields == 2) in.Field(nullptr, 0);
        if (keep) node = node->next;
    }

    if (quiz != nullptr) {
        quiz->colorRed = in.Byte();
        quiz->colorGreen = in.Byte();
        quiz->colorBlue = in.Byte();
        quiz->questionCount = kept;
        // Field numbering, judging and saving all follow answersPerQuestion;
        // the records were read with one answer unless the byte said 2.
        quiz->answersPerQuestion = twoAnswers ? 2 : 1;
        const int media = header.mediaByte - 1;
        quiz->mediaKind = (media >= MEDIA_NONE && media <= MEDIA_VIDEO) ? media : MEDIA_NONE;
        quiz->displayMode = header.displayMode <= QUIZ_MAX_DISPLAY_MODE ? header.displayMode : 0;
    }
    return header;
}

bool Decode(const uint8_t* block, size_t blockSize, LzwOutput& output, uint32_t& size) {
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    // Anything longer than a block may be is refused by the decoder as it is.
    const auto passed = static_cast<uint32_t>(std::min<size_t>(blockSize, LZW_MAX_INPUT + 1u));
    const int result = LzwDecompress(block, passed, &buffer, &length);
    output.reset(buffer);
    size = length >= 2 ? length - 2 : 0;
    return result == LZW_OK;
}

// Chooses the content's decoded form: as stored when that decodes to a
// plausible quiz, otherwise deciphered. A stored block that decodes but makes
// no sense is only kept when the deciphered one does not decode to a plausible
// quiz either. Returns false when neither form decodes.
bool DecodeContent(std::vector<uint8_t>& content, LzwOutput& output, uint32_t& size,
                   bool& enciphered) {
    enciphered = false;
    LzwOutput stored;
    uint32_t storedSize = 0;
    const bool storedDecodes = Decode(content.data(), content.size(), stored, storedSize);
    if (storedDecodes && ContentIsPlausible(stored.get(), storedSize)) {
        output = std::move(stored);
        size = storedSize;
        return true;
    }
    DecipherResource(content.data(), content.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
    LzwOutput deciphered;
    uint32_t decipheredSize = 0;
    const bool decipheredDecodes =
        Decode(content.data(), content.size(), deciphered, decipheredSize);
    if (decipheredDecodes &&
        (!storedDecodes || ContentIsPlausible(deciphered.get(), decipheredSize))) {
        output = std::move(deciphered);
        size = decipheredSize;
        enciphered = true;
        return true;
    }
    if (storedDecodes) {
        output = std::move(stored);
        size = storedSize;
        return true;
    }
    return false;
}

void Report(const char* text) {
    ReportMessage(text, kCaption, REPORT_OK);
}

// The forms of a forms record: each ended by '|', none empty, none with a
// zero byte, at most seven.
bool ReadForms(const uint8_t* fields, size_t length, std::vector<std::string>& forms) {
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (fields[i] == 0) return false;
        if (fields[i] != QUIZ_FIELD_SEPARATOR) continue;
        const size_t formLength = i - start;
        if (formLength == 0 || formLength > static_cast<size_t>(QUIZ_TEXT_MAX) ||
            forms.size() == static_cast<size_t>(QUIZ_MAX_OTHER_FORMS))
            return false;
        forms.emplace_back(reinterpret_cast<const char*>(fields + start), formLength);
        start = i + 1;
    }
    return start == length && !forms.empty();
}

QuizLoadState LoadCodes(QuizRecord& quiz, QuizBlocks& blocks, bool enciphered) {
    // Deciphering starts at byte 1: a block of fewer than two bytes cannot
    // have been enciphered, and cannot hold a code anyway.
    if (enciphered) {
        if (blocks.codes.size() < 2) {
            Report(kCodesError);
            return QUIZ_LOADED_WITHOUT_CODES;
        }
        DecipherResource(blocks.codes.data(), blocks.codes.size(), QuizCipherKey,
                         QUIZ_CIPHER_KEY_LENGTH);
    }
    LzwOutput decoded;
    uint32_t decodedSize = 0;
    if (!Decode(blocks.codes.data(), blocks.codes.size(), decoded, decodedSize)) {
        Report(kCodesError);
        return QUIZ_LOADED_WITHOUT_CODES;
    }
    ParseCodes(decoded.get(), decodedSize, quiz);
    return QUIZ_LOADED;
}

// The judging block is all or nothing: a quiz that plays with half of its
// accepted forms would judge some answers one way and some the other.
void LoadJudging(QuizRecord& quiz, QuizBlocks& blocks, bool enciphered) {
    if (blocks.judging.empty()) return;
    if (enciphered) {
        DecipherResource(blocks.judging.data(), blocks.judging.size(), QuizCipherKey,
                         QUIZ_CIPHER_KEY_LENGTH);
    }
    LzwOutput decoded;
    uint32_t decodedSize = 0;
    JudgingChoices choices;
    const JudgingBlockState state =
        Decode(blocks.judging.data(), blocks.judging.size(), decoded, decodedSize)
            ? ParseJudging(decoded.get(), decodedSize, quiz.questionCount, quiz.answersPerQuestion,
                           choices)
            : JUDGING_DAMAGED;
    if (state == JUDGING_DAMAGED) Report(kJudgingError);
    if (state != JUDGING_READ) return;
    quiz.accentsTolerated = choices.accentsTolerated ? 1 : 0;
    for (OtherForms& entry : choices.otherForms) {
        QuestionNode* node = quiz.QuestionAt(entry.question - 1);
        if (node != nullptr) node->otherForms[entry.answer - 1] = std::move(entry.forms);
    }
}

}  // namespace

JudgingBlockState ParseJudging(const uint8_t* data, size_t size, int questionCount,
                               int answersPerQuestion, JudgingChoices& out) {
    out = JudgingChoices();
    if (data == nullptr || size < 2 || data[1] == 0) return JUDGING_DAMAGED;
    if (data[1] > QUIZ_JUDGING_VERSION) return JUDGING_NEWER;
    const int questions = std::min(questionCount, QUIZ_MAX_QUESTIONS);
    JudgingChoices read;
    bool optionsSeen = false;
    bool formsSeen[QUIZ_MAX_QUESTIONS][2] = {};
    size_t position = 2;
    while (position < size) {
        if (size - position < 3) return JUDGING_DAMAGED;
        const uint8_t kind = data[position];
        const size_t length = data[position + 1] | static_cast<size_t>(data[position + 2]) << 8;
        position += 3;
        if (length > size - position) return JUDGING_DAMAGED;
        const uint8_t* payload = data + position;
        position += length;
        if (kind == QUIZ_JUDGING_OPTIONS) {
            if (optionsSeen || length < 1) return JUDGING_DAMAGED;
            optionsSeen = true;
            read.accentsTolerated = (payload[0] & QUIZ_JUDGING_ACCENTS_TOLERATED) != 0;
        } else if (kind == QUIZ_JUDGING_FORMS) {
            if (length < 2) return JUDGING_DAMAGED;
            const int question = payload[0];
            const int answer = payload[1];
            if (question < 1 || question > questions || answer < 1 || answer > 2 ||
                answer > answersPerQuestion || formsSeen[question - 1][answer - 1])
                return JUDGING_DAMAGED;
            formsSeen[question - 1][answer - 1] = true;
            OtherForms entry{question, answer, {}};
            if (!ReadForms(payload + 2, length - 2, entry.forms)) return JUDGING_DAMAGED;
            read.otherForms.push_back(std::move(entry));
        }
    }
    out = std::move(read);
    return JUDGING_READ;
}

void DecipherResource(uint8_t* data, size_t size, const char* key, size_t keyLength) {
    if (data == nullptr || size < 2 || key == nullptr || keyLength == 0) return;
    size_t k = 0;
    for (size_t i = 1; i < size; ++i) {
        data[i] = static_cast<uint8_t>(data[i] ^ static_cast<uint8_t>(key[k]));
        if (++k == keyLength) k = 0;
    }
}

void ParseSettings(const uint8_t* data, size_t size, QuizRecord& quiz) {
    Cursor in{data, size, 2};
    in.Field(quiz.linkAddress, QUIZ_LINK_SIZE);
    in.Field(quiz.creditLine, QUIZ_CREDIT_SIZE);
}

void ParseContent(const uint8_t* data, size_t size, QuizRecord& quiz) {
    WalkContent(data, size, &quiz);
}

bool ContentIsPlausible(const uint8_t* data, size_t size) {
    const ContentHeader header = WalkContent(data, size, nullptr);
    return header.mediaByte >= 1 && header.mediaByte <= 4 &&
           (header.answersPerQuestion == 1 || header.answersPerQuestion == 2) &&
           header.displayMode <= QUIZ_MAX_DISPLAY_MODE;
}

void ParseCodes(const uint8_t* data, size_t size, QuizRecord& quiz) {
    const int count = std::min<int>(std::max<int>(quiz.questionCount, 0), QUIZ_MAX_QUESTIONS);
    size_t position = 0;
    for (int i = 0; i < count; ++i) {
        char* code = quiz.codes[i];
        size_t kept = 0;
        while (position < size && data[position] != '\r') {
            if (kept < QUIZ_TEXT_MAX) code[kept++] = static_cast<char>(data[position]);
            ++position;
        }
        code[kept] = '\0';
        position += std::min<size_t>(2, size - position);  // CR and LF
    }
}

void FillSampleQuiz(QuizRecord& quiz) {
    CopyText(quiz.title, QUIZ_TEXT_SIZE, "Nom du brelo");
    CopyText(quiz.author, QUIZ_TEXT_SIZE, "Createur brelo");
    CopyText(quiz.explanations, QUIZ_TEXT_SIZE, "Explications du brelo");
    CopyText(quiz.answerLabel1, QUIZ_TEXT_SIZE, "TEST");
    CopyText(quiz.answerLabel2, QUIZ_TEXT_SIZE, "TEST");
    quiz.questionCount = 7;
    quiz.displayMode = 3;
    quiz.mediaKind = MEDIA_PICTURE;
    quiz.answersPerQuestion = 2;
    quiz.colorRed = 51;
    quiz.colorGreen = 102;
    quiz.colorBlue = 255;
    quiz.FreeQuestions();
    quiz.AddQuestion("TEST", "TEST", "emplacement");
    quiz.AddQuestion("TEST", "TEST", "emplacement");
}

QuizLoadState LoadQuizBlocks(QuizRecord& quiz, QuizBlocks& blocks) {
    LzwOutput decoded;
    uint32_t decodedSize = 0;
    if (!Decode(blocks.settings, blocks.settingsSize, decoded, decodedSize)) {
        Report(kSettingsError);
        quiz.questionCount = 0;
        return QUIZ_NOT_LOADED;
    }
    ParseSettings(decoded.get(), decodedSize, quiz);

    if (blocks.content.empty()) {
        Report(QuizCipherKey);
        FillSampleQuiz(quiz);
        return QUIZ_SAMPLE;
    }
    bool enciphered = false;
    if (!DecodeContent(blocks.content, decoded, decodedSize, enciphered)) {
        Report(kContentError);
        quiz.questionCount = 0;
        return QUIZ_NOT_LOADED;
    }
    ParseContent(decoded.get(), decodedSize, quiz);
    const QuizLoadState state = LoadCodes(quiz, blocks, enciphered);
    LoadJudging(quiz, blocks, enciphered);
    return state;
}
