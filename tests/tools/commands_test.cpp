#include "tools/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "tests/tools/pe_fixture.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A scratch folder with a random name (the native and sanitizer builds may
// test at once), removed afterwards.
struct Scratch {
    fs::path dir;
    explicit Scratch(const std::string& name)
        : dir(fs::temp_directory_path() /
              ("brelo-make-" + std::to_string(std::random_device{}()) + "-" + name)) {
        fs::create_directories(dir);
    }
    ~Scratch() { fs::remove_all(dir); }
    std::string Path(const std::string& name = "") const { return (dir / name).generic_u8string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
};

std::string Read(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Demo(const std::string& picture) {
    return Read(BRELO_SOURCE_DIR "/resources/demo/pictures/"s + picture);
}

// Every file of a folder, by name.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& f : fs::directory_iterator(fs::u8path(folder)))
        files[f.path().filename().u8string()] = Read(f.path().u8string());
    return files;
}

// Every resource of a program, as "type/name/language".
std::map<std::string, std::string> Resources(const std::string& exe) {
    const std::string image = Read(exe);
    std::vector<PeResource> list;
    std::string error;
    EXPECT_TRUE(ReadPeResources({image.begin(), image.end()}, list, error)) << exe << error;
    std::map<std::string, std::string> map;
    for (const PeResource& r : list) {
        map[r.type.Describe() + "/" + r.name.Describe() + "/" + std::to_string(r.language)] = {
            r.bytes.begin(), r.bytes.end()};
    }
    return map;
}

PeResource Res(ResourceId type, int name, const std::string& bytes) {
    return {type,
            ResourceId::Number(static_cast<uint16_t>(name)),
            0x40C,
            0,
            {bytes.begin(), bytes.end()}};
}

std::string Player(const std::vector<PeResource>& resources) {
    const std::vector<uint8_t> image = MakeFixtureImage(resources);
    return std::string(image.begin(), image.end());
}

struct Result {
    int exit;
    std::string out, err;
};

Result Tool(std::vector<std::string> args) {
    args.insert(args.begin(), "brelo-make");
    std::ostringstream out, err;
    const int exit = RunBreloMake(args, out, err);
    return Result{exit, out.str(), err.str()};
}

// Each row builds a player over one that carries an older quiz, then unpacks
// it: the JSON and media must come back byte for byte.
TEST(Commands, BuildThenUnpackGivesTheSameSourceBack) {
    Scratch dir("roundtrip");
    const ResourceId img = ResourceId::Named("IMG"), rcdata = ResourceId::Number(10);
    dir.Write("brelo.exe",
              Player({Res(ResourceId::Number(5), 1001, "dialog"),
                      Res(ResourceId::Named("PATCH"), 104, "old quiz"), Res(img, 405, "old"),
                      Res(img, 10496, "old"), Res(rcdata, 402, "old")}));
    const char* kinds[] = {"text", "picture", "sound", "video"};
    const struct {
        int media, mode, answers;
        bool encipher;
    } rows[] = {{0, 0, 1, false}, {1, 1, 2, true},  {2, 2, 1, false}, {1, 3, 2, false},
                {3, 4, 2, true},  {0, 5, 2, false}, {1, 6, 1, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mode);
        const std::string id = std::to_string(row.mode);
        Scratch source("q" + id);
        auto q = nlohmann::ordered_json::parse(R"({"title": "Châteaux de la Loire",
            "author": "Zoé Œ", "explanations": "Trouvez l'œuvre", "answerLabel1": "Nom :",
            "answerLabel2": "Siècle :", "media": 0, "displayMode": 0, "answersPerQuestion": 0,
            "color": "#203C78", "questions": [], "codes": ["", "C0DÉ"]})");
        q["media"] = kinds[row.media];
        q["displayMode"] = row.mode;
        q["answersPerQuestion"] = row.answers;
        // Where the player looks for each medium: JPEG under "IMG" (answers
        // nibble-swapped), PNG under RT_RCDATA, clips under "IMG".
        std::map<std::string, std::string> expected = {{"5/1001/1036", "dialog"}};
        for (int n = 1; n <= 3; ++n) {
            const std::string num = std::to_string(n);
            nlohmann::ordered_json item = {{"answer1", "Réponse " + num}};
            if (row.answers == 2) item["answer2"] = "Époque " + num;
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
                medium("picture", "picture0" + num + ext, Demo("flag" + num + ext),
                       type + "40" + num, false);
            if (row.media == 1 && (row.mode == 1 || row.mode == 3 || row.mode == 6)) {
                medium("answerPicture", "answer0" + num + ext, Demo("answer" + num + ext),
                       type + "1040" + num, n != 2);
            }
            const std::string clips[] = {"ID3\3\0\0\0\0"s + num, "RIFF"s + num + "\0\0\0WAVEfmt "s,
                                         "RIFF"s + num + "\0\0\0AVI "s};
            const char* clipTypes[] = {".mp3", ".wav", ".avi"};  // the shortest the player takes
            if (row.media >= 2)
                medium("clip", "clip0" + num + clipTypes[n - 1], clips[n - 1], "IMG/40" + num,
                       false);
            q["questions"].push_back(item);
        }
        source.Write("quiz.json", q.dump(2) + "\n");

        const std::string exe = dir.Path(id + ".exe"), out = dir.Path(id);
        std::vector<std::string> build = {"build",    source.Path("quiz.json"), "-o", exe,
                                          "--player", dir.Path("brelo.exe")};
        if (row.encipher) build.push_back("--encipher");
        const Result built = Tool(build);
        ASSERT_EQ(built.exit, EXIT_OK) << built.err;
        // The player's own resources stay, every old quiz resource goes.
        std::map<std::string, std::string> resources = Resources(exe);
        EXPECT_EQ(resources.erase("PATCH/104/0") + resources.erase("PATCH/105/0"), 2u);
        EXPECT_EQ(resources, expected);

        const Result unpacked = Tool({"unpack", exe, "-o", out});
        ASSERT_EQ(unpacked.exit, EXIT_OK) << unpacked.err;
        EXPECT_EQ(unpacked.err.find("enciphered") != std::string::npos, row.encipher);
        EXPECT_EQ(Files(out), Files(source.Path()));
    }
}

// `check` lists every problem of the quiz in `dir` ($ stands for the folder);
// `build` refuses the same way and writes nothing.
void ExpectRefused(const Scratch& dir, const std::vector<std::string>& problems) {
    std::string expected;
    for (std::string line : problems) {
        for (size_t at; (at = line.find("$/")) != std::string::npos;)
            line.replace(at, 2, dir.Path());
        expected += line + "\n";
    }
    const Result r = Tool({"check", dir.Path("q.json")});
    EXPECT_EQ(r.exit, EXIT_PROBLEMS);
    EXPECT_EQ(r.err, expected + dir.Path("q.json") + ": " + std::to_string(problems.size()) +
                         (problems.size() == 1 ? " problem\n" : " problems\n"));
    dir.Write("brelo.exe", Player({}));
    const Result b = Tool({"build", dir.Path("q.json"), "-o", dir.Path("out.exe"), "--player",
                           dir.Path("brelo.exe")});
    EXPECT_EQ(b.exit, EXIT_PROBLEMS);
    EXPECT_EQ(b.err, expected);
    EXPECT_FALSE(fs::exists(dir.Path("out.exe")) || fs::exists(dir.Path("out.exe.partial")));
}

// Media are checked as the player reads them: pictures with its own PNG
// decoder or for a JPEG frame header, clips by their first nine bytes.
TEST(Commands, CheckListsEveryProblemAndBuildThenWritesNothing) {
    std::string badDepth = Demo("flag2.png"), badData = badDepth;
    badDepth[24] = 3;                       // RGB at 3 bits per sample does not exist
    badData[badData.find("IDAT") + 6] = 7;  // a deflate block of the reserved type
    Scratch pictures("check-pictures");
    pictures.Write("b.jpg", "");
    pictures.Write("c.jpg", "hello");
    pictures.Write("d.jpg", "\xFF\xD8\xFF\xDA\x00\x02\xFF\xD9"s);
    pictures.Write("e.png", badDepth);
    pictures.Write("f.png", badData);
    pictures.Write("g.png", Demo("flag2.png"));
    pictures.Write("q.json", R"({"media": "picture", "questions": [
        {"answer1": "a", "picture": "a.jpg"}, {"answer1": "a", "picture": "b.jpg"},
        {"answer1": "a", "picture": "c.jpg"}, {"answer1": "a", "picture": "d.jpg"},
        {"answer1": "a", "picture": "e.png"}, {"answer1": "a", "picture": "f.png"},
        {"answer1": "a", "picture": "g.png", "prompt": "caf\u00e9 \u2192"}]})");
    const std::string at = "$/q.json: questions[";
    ExpectRefused(
        pictures,
        {"$/q.json: title: missing",
         at + "6].prompt: character '\xE2\x86\x92' (U+2192) has no Windows-1252 form",
         at + "0].picture: cannot read '$/a.jpg'", at + "1].picture: '$/b.jpg' is empty",
         at + "2].picture: '$/c.jpg' is neither a JPEG nor a PNG picture",
         at + "3].picture: '$/d.jpg' is a damaged JPEG picture (no frame header before the image "
              "data)",
         at + "4].picture: '$/e.png' is a damaged PNG picture (bad IHDR chunk)",
         at + "5].picture: '$/f.png' is a damaged PNG picture (its image data does not decode)"});
    Scratch clips("check-clips");
    clips.Write("a.ogg", "OggS\0\2\0\0\0\0"s);
    clips.Write("b.mp3", "ID3\3\0\0\0\0"s);  // one byte short
    clips.Write("q.json", R"({"title": "T", "media": "sound", "questions": [
        {"answer1": "a", "clip": "a.ogg"}, {"answer1": "b", "clip": "b.mp3"}]})");
    const std::string notAClip =
        "' is not a clip the player recognises (MP3 with an ID3 tag or MPEG audio, WAV, AVI, "
        "WMV/ASF or MPEG video)";
    ExpectRefused(clips,
                  {at + "0].clip: '$/a.ogg" + notAClip, at + "1].clip: '$/b.mp3" + notAClip});
}

// A bad command line is refused with the usage; a file that cannot serve
// without it, leaving nothing behind.
TEST(Commands, RefusesWhatItCannotUseAndLeavesNothingBehind) {
    Scratch dir("refusals");
    auto p = [&dir](const char* name) { return dir.Path(name); };
    dir.Write("q.json", R"({"title": "T", "questions": [{"answer1": "a"}]})");
    dir.Write("text.exe", "just text");
    const std::string player = Player({Res(ResourceId::Number(5), 1001, "dialog")});
    dir.Write("empty.exe", player);  // a player without a quiz
    dir.Write("full/keep.txt", "mine");
    auto build = [&p](const char* output, const char* from) {
        return std::vector<std::string>{"build", p("q.json"), "-o", p(output), "--player", p(from)};
    };
    const Result built = Tool(build("q.exe", "empty.exe"));
    ASSERT_EQ(built.exit, EXIT_OK) << built.err;
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
        {1, {"check", p("full")}, p("full") + ": is a folder, not a quiz file\n"},
        {1, build("a.exe", "text.exe"), p("text.exe") + ": not a Windows program (no MZ header)\n"},
        {1, build("a.exe", "none.exe"), p("none.exe") + ": cannot be opened\n"},
        {1, build("empty.exe", "empty.exe"),
         p("empty.exe") + ": is the player itself; choose another output file\n"},
        {1, build("full", "empty.exe"), p("full") + ": "},
        {1,
         {"unpack", p("empty.exe"), "-o", p("out")},
         p("empty.exe") + ": carries no quiz (no resource PATCH 104)\n"},
        {1,
         {"unpack", p("q.exe"), "-o", p("full")},
         p("full") + ": already exists and is not an empty folder\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.err);
        const Result r = Tool(row.args);
        EXPECT_EQ(r.exit, row.exit);
        EXPECT_EQ(r.err.rfind(row.err, 0), 0u) << r.err;
        EXPECT_EQ(r.err.find("usage: brelo-make check") != std::string::npos,
                  row.exit == EXIT_USAGE);
    }
    // Wine's UpdateResource may report success without writing into a player
    // that has no resources yet: a build that succeeds must hold its quiz.
    dir.Write("bare.exe", Player({}));
    if (Tool(build("bare-q.exe", "bare.exe")).exit == EXIT_OK) {
        EXPECT_EQ(Tool({"unpack", p("bare-q.exe"), "-o", p("out-q")}).exit, EXIT_OK);
    }
    for (const char* gone :
         {"a.exe", "a.exe.partial", "full.partial", "out", "out.partial", "bare-q.exe.partial"})
        EXPECT_FALSE(fs::exists(p(gone))) << gone;
    EXPECT_EQ(Files(p("full")), (std::map<std::string, std::string>{{"keep.txt", "mine"}}));
    EXPECT_EQ(Read(p("empty.exe")), player);
}

}  // namespace
