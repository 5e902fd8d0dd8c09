#include "tools/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/authoring/fixture.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const std::string kDemo = BRELO_SOURCE_DIR "/resources/demo/pictures/";

// Every file of a folder, by name.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& f : fs::directory_iterator(fs::u8path(folder)))
        files[f.path().filename().u8string()] = ReadAll(f.path().u8string());
    return files;
}

PeResource Res(ResourceId type, uint16_t name, const std::string& b) {
    return {type, ResourceId::Number(name), 0x40C, 0, std::vector<uint8_t>(b.begin(), b.end())};
}

// The exit code and what went to stderr.
std::pair<int, std::string> Tool(std::vector<std::string> args) {
    args.insert(args.begin(), "brelo-make");
    std::ostringstream out, err;
    const int exit = RunBreloMake(args, out, err);
    return {exit, err.str()};
}

// Build over a player holding an older quiz, unpack: the same files come back.
TEST(Commands, BuildThenUnpackGivesTheSameSourceBack) {
    Scratch dir("roundtrip");
    const ResourceId img = ResourceId::Named("IMG");
    const std::vector<uint8_t> player =
        MakeFixtureImage({Res(ResourceId::Number(5), 1001, "dialog"),
                          Res(ResourceId::Named("PATCH"), 104, "old quiz"), Res(img, 405, "old"),
                          Res(img, 10496, "old"), Res(ResourceId::Number(10), 402, "old")});
    dir.Write("brelo.exe", {player.begin(), player.end()});
    const char* kinds[] = {"text", "picture", "sound", "video"};
    const char* clipTypes[] = {".mp3", ".wav", ".avi"};  // with the shortest clips the player takes
    const struct {
        int media, mode, answers;
        bool encipher;
    } rows[] = {{0, 0, 1, false}, {1, 1, 2, true},  {2, 2, 1, false}, {1, 3, 2, false},
                {3, 4, 2, true},  {0, 5, 1, false}, {1, 6, 1, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode);
        const std::string id = std::to_string(row.mode);
        Scratch source("q" + id);
        auto q = nlohmann::ordered_json::parse(R"({"title": "Châteaux de la Loire",
            "author": "Zoé Œ", "explanations": "Trouvez l'œuvre", "answerLabel1": "Nom :",
            "answerLabel2": "Siècle :", "media": 0, "displayMode": 0, "answersPerQuestion": 0,
            "accents": "tolerated", "color": "#203C78", "questions": [], "codes": ["", "C0DÉ"]})");
        if (!row.encipher) q.erase("accents");
        q["media"] = kinds[row.media];
        q["displayMode"] = row.mode;
        q["answersPerQuestion"] = row.answers;
        // The player reads JPEG and clips from IMG (answers nibble-swapped), PNG from RCDATA.
        std::map<std::string, std::string> expected = {{"5/1001/1036", "dialog"}};
        for (int n = 1; n <= 3; ++n) {
            const std::string num = std::to_string(n);
            nlohmann::ordered_json item = {{"answer1", "Réponse " + num}};
            if (n == 2) item["answer1"] = {"Réponse 2", "Rép. 2", "R 2"};
            if (row.answers == 2) item["answer2"] = "Époque " + num;
            if (row.answers == 2 && n == 3) item["answer2"] = {"Époque 3", "Ère 3"};
            item["prompt"] = "Question n°" + num;
            if (row.mode != 0 && row.mode != 5) item["extraText"] = "Indice … " + num;
            if (row.mode == 3 || row.mode == 6) item["extraText2"] = "Caché " + num;
            auto medium = [&](const char* field, const std::string& name, const std::string& bytes,
                              const std::string& resource, bool swapped) {
                item[field] = name;
                source.Write(name, bytes);
                std::string& stored = expected[resource + "/0"] = bytes;
                for (char& c : stored)
                    c = swapped ? static_cast<char>((c & 15) << 4 | (c >> 4 & 15)) : c;
            };
            const std::string type = n == 2 ? "10/" : "IMG/", ext = n == 2 ? ".png" : ".jpg";
            if (row.media == 1)
                medium("picture", "picture0" + num + ext, ReadAll(kDemo + "flag" + num + ext),
                       type + "40" + num, false);
            if (row.media == 1 && (row.mode == 1 || row.mode == 3 || row.mode == 6)) {
                medium("answerPicture", "answer0" + num + ext,
                       ReadAll(kDemo + "answer" + num + ext), type + "1040" + num, n != 2);
            }
            const std::string clip =
                n == 1 ? "ID3\3\0\0\0\0"s + num
                       : "RIFF"s + num + (n == 2 ? "\0\0\0WAVEfmt "s : "\0\0\0AVI "s);
            if (row.media >= 2)
                medium("clip", "clip0" + num + clipTypes[n - 1], clip, "IMG/40" + num, false);
            q["questions"].push_back(item);
        }
        source.Write("quiz.json", q.dump(2) + "\n");

        const std::string exe = dir.Path(id + ".exe"), out = dir.Path(id);
        std::vector<std::string> build = {"build",    source.Path("quiz.json"), "-o", exe,
                                          "--player", dir.Path("brelo.exe")};
        if (row.encipher) build.push_back("--encipher");
        ASSERT_EQ(Tool(build), std::make_pair(EXIT_OK, ""s));
        // The player's own resources stay, every old quiz resource goes.
        const std::string image = ReadAll(exe);
        std::vector<PeResource> list;
        std::string error;
        ASSERT_TRUE(ReadPeResources({image.begin(), image.end()}, list, error)) << error;
        std::map<std::string, std::string> resources;
        for (const PeResource& r : list)
            resources[r.type.Describe() + "/" + r.name.Describe() + "/" +
                      std::to_string(r.language)] = {r.bytes.begin(), r.bytes.end()};
        EXPECT_EQ(resources.erase("PATCH/104/0") + resources.erase("PATCH/105/0") +
                      resources.erase("PATCH/106/0"),
                  3u);
        EXPECT_EQ(resources, expected);

        const auto [unpacked, unpackErr] = Tool({"unpack", exe, "-o", out});
        ASSERT_EQ(unpacked, EXIT_OK) << unpackErr;
        EXPECT_EQ(unpackErr.find("enciphered") != std::string::npos, row.encipher);
        EXPECT_EQ(Files(out), Files(source.Path()));
    }
}

// Every refusal names the file and field, leaving nothing behind ($: the folder).
TEST(Commands, RefusesWhatItCannotUseAndLeavesNothingBehind) {
    std::string badData = ReadAll(kDemo + "flag2.png"), huge = badData;
    badData[badData.find("IDAT") + 6] = 7;  // a deflate block of the reserved type
    for (int i = 0; i < 8; ++i) huge[16 + i] = "\0\0\xB3\xB0"[i % 4];  // 46000 x 46000
    const std::vector<uint8_t> fixture = MakeFixtureImage({Res(ResourceId::Number(5), 1001, "d")});
    const std::string player(fixture.begin(), fixture.end());  // no quiz
    Scratch dir("refusals",
                {{"q.json", R"({"title": "T", "questions": [{"answer1": "a"}]})"},
                 {"clips.json", R"({"title": "T", "media": "sound", "questions": [
        {"answer1": "a", "clip": "i.mp3"}, {"answer1": "b", "clip": "j.wmv"}]})"},
                 {"c.jpg", "hello"},
                 {"d.jpg", "\xFF\xD8\xFF\xDA\x00\x02\xFF\xD9"s},
                 {"f.png", badData},
                 {"huge.png", huge},
                 {"huge.jpg", "\xFF\xD8\xFF\xC0\x00\x11\x08\xB3\xB0\xB3\xB0"s + std::string(10, 0)},
                 {"big.png", ""},
                 {"i.mp3", "I am not a clip"},
                 {"j.wmv", "0 nor am I"},
                 {"text.exe", "just text"},
                 {"empty.exe", player},
                 {"full/keep.txt", "mine"},
                 {"keep.partial/mine.txt", "mine"},
                 {"victim.txt", "mine"}});
    fs::resize_file(dir.dir / "big.png", (16 << 20) + 1);  // sparse: nothing is written
    std::string picturesJson = R"({"media": "picture", "questions": [
        {"answer1": "a", "picture": "a.jpg", "prompt": "caf\u00e9 \u2192"},
        {"answer1": "a", "picture": "c.jpg"}, {"answer1": "a", "picture": "d.jpg"},
        {"answer1": "a", "picture": "f.png"}, {"answer1": "a", "picture": "full"},
        {"answer1": "a", "picture": "big.png"}, {"answer1": "a", "picture": "huge.png"},
        {"answer1": "a", "picture": "huge.jpg"})";
    auto p = [&dir](const char* name) { return dir.Path(name); };
    auto build = [&p](const char* output, const char* from, const char* quiz = "q.json") {
        return std::vector<std::string>{"build", p(quiz), "-o", p(output), "--player", p(from)};
    };
#ifndef _WIN32
    // Work in progress never goes through a name the user had.
    fs::create_symlink("victim.txt", dir.dir / "q.exe.partial");
#endif
    ASSERT_EQ(Tool(build("q.exe", "empty.exe")).first, EXIT_OK);
    const std::string at = "$/pictures.json: questions[", clip = "$/clips.json: questions[";
    const std::string megapixels = " pixels, more than the player shows (at most 16 megapixels)";
    auto lines = [](const std::vector<std::string>& list) {
        std::string text;
        for (const std::string& line : list) text += line + "\n";
        return text;
    };
    std::string pictures = lines(
        {"$/pictures.json: title: missing",
         at + "0].prompt: character '\xE2\x86\x92' (U+2192) has no Windows-1252 form",
         at + "0].picture: cannot read '$/a.jpg': no such file",
         at + "1].picture: '$/c.jpg' is neither a JPEG nor a PNG picture",
         at + "2].picture: '$/d.jpg' is a damaged JPEG picture (no frame header before the image "
              "data)",
         at + "3].picture: '$/f.png' is a damaged PNG picture (its image data does not decode)",
         at + "4].picture: cannot read '$/full': a folder, not a file",
         at + "5].picture: cannot read '$/big.png': larger than 16 MiB, the limit for a picture",
         at + "6].picture: '$/huge.png' is a PNG picture of 46000\u00D746000" + megapixels,
         at + "7].picture: '$/huge.jpg' is a JPEG picture of 46000\u00D746000" + megapixels});
#ifndef _WIN32
    // A pipe is never opened; a read error half-way is reported.
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    picturesJson +=
        R"(, {"answer1": "a", "picture": "fifo"}, {"answer1": "a", "picture": "/proc/self/mem"})";
    pictures += lines(
        {at + "8].picture: cannot read '$/fifo': not a regular file (a device, a pipe or a socket)",
         at + "9].picture: cannot read '/proc/self/mem': read error (Input/output error)"});
#endif
    dir.Write("pictures.json", picturesJson + "]}");
    const std::string notAClip =
        "' is not a clip the player recognises (MP3 with an ID3 tag or MPEG audio, WAV, AVI, "
        "WMV/ASF or MPEG video)";
    const std::string clips =
        lines({clip + "0].clip: '$/i.mp3" + notAClip, clip + "1].clip: '$/j.wmv" + notAClip});
    const struct {
        int exit;
        std::vector<std::string> args;
        std::string err;  // the start of the message
    } rows[] = {
        {2, {}, "brelo-make: no command given\n"},
        {2, {"make", "q.json"}, "brelo-make: unknown command 'make'\n"},
        {2, {"build", "q.json"}, "brelo-make: build needs -o QUIZ.exe\n"},
        {2, {"build", "q.json", "-o"}, "brelo-make: '-o' needs a value\n"},
        {2, {"unpack", "--encipher"}, "brelo-make: '--encipher' is not an option of unpack\n"},
        {1, {"check", p("full")}, "$/full: cannot read: a folder, not a file\n"},
        {1,
         {"check", p("pictures.json")},
         pictures + "$/pictures.json: " +
             std::to_string(std::count(pictures.begin(), pictures.end(), '\n')) + " problems\n"},
        {1, build("out.exe", "empty.exe", "pictures.json"), pictures},
        {1, {"check", p("clips.json")}, clips + "$/clips.json: 2 problems\n"},
        {1, build("a.exe", "text.exe"), "$/text.exe: not a Windows program (no MZ header)\n"},
        {1, build("empty.exe", "empty.exe"),
         "$/empty.exe: is the player itself; choose another output file\n"},
        {1, build("full", "empty.exe"), "$/full: "},
        {1,
         {"unpack", p("empty.exe"), "-o", p("out")},
         "$/empty.exe: carries no quiz (no resource PATCH 104)\n"},
        {1,
         {"unpack", p("q.exe"), "-o", p("full")},
         "$/full: already exists and is not an empty folder\n"}};
    auto entries = [&dir] { return std::distance(fs::directory_iterator(dir.dir), {}); };
    const auto before = entries();
    for (const auto& row : rows) {
        std::string expected = row.err;
        for (size_t i; (i = expected.find("$/")) != std::string::npos;)
            expected.replace(i, 2, p(""));
        SCOPED_TRACE(expected);
        const auto [exit, err] = Tool(row.args);
        EXPECT_EQ(exit, row.exit);
        EXPECT_EQ(err.rfind(expected, 0), 0u) << err;
        EXPECT_EQ(err.find("usage: brelo-make check") != std::string::npos, exit == EXIT_USAGE);
    }
    EXPECT_EQ(entries(), before);  // no output, no work in progress left
    EXPECT_EQ(Files(p("full")), (std::map<std::string, std::string>{{"keep.txt", "mine"}}));
    EXPECT_EQ(ReadAll(p("empty.exe")), player);
    ASSERT_EQ(Tool({"unpack", p("q.exe"), "-o", p("keep")}).first, EXIT_OK);
    EXPECT_EQ(ReadAll(p("victim.txt")) + ReadAll(p("keep.partial/mine.txt")), "minemine");
}

// Answers files judged as the player judges them, gathered in a French spreadsheet.
TEST(Commands, ResultsJudgeEveryAnswersFileIntoOneSpreadsheet) {
    Scratch dir("results",
                {{"quiz.json", R"({"title": "T", "media": "sound", "answersPerQuestion": 2,
                     "codes": ["UN", "ÉTÉ"], "questions": [
                     {"answer1": "Paris", "answer2": "Seine", "clip": "a.mp3"},
                     {"answer1": "Rome", "answer2": "Tibre", "clip": "b.mp3"}]})"},
                 {"anne.txt", "Paris\r\nSeine\r\nrome\r\nTibre\r\n"},
                 {"bob/quiz.txt", "Paris\n"},  // short: the rest is empty
                 {"bob/notes.doc", "not searched"},
                 {"chloe.txt", "=1+1;\"x\"\r\nSeine\r\nRome\r\nTibre\r\nencore\r\n"},
                 {"zero.txt", "Paris\r\n\0\r\n"s},
                 {"big.txt", std::string(4 * 261 + 1, 'a')}});
    auto p = [&dir](const char* name) { return dir.Path(name); };
    std::ostringstream out, err;
    EXPECT_EQ(RunBreloMake({"brelo-make", "results", p("quiz.json"), p("anne.txt"), p("bob"),
                            p("chloe.txt"), p("zero.txt"), p("big.txt"), "-o", p("classe.csv")},
                           out, err),
              EXIT_PROBLEMS);  // written, but two files were skipped
    EXPECT_EQ(err.str(), p("chloe.txt") +
                             ": warning: more lines than the quiz has answer fields; "
                             "it may belong to another quiz\n" +
                             p("zero.txt") + ": skipped: holds a NUL byte, not an answers file\n" +
                             p("big.txt") +
                             ": skipped: longer than any answers file of this quiz (1044 bytes), "
                             "not an answers file\n");
    EXPECT_EQ(ReadAll(p("classe.csv")),
              "\xEF\xBB\xBF\xC3\x89l\xC3\xA8ve;Score (sur 2);Code;Q1.1 r\xC3\xA9ponse;Q1.1 verdict;"
              "Q1.2 r\xC3\xA9ponse;Q1.2 verdict;Q2.1 r\xC3\xA9ponse;Q2.1 verdict;"
              "Q2.2 r\xC3\xA9ponse;Q2.2 verdict\r\n"
              "anne;2;\xC3\x89T\xC3\x89;Paris;BRAVO;Seine;BRAVO;rome;BRAVO;Tibre;BRAVO\r\n"
              "bob;0;;Paris;BRAVO;;?;;?;;?\r\n"
              "chloe;1;UN;\"'=1+1;\"\"x\"\"\";FAUX;Seine;BRAVO;Rome;BRAVO;Tibre;BRAVO\r\n"
              "R\xC3\xA9ussite;1,0;;33 %;;;;67 %;;;\r\n");
    EXPECT_NE(out.str().find("class average: 1.0 / 2 (3 pupils)"), std::string::npos) << out.str();
}

}  // namespace
