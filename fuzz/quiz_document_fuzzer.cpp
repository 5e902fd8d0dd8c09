// Any bytes as what the Studio opens: a spreadsheet to import and a JSON quiz
// read as far as it goes. Never a crash; an imported row never has more cells
// than the columns it fills; a document read back from its own JSON text is
// the same document.
#include <cstddef>
#include <cstdint>
#include <string>

#include "authoring/csv_import.h"
#include "authoring/quiz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const CsvImport import = ImportCsv(bytes);
    if (import.questions.size() > size + 1) __builtin_trap();

    QuizDocument doc, again;
    if (DocumentFromJson(bytes, "", doc)) {
        const std::string text = DocumentJsonText(doc);
        if (!DocumentFromJson(text, "", again) || DocumentJsonText(again) != text) __builtin_trap();
    }
    return 0;
}
