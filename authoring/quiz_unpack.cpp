#include "authoring/quiz_unpack.h"

#include <cstdio>

#include "quiz/lzw.h"
#include "quiz/quiz_format.h"
#include "quiz/quiz_record.h"

namespace {

// Reads the stored fields in order. Running out of data is remembered: a
// block that ends early is damaged, not a quiz with empty texts.
class FieldReader {
  public:
    FieldReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    int Byte() {
        if (pos_ >= size_) {
            short_ = true;
            return 0;
        }
        return data_[pos_++];
    }
    // A field runs to '|' or a zero byte, which it consumes.
    std::string Field() {
        if (pos_ >= size_) short_ = true;
        const size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != QUIZ_FIELD_SEPARATOR && data_[pos_] != 0) ++pos_;
        std::string text(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        if (pos_ < size_) ++pos_;
        return text;
    }
    bool cutShort() const { return short_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool short_ = false;
};

const PeResource* Find(const std::vector<PeResource>& resources, const ResourceId& type, int id) {
    for (const PeResource& r : resources) {
        if (r.type == type && r.name == ResourceId::Number(static_cast<uint16_t>(id))) return &r;
    }
    return nullptr;
}

// Decodes one block; true when the decoder reached the end code.
bool Decode(std::vector<uint8_t> block, bool decipher, std::vector<uint8_t>& text) {
    if (block.empty()) return false;
    if (decipher) {
        DecipherResource(block.data(), block.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
    }
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    const int result =
        LzwDecompress(block.data(), static_cast<uint32_t>(block.size()), &buffer, &length);
    LzwOutput owner(buffer);
    if (result != LZW_OK || buffer == nullptr || length < 2) return false;
    text.assign(buffer, buffer + (length - 2));
    return true;
}

std::string PictureExtension(const std::vector<uint8_t>& bytes) {
    std::string why;
    switch (PictureFileKind(bytes, why)) {
        case MEDIA_FILE_JPEG:
            return "jpg";
        case MEDIA_FILE_PNG:
            return "png";
        default:
            break;
    }
    // Other formats the player's picture loader may read; brelo-make itself
    // only puts JPEG and PNG in.
    if (bytes.size() >= 3 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F') return "gif";
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return "bmp";
    return "bin";
}

std::string Numbered(const char* stem, int q, const std::string& extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%02d.%s", stem, q, extension.c_str());
    return name;
}

// A picture of question q: "IMG" first (unscrambled above 10000), as the
// player looks it up, then RT_RCDATA.
bool TakePicture(const std::vector<PeResource>& resources, int id, const char* stem, int q,
                 UnpackedQuiz& out, std::string& path) {
    std::vector<uint8_t> bytes;
    if (const PeResource* img = Find(resources, ResourceId::Named("IMG"), id)) {
        bytes = img->bytes;
        if (id > QUIZ_SCRAMBLE_THRESHOLD) SwapNibbles(bytes);
    } else if (const PeResource* png =
                   Find(resources, ResourceId::Number(RESOURCE_TYPE_RCDATA), id)) {
        bytes = png->bytes;
    } else {
        return false;
    }
    path = Numbered(stem, q, PictureExtension(bytes));
    out.files.push_back(UnpackedFile{path, std::move(bytes)});
    return true;
}

// The other accepted forms and the accent choice, when the player carries
// them: enciphered like the content, and all or nothing as the player reads
// them.
void ReadJudging(const std::vector<PeResource>& resources, UnpackedQuiz& out) {
    const PeResource* block =
        Find(resources, ResourceId::Named(QUIZ_RESOURCE_TYPE), QUIZ_JUDGING_RESOURCE);
    if (block == nullptr || block->bytes.empty()) return;
    QuizSource& quiz = out.project.quiz;
    std::vector<uint8_t> text;
    JudgingChoices choices;
    JudgingBlockState state = JUDGING_DAMAGED;
    if (Decode(block->bytes, out.enciphered, text)) {
        state = ParseJudging(text.data(), text.size(), static_cast<int>(quiz.questions.size()),
                             quiz.answersPerQuestion, choices);
    }
    if (state == JUDGING_NEWER) {
        out.notes.push_back("its judging block (PATCH 106) is of a newer version; left out");
        return;
    }
    if (state == JUDGING_DAMAGED) {
        out.notes.push_back("its accepted forms (PATCH 106) cannot be read; none kept");
        return;
    }
    quiz.accentsTolerated = choices.accentsTolerated;
    for (OtherForms& entry : choices.otherForms) {
        QuizSourceQuestion& q = quiz.questions[static_cast<size_t>(entry.question - 1)];
        (entry.answer == 1 ? q.otherAnswers1 : q.otherAnswers2) = std::move(entry.forms);
    }
}

}  // namespace

bool ParseContentSource(const uint8_t* data, size_t size, QuizSource& quiz, std::string& error) {
    if (!ContentIsPlausible(data, size)) {
        error = "the quiz content is not one Brelo can read";
        return false;
    }
    FieldReader in(data, size);
    in.Byte();
    quiz.mediaKind = in.Byte() - 1;
    const int count = in.Byte();
    quiz.answersPerQuestion = in.Byte();
    quiz.title = in.Field();
    quiz.author = in.Field();
    quiz.explanations = in.Field();
    quiz.answerLabel1 = in.Field();
    quiz.answerLabel2 = in.Field();
    quiz.questions.assign(static_cast<size_t>(count), QuizSourceQuestion{});
    for (QuizSourceQuestion& q : quiz.questions) {
        q.answer1 = in.Field();
        if (quiz.answersPerQuestion == 2) q.answer2 = in.Field();
        q.prompt = in.Field();
    }
    quiz.displayMode = in.Byte();
    const int mode = quiz.displayMode;
    const int extraFields = mode == 3 || mode == 6                  ? 2
                            : (mode == 1 || mode == 2 || mode == 4) ? 1
                                                                    : 0;
    for (QuizSourceQuestion& q : quiz.questions) {
        if (extraFields >= 1) q.extraText = in.Field();
        if (extraFields == 2) q.extraText2 = in.Field();
    }
    quiz.colorRed = static_cast<uint8_t>(in.Byte());
    quiz.colorGreen = static_cast<uint8_t>(in.Byte());
    quiz.colorBlue = static_cast<uint8_t>(in.Byte());
    if (in.cutShort()) {
        error = "the quiz content ends early";
        return false;
    }
    if (count > QUIZ_MAX_QUESTIONS) {
        error = "the quiz content holds " + std::to_string(count) + " questions, more than " +
                std::to_string(QUIZ_MAX_QUESTIONS);
        return false;
    }
    return true;
}

std::vector<std::string> ParseCodesSource(const uint8_t* data, size_t size, size_t questionCount) {
    std::vector<std::string> codes;
    size_t pos = 0;
    for (size_t i = 0; i < questionCount && pos < size; ++i) {
        const size_t start = pos;
        while (pos < size && data[pos] != '\r') ++pos;
        codes.emplace_back(reinterpret_cast<const char*>(data + start), pos - start);
        pos = size - pos < 2 ? size : pos + 2;
    }
    while (!codes.empty() && codes.back().empty()) codes.pop_back();
    return codes;
}

bool UnpackQuiz(const std::vector<PeResource>& resources, UnpackedQuiz& out, std::string& error) {
    out = UnpackedQuiz{};
    const ResourceId patch = ResourceId::Named(QUIZ_RESOURCE_TYPE);
    const PeResource* content = Find(resources, patch, QUIZ_CONTENT_RESOURCE);
    if (content == nullptr || content->bytes.empty()) {
        error = "carries no quiz (no resource PATCH 104)";
        return false;
    }
    std::vector<uint8_t> text;
    bool plain =
        Decode(content->bytes, false, text) && ContentIsPlausible(text.data(), text.size());
    if (!plain) {
        if (!Decode(content->bytes, true, text) || !ContentIsPlausible(text.data(), text.size())) {
            error = "its quiz content cannot be decoded, neither as stored nor deciphered";
            return false;
        }
        out.enciphered = true;
    }
    QuizSource& quiz = out.project.quiz;
    if (!ParseContentSource(text.data(), text.size(), quiz, error)) return false;

    const PeResource* codes = Find(resources, patch, QUIZ_CODES_RESOURCE);
    std::vector<uint8_t> codesText;
    if (codes != nullptr && Decode(codes->bytes, out.enciphered, codesText)) {
        quiz.codes = ParseCodesSource(codesText.data(), codesText.size(), quiz.questions.size());
    } else {
        out.notes.push_back("its reward codes (PATCH 105) cannot be decoded; none kept");
    }

    ReadJudging(resources, out);

    out.project.media.resize(quiz.questions.size());
    const bool answerPictures =
        quiz.mediaKind == MEDIA_PICTURE &&
        (quiz.displayMode == 1 || quiz.displayMode == 3 || quiz.displayMode == 6);
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        const int q = static_cast<int>(i) + 1;
        QuizQuestionMedia& m = out.project.media[i];
        if (quiz.mediaKind == MEDIA_PICTURE) {
            if (!TakePicture(resources, QUIZ_MEDIA_BASE + q, "picture", q, out, m.picture)) {
                out.notes.push_back("question " + std::to_string(q) + " has no picture");
            }
        } else if (quiz.mediaKind == MEDIA_SOUND || quiz.mediaKind == MEDIA_VIDEO) {
            const PeResource* clip = Find(resources, ResourceId::Named("IMG"), QUIZ_MEDIA_BASE + q);
            if (clip == nullptr) {
                out.notes.push_back("question " + std::to_string(q) + " has no clip");
                continue;
            }
            std::string extension = ClipExtension(clip->bytes);
            for (char& c : extension) {
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            }
            m.clip = Numbered("clip", q, extension == "xxx" ? "bin" : extension);
            out.files.push_back(UnpackedFile{m.clip, clip->bytes});
        }
        if (answerPictures) {
            TakePicture(resources, QUIZ_ANSWER_PICTURE_BASE + q, "answer", q, out, m.answerPicture);
        }
    }
    return true;
}
