#include "authoring/csv_import.h"

#include <cctype>
#include <filesystem>

#include "authoring/windows1252.h"

namespace {

// The separator the first record uses most, outside quotes; ';' on a tie,
// as French spreadsheets write it.
char DetectSeparator(const std::string& text) {
    size_t semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') break;
        semicolons += c == ';';
        tabs += c == '\t';
        commas += c == ',';
    }
    if (tabs > semicolons && tabs >= commas) return '\t';
    if (commas > semicolons && commas > tabs) return ',';
    return ';';
}

struct Record {
    size_t line;  // where it starts
    std::vector<std::string> cells;
};

// Splits the text into records; a quote left open swallows the rest and is
// reported.
std::vector<Record> SplitRecords(const std::string& text, char separator,
                                 std::vector<std::string>& problems) {
    std::vector<Record> records;
    Record record{1, {std::string()}};
    size_t line = 1;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                record.cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                if (c != '\r') record.cells.back() += c;
            }
        } else if (c == '"' && record.cells.back().empty()) {
            quoted = true;
        } else if (c == separator) {
            record.cells.emplace_back();
        } else if (c == '\n') {
            records.push_back(std::move(record));
            record = Record{++line, {std::string()}};
        } else if (c != '\r') {
            record.cells.back() += c;
        }
    }
    if (quoted) {
        problems.push_back("ligne " + std::to_string(record.line) +
                           " : guillemet jamais ferm\xC3\xA9");
    } else {
        records.push_back(std::move(record));
    }
    return records;
}

bool IsBlank(const Record& r) {
    for (const std::string& cell : r.cells) {
        if (cell.find_first_not_of(" \t") != std::string::npos) return false;
    }
    return true;
}

}  // namespace

CsvImport ImportCsv(const std::string& bytes) {
    CsvImport result;
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    } else if (!IsWellFormedUtf8(text)) {
        text = Windows1252ToUtf8(text);
    }
    result.separator = DetectSeparator(text);
    std::vector<Record> records = SplitRecords(text, result.separator, result.problems);
    bool first = true;
    for (const Record& r : records) {
        if (IsBlank(r)) continue;
        if (first) {
            first = false;
            std::string head = r.cells[0].substr(0, 8);
            for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (head == "question") {
                result.header = true;
                continue;
            }
        }
        const size_t n = r.cells.size();
        if (n < CSV_MIN_COLUMNS || n > CSV_MAX_COLUMNS) {
            result.problems.push_back("ligne " + std::to_string(r.line) + " : " +
                                      std::to_string(n) + (n > 1 ? " colonnes" : " colonne") +
                                      ", il en faut de 2 \xC3\xA0 5");
            continue;
        }
        DocumentQuestion q;
        std::string* columns[] = {&q.prompt, &q.answer1, &q.answer2, &q.extraText, &q.picture};
        for (size_t i = 0; i < n; ++i) *columns[i] = r.cells[i];
        result.questions.push_back(std::move(q));
    }
    return result;
}

void AppendImported(QuizDocument& doc, const CsvImport& import, const std::string& tableDir) {
    const bool fresh = doc.questions.size() == 1 && DocumentJsonText(doc) ==
                                                        DocumentJsonText(NewDocument());
    if (fresh) {
        doc.questions.clear();
        for (const DocumentQuestion& q : import.questions) {
            if (!q.answer2.empty()) doc.answersPerQuestion = 2;
        }
    }
    for (DocumentQuestion q : import.questions) {
        if (!q.picture.empty()) {
            namespace fs = std::filesystem;
            fs::path media = fs::u8path(q.picture);
            if (media.is_relative()) media = fs::u8path(tableDir) / media;
            q.picture = media.lexically_normal().generic_u8string();
            if (doc.mediaKind == 2 || doc.mediaKind == 3) std::swap(q.picture, q.clip);
        }
        doc.questions.push_back(std::move(q));
    }
}
