#include "authoring/quiz_resources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "images/png_decoder.h"
#include "page/media_logic.h"
#include "quiz/quiz_format.h"
#include "quiz/quiz_record.h"
#include "authoring/file_output.h"

namespace {

// The whole player is mapped into the pupil's 32-bit address space at start;
// a few hundred megabytes of clips would keep it from starting at all.
constexpr uint64_t kMaxMediaTotal = 256ull << 20;

uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
           static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

std::string PixelLimitText() {
    return std::to_string(MAX_PICTURE_PIXELS / 1000000) + " megapixels";
}

// Decoding a picture takes a few bytes per pixel, in the pupil's 32-bit
// player; above the limit it would fail or take the memory the player needs.
bool PixelsShown(uint64_t width, uint64_t height, const char* format, std::string& why) {
    if (width * height <= MAX_PICTURE_PIXELS) return true;
    why = std::string("a ") + format + " picture of " + std::to_string(width) + "\xC3\x97" +
          std::to_string(height) + " pixels, more than the player shows (at most " +
          PixelLimitText() + ")";
    return false;
}

// A JPEG file is a run of marker segments; the picture's size lives in the
// start-of-frame segment (SOF0-SOF15 but for DHT C4, JPG C8 and DAC CC),
// which must come before the first scan (SOS DA).
bool JpegHasFrame(const std::vector<uint8_t>& b, std::string& why) {
    size_t pos = 2;
    while (pos < b.size()) {
        if (b[pos] != 0xFF || b.size() - pos < 2) break;
        const uint8_t marker = b[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2;  // markers without a length
            continue;
        }
        if (b.size() - pos < 4) break;
        size_t length = static_cast<size_t>(b[pos + 2]) << 8 | b[pos + 3];
        if (length < 2 || length > b.size() - pos - 2) break;
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) break;
            unsigned height = static_cast<unsigned>(b[pos + 5]) << 8 | b[pos + 6];
            unsigned width = static_cast<unsigned>(b[pos + 7]) << 8 | b[pos + 8];
            if (width == 0 || height == 0) {
                why = "a JPEG picture without a size";
                return false;
            }
            return PixelsShown(width, height, "JPEG", why);
        }
        if (marker == 0xDA || marker == 0xD9) break;
        pos += 2 + length;
    }
    why = "a damaged JPEG picture (no frame header before the image data)";
    return false;
}

// PNG: the 8-byte signature, then IHDR (13 bytes) first with a non-zero
// size and a bit depth that its colour type allows.
bool PngHeaderIsSound(const std::vector<uint8_t>& b, std::string& why) {
    why = "a damaged PNG picture (bad IHDR chunk)";
    if (b.size() < 8 + 8 + 13) return false;
    if (BigEndian32(b, 8) != 13 || std::string(b.begin() + 12, b.begin() + 16) != "IHDR") {
        return false;
    }
    uint32_t width = BigEndian32(b, 16), height = BigEndian32(b, 20);
    uint8_t depth = b[24], colour = b[25];
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return false;
    if (!PixelsShown(width, height, "PNG", why)) return false;
    bool depthOk = false;
    switch (colour) {
        case 0:
            depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
            break;
        case 3:
            depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
            break;
        case 2:
        case 4:
        case 6:
            depthOk = depth == 8 || depth == 16;
            break;
        default:
            break;
    }
    if (!depthOk || b[26] != 0 || b[27] != 0 || b[28] > 1) return false;
    // The player shows PNG pictures with its own decoder: whatever it
    // cannot decode would stay blank on the page.
    if (b.size() > UINT32_MAX) return false;
    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    const bool decoded =
        OpenPngMemory(&decoder, b.data(), static_cast<uint32_t>(b.size()), PNG_SOURCE_MEMORY) &&
        ParsePngChunks(&decoder) && DecodePngImage(&decoder);
    const uint32_t error = decoder.lastError;
    ReleasePngDecoder(&decoder);
    if (!decoded) {
        why = error == PNG_ERROR_UNSUPPORTED
                  ? "a PNG picture the player cannot show (unsupported)"
                  : "a damaged PNG picture (its image data does not decode)";
    }
    return decoded;
}

struct MediaRead {
    const QuizProject& project;
    const std::string& sourceName;
    std::vector<std::string>& problems;
    uint64_t total = 0;
    bool ok = true;

    void Problem(const std::string& field, const std::string& what) {
        problems.push_back(sourceName + ": " + field + ": " + what);
        ok = false;
    }

    bool Read(const std::string& field, const std::string& path, uint64_t maxBytes,
              const char* kind, std::vector<uint8_t>& bytes) {
        std::string why;
        if (!ReadRegularFile(path, maxBytes, bytes, why)) {
            if (bytes.empty() && why.rfind("larger", 0) == 0)
                why += std::string(", the limit for ") + kind;
            Problem(field, "cannot read '" + path + "': " + why);
            return false;
        }
        if (bytes.empty()) {
            Problem(field, "'" + path + "' is empty");
            return false;
        }
        total += bytes.size();
        return true;
    }

    // A picture or answer picture: JPEG goes to "IMG", PNG to RT_RCDATA.
    void Picture(const std::string& field, const std::string& path, int id, bool answer,
                 std::vector<QuizResource>& out) {
        std::vector<uint8_t> bytes;
        if (!Read(field, path, MAX_PICTURE_BYTES, "a picture", bytes)) return;
        std::string why;
        MediaFileKind kind = PictureFileKind(bytes, why);
        if (kind != MEDIA_FILE_JPEG && kind != MEDIA_FILE_PNG) {
            Problem(field, "'" + path + "' is " + why);
            return;
        }
        QuizResource r;
        r.name = ResourceId::Number(static_cast<uint16_t>(id));
        if (kind == MEDIA_FILE_PNG) {
            r.type = ResourceId::Number(RESOURCE_TYPE_RCDATA);
        } else {
            r.type = ResourceId::Named("IMG");
            if (answer) SwapNibbles(bytes);  // the player unswaps "IMG" above 10000
        }
        r.bytes = std::move(bytes);
        out.push_back(std::move(r));
    }

    void Clip(const std::string& field, const std::string& path, int id,
              std::vector<QuizResource>& out) {
        std::vector<uint8_t> bytes;
        if (!Read(field, path, MAX_CLIP_BYTES, "a clip", bytes)) return;
        if (ClipExtension(bytes) == "XXX") {
            Problem(field, "'" + path +
                               "' is not a clip the player recognises (MP3 with an ID3 tag or "
                               "MPEG audio, WAV, AVI, WMV/ASF or MPEG video)");
            return;
        }
        QuizResource r;
        r.type = ResourceId::Named("IMG");
        r.name = ResourceId::Number(static_cast<uint16_t>(id));
        r.bytes = std::move(bytes);
        out.push_back(std::move(r));
    }
};

}  // namespace

MediaFileKind PictureFileKind(const std::vector<uint8_t>& bytes, std::string& why) {
    static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return JpegHasFrame(bytes, why) ? MEDIA_FILE_JPEG : MEDIA_FILE_UNKNOWN;
    }
    if (bytes.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, bytes.begin())) {
        return PngHeaderIsSound(bytes, why) ? MEDIA_FILE_PNG : MEDIA_FILE_UNKNOWN;
    }
    why = "neither a JPEG nor a PNG picture";
    return MEDIA_FILE_UNKNOWN;
}

// The player names a clip from a few of its bytes (SniffClipExtension) and
// hands it to the media player under that name; a file whose first byte
// merely happens to match (a text starting with "I") would then fail at the
// pupil's. The tool also wants the signature of the kind the player sees.
std::string ClipExtension(const std::vector<uint8_t>& b) {
    static const uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                           0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    const std::string kind = SniffClipExtension(b.data(), b.size());
    auto starts = [&b](size_t at, const char* text) {
        const size_t n = std::strlen(text);
        return b.size() >= at + n && std::memcmp(b.data() + at, text, n) == 0;
    };
    bool confirmed = false;
    if (kind == "MP3") {
        confirmed = starts(0, "ID3") || b[0] == 0xFF;  // a tag, or the player's MPEG audio frame
    } else if (kind == "WAV" || kind == "AVI") {
        confirmed = starts(0, "RIFF") && starts(8, kind == "WAV" ? "WAVE" : "AVI ");
    } else if (kind == "WMV") {
        confirmed = b.size() >= 16 && std::memcmp(b.data(), kAsfHeader, 16) == 0;
    } else if (kind == "MPG") {
        confirmed = b[0] == 0 && b[1] == 0 && b[2] == 1 && (b[3] == 0xBA || b[3] == 0xB3);
    }
    return confirmed ? kind : "XXX";
}

void SwapNibbles(std::vector<uint8_t>& bytes) {
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((b << 4) | (b >> 4));
}

bool IsQuizResource(const ResourceId& type, const ResourceId& name) {
    if (name.isString) return false;
    const int n = name.number;
    if (type == ResourceId::Named(QUIZ_RESOURCE_TYPE)) {
        return n == QUIZ_CONTENT_RESOURCE || n == QUIZ_CODES_RESOURCE || n == QUIZ_JUDGING_RESOURCE;
    }
    if (type == ResourceId::Named("IMG") || type == ResourceId::Number(RESOURCE_TYPE_RCDATA)) {
        bool picture = n > QUIZ_MEDIA_BASE && n <= QUIZ_MEDIA_BASE + QUIZ_MAX_QUESTIONS;
        bool answer =
            n > QUIZ_ANSWER_PICTURE_BASE && n <= QUIZ_ANSWER_PICTURE_BASE + QUIZ_MAX_QUESTIONS;
        return picture || answer;
    }
    return false;
}

bool MakeQuizResources(const QuizProject& project, const std::string& sourceName, bool encipher,
                       std::vector<QuizResource>& out, std::vector<std::string>& problems) {
    out.clear();
    const size_t problemsBefore = problems.size();
    std::vector<QuizResource> resources;

    WrittenQuiz written;
    std::string error;
    if (problemsBefore == 0) {
        if (WriteQuiz(project.quiz, encipher, written, error)) {
            const ResourceId patch = ResourceId::Named(QUIZ_RESOURCE_TYPE);
            QuizResource content, codes;
            content.type = codes.type = patch;
            content.name = ResourceId::Number(QUIZ_CONTENT_RESOURCE);
            codes.name = ResourceId::Number(QUIZ_CODES_RESOURCE);
            content.bytes = std::move(written.content);
            codes.bytes = std::move(written.codes);
            resources.push_back(std::move(content));
            resources.push_back(std::move(codes));
            if (!written.judging.empty()) {
                QuizResource judging;
                judging.type = patch;
                judging.name = ResourceId::Number(QUIZ_JUDGING_RESOURCE);
                judging.bytes = std::move(written.judging);
                resources.push_back(std::move(judging));
            }
        } else {
            problems.push_back(sourceName + ": " + error);
        }
    }

    MediaRead media{project, sourceName, problems};
    for (size_t i = 0; i < project.media.size(); ++i) {
        const QuizQuestionMedia& m = project.media[i];
        const int q = static_cast<int>(i) + 1;
        const std::string field = "questions[" + std::to_string(i) + "].";
        if (!m.picture.empty()) {
            media.Picture(field + "picture", m.picture, QUIZ_MEDIA_BASE + q, false, resources);
        }
        if (!m.answerPicture.empty()) {
            media.Picture(field + "answerPicture", m.answerPicture, QUIZ_ANSWER_PICTURE_BASE + q,
                          true, resources);
        }
        if (!m.clip.empty()) media.Clip(field + "clip", m.clip, QUIZ_MEDIA_BASE + q, resources);
    }
    if (media.total > kMaxMediaTotal) {
        problems.push_back(sourceName + ": questions: the media files add up to " +
                           std::to_string(media.total >> 20) + " MiB, at most " +
                           std::to_string(kMaxMediaTotal >> 20));
    }
    // Problems found before this call (the JSON's) fail it as well: their
    // quiz was never written.
    if (problemsBefore != 0 || problems.size() != problemsBefore) return false;
    out = std::move(resources);
    return true;
}

bool LoadQuizResources(const std::string& jsonPath, bool encipher, QuizProject& project,
                       std::vector<QuizResource>& out, std::vector<std::string>& problems) {
    const bool sourceOk = LoadQuizJson(jsonPath, project, problems);
    const bool mediaOk = MakeQuizResources(project, jsonPath, encipher, out, problems);
    return sourceOk && mediaOk;
}

bool PlayerImageWithQuiz(const std::vector<uint8_t>& player, const std::vector<QuizResource>& quiz,
                         std::vector<uint8_t>& out, std::string& error) {
    std::vector<PeResource> resources;
    if (!ReadPeResources(player, resources, error)) return false;
    std::vector<PeResource> kept;
    for (PeResource& r : resources) {
        if (!IsQuizResource(r.type, r.name)) kept.push_back(std::move(r));
    }
    kept.insert(kept.end(), quiz.begin(), quiz.end());
    return ReplacePeResources(player, kept, out, error);
}
