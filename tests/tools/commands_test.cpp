#include "tools/commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

#include "tests/tools/pe_fixture.h"
#include "tools/quiz_json.h"
#include "tools/quiz_resources.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder per test, unique per run (the native and sanitizer builds
// may test at once), removed afterwards.
class Scratch {
  public:
    explicit Scratch(const std::string& name) {
        static const std::string run = std::to_string(std::random_device{}());
        dir_ = fs::temp_directory_path() / ("brelo-make-test-" + run + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~Scratch() { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).generic_u8string(); }
    template <typename Bytes>
    void Write(const std::string& name, const Bytes& bytes) const {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void Write(const std::string& name, const char* text) const { Write(name, std::string(text)); }

  private:
    fs::path dir_;
};

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
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

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<uint8_t> b;
    for (int v : list) b.push_back(static_cast<uint8_t>(v));
    return b;
}

// The demo quiz's real pictures (the tool decodes them as the player does).
std::vector<uint8_t> DemoPicture(const std::string& name) {
    return ReadBytes(std::string(BRELO_SOURCE_DIR) + "/resources/demo/pictures/" + name);
}

// The smallest WAV, MP3 and AVI clips the tool takes, made unique by `tag`
// so a mix-up between questions shows.
std::vector<uint8_t> Clip(int kind, int tag) {
    if (kind == 1) return Bytes({'I', 'D', '3', 3, 0, 0, 0, 0, 0, tag});
    const auto wav =
        Bytes({'R', 'I', 'F', 'F', tag, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    const auto avi = Bytes({'R', 'I', 'F', 'F', tag, 0, 0, 0, 'A', 'V', 'I', ' '});
    return kind == 0 ? wav : avi;
}

// A quiz whose media files carry the names unpack gives them, so the unpacked
// JSON must equal the source byte for byte.
QuizProject SampleQuiz(int media, int mode, int answers, const Scratch& dir) {
    QuizProject p;
    QuizSource& q = p.quiz;
    q.mediaKind = media;
    q.displayMode = mode;
    q.answersPerQuestion = answers;
    q.title = "Ch\xE2teaux de la Loire \x96 " + std::to_string(media * 100 + mode * 10 + answers);
    q.author = "Z\xF6\xE9 \x8C";
    q.explanations = "Trouvez l'\x9Cuvre";
    q.answerLabel1 = "Nom :";
    q.answerLabel2 = answers == 2 ? "Si\xE8"
                                    "cle :"
                                  : "";
    q.colorRed = 0x20;
    q.colorGreen = 0x3C;
    q.colorBlue = 0x78;
    for (int n = 1; n <= 4; ++n) {
        QuizSourceQuestion item;
        item.answer1 = "R\xE9ponse " + std::to_string(n);
        if (answers == 2) item.answer2 = "\xC9poque " + std::to_string(n);
        item.prompt = "Question n\xB0" + std::to_string(n);
        if (mode != 0 && mode != 5) item.extraText = "Indice \x85 " + std::to_string(n);
        if (mode == 3 || mode == 6) item.extraText2 = "Cach\xE9 " + std::to_string(n);
        q.questions.push_back(item);
        QuizQuestionMedia m;
        const std::string num = std::to_string(n);
        if (media == 1) {
            const std::string extension = n % 2 ? ".jpg" : ".png";
            m.picture = "picture0" + num + extension;
            dir.Write(m.picture, DemoPicture("flag" + num + extension));
            if (mode == 1 || mode == 3 || mode == 6) {
                const std::string answer = n == 2 ? ".png" : ".jpg";
                m.answerPicture = "answer0" + num + answer;
                dir.Write(m.answerPicture, DemoPicture("answer" + num + answer));
            }
        } else if (media >= 2) {
            m.clip = "clip0" + num + (n % 3 == 0 ? ".wav" : n % 3 == 1 ? ".mp3" : ".avi");
            dir.Write(m.clip, Clip(n % 3, n));
        }
        p.media.push_back(m);
    }
    q.codes = {"C0DE-\xE9", "", "FIN"};
    return p;
}

// A player that already carries some other quiz, which a build must replace
// entirely while keeping the player's own resources.
std::vector<PeResource> OldPlayerResources() {
    auto res = [](ResourceId type, int id, std::vector<uint8_t> bytes) {
        PeResource r;
        r.type = type;
        r.name = ResourceId::Number(static_cast<uint16_t>(id));
        r.language = 0x40C;
        r.bytes = std::move(bytes);
        return r;
    };
    return {res(ResourceId::Number(5), 1001, {1, 2, 3}),
            res(ResourceId::Number(14), 1004, {4}),
            res(ResourceId::Named("PATCH"), 104, {0xAA}),
            res(ResourceId::Named("PATCH"), 105, {0xBB}),
            res(ResourceId::Named("IMG"), 405, {0xCC}),
            res(ResourceId::Named("IMG"), 10496, {0xCC}),
            res(ResourceId::Number(RESOURCE_TYPE_RCDATA), 402, {0xDD})};
}

std::map<std::string, std::vector<uint8_t>> ResourceMap(const std::string& exe) {
    std::vector<PeResource> resources;
    std::string error;
    EXPECT_TRUE(ReadPeResources(ReadBytes(exe), resources, error)) << exe << ": " << error;
    std::map<std::string, std::vector<uint8_t>> map;
    for (const PeResource& r : resources) {
        map[r.type.Describe() + "/" + r.name.Describe()] = r.bytes;
    }
    return map;
}

TEST(Commands, BuildThenUnpackGivesTheSameSourceForEveryKindModeAndAnswerCount) {
    Scratch dir("roundtrip");
    dir.Write("brelo.exe", MakeFixtureImage(OldPlayerResources()));
    int row = 0;
    for (int media = 0; media < 4; ++media) {
        for (int mode = 0; mode <= 6; ++mode) {
            for (int answers = 1; answers <= 2; ++answers, ++row) {
                SCOPED_TRACE(testing::Message()
                             << "media " << media << " mode " << mode << " answers " << answers);
                const std::string name = "q" + std::to_string(row);
                Scratch source(name);
                const QuizProject quiz = SampleQuiz(media, mode, answers, source);
                const std::string json = QuizJsonText(quiz);
                source.Write("quiz.json", json);
                const bool encipher = row % 3 == 0;
                std::vector<std::string> build = {"build",    source.Path("quiz.json"),
                                                  "-o",       dir.Path(name + ".exe"),
                                                  "--player", dir.Path("brelo.exe")};
                if (encipher) build.push_back("--encipher");
                Result built = Tool(build);
                ASSERT_EQ(built.exit, EXIT_OK) << built.err;

                auto resources = ResourceMap(dir.Path(name + ".exe"));
                EXPECT_EQ(resources.count("5/1001"), 1u) << "the player's own resources stay";
                EXPECT_EQ(resources.count("14/1004"), 1u);
                EXPECT_EQ(resources.count("IMG/10496"), 0u) << "the old quiz goes";
                EXPECT_EQ(resources.count("IMG/405"), 0u);
                EXPECT_NE(resources["PATCH/104"], std::vector<uint8_t>{0xAA});
                if (media == 1) {
                    EXPECT_EQ(resources["IMG/401"], DemoPicture("flag1.jpg"));
                    EXPECT_EQ(resources["10/402"], DemoPicture("flag2.png"));
                    EXPECT_EQ(resources.count("IMG/402"), 0u);
                    if (!quiz.media[0].answerPicture.empty()) {
                        EXPECT_EQ(resources["IMG/10401"], [] {
                            auto b = DemoPicture("answer1.jpg");
                            SwapNibbles(b);
                            return b;
                        }());
                        EXPECT_EQ(resources["10/10402"], DemoPicture("answer2.png"));
                    }
                } else {
                    EXPECT_EQ(resources.count("10/402"), 0u);
                }
                if (media >= 2) {
                    EXPECT_EQ(resources["IMG/401"], Clip(1, 1));
                }

                Result unpacked =
                    Tool({"unpack", dir.Path(name + ".exe"), "-o", dir.Path(name + "-out/")});
                ASSERT_EQ(unpacked.exit, EXIT_OK) << unpacked.err;
                EXPECT_EQ(unpacked.err.find("enciphered") != std::string::npos, encipher);
                const auto back = ReadBytes(dir.Path(name + "-out/quiz.json"));
                EXPECT_EQ(std::string(back.begin(), back.end()), json);
                for (const QuizQuestionMedia& m : quiz.media) {
                    for (const std::string* file : {&m.picture, &m.answerPicture, &m.clip}) {
                        if (file->empty()) continue;
                        EXPECT_EQ(ReadBytes(dir.Path(name + "-out/" + *file)),
                                  ReadBytes(source.Path(*file)))
                            << *file;
                    }
                }
            }
        }
    }
}

struct BadQuiz {
    std::string json;
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> expected;  // $ stands for the quiz folder
};

std::string PictureQuiz(const std::string& picture) {
    return R"({"title": "T", "media": "picture", "questions": [{"answer1": "a", "picture": ")" +
           picture + R"("}]})";
}
std::string SoundQuiz(const std::string& clip) {
    return R"({"title": "T", "media": "sound", "questions": [{"answer1": "a", "clip": ")" + clip +
           R"("}]})";
}

TEST(Commands, CheckListsEveryProblemOfABadQuiz) {
    std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    std::vector<uint8_t> jpegWithoutFrame = Bytes({0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
    std::vector<uint8_t> pngWithBadDepth = DemoPicture("flag2.png");
    pngWithBadDepth[24] = 3;  // RGB at 3 bits per sample does not exist
    std::vector<uint8_t> pngWithBadData = DemoPicture("flag2.png");
    const std::string png(pngWithBadData.begin(), pngWithBadData.end());
    pngWithBadData[png.find("IDAT") + 6] = 0x07;  // a deflate block of the reserved type

    const std::string pic = "$/q.json: questions[0].picture: ";
    const std::string clip = "$/q.json: questions[0].clip: ";
    const std::string notAClip =
        " is not a clip the player recognises (MP3 with an ID3 tag or "
        "MPEG audio, WAV, AVI, WMV/ASF or MPEG video)";
    const BadQuiz rows[] = {
        {PictureQuiz("missing.jpg"), {}, {pic + "cannot read '$/missing.jpg'"}},
        {PictureQuiz("sub"), {{"sub/x", text}}, {pic + "cannot read '$/sub'"}},
        {PictureQuiz("a.jpg"), {{"a.jpg", {}}}, {pic + "'$/a.jpg' is empty"}},
        {PictureQuiz("a.jpg"),
         {{"a.jpg", text}},
         {pic + "'$/a.jpg' is neither a JPEG nor a PNG picture"}},
        {PictureQuiz("a.jpg"),
         {{"a.jpg", jpegWithoutFrame}},
         {pic + "'$/a.jpg' is a damaged JPEG picture (no frame header "
                "before the image data)"}},
        {PictureQuiz("a.png"),
         {{"a.png", pngWithBadDepth}},
         {pic + "'$/a.png' is a damaged PNG picture (bad IHDR chunk)"}},
        {PictureQuiz("a.png"),
         {{"a.png", pngWithBadData}},
         {pic + "'$/a.png' is a damaged PNG picture (its image data "
                "does not decode)"}},
        {SoundQuiz("a.ogg"),
         {{"a.ogg", Bytes({'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0})}},
         {clip + "'$/a.ogg'" + notAClip}},
        {SoundQuiz("a.mp3"), {{"a.mp3", Bytes({'I', 'D', '3'})}}, {clip + "'$/a.mp3'" + notAClip}},
        {R"({"media": "picture", "questions": [{"answer1": "a", "picture": "p.jpg"},
            {"answer1": "b", "picture": "q.png", "prompt": "caf\u00e9 \u2192"}]})",
         {{"q.png", DemoPicture("flag2.png")}},
         {"$/q.json: title: missing",
          "$/q.json: questions[1].prompt: character '\xE2\x86\x92' (U+2192) has no Windows-1252 "
          "form",
          pic + "cannot read '$/p.jpg'"}},
    };
    int n = 0;
    for (const BadQuiz& row : rows) {
        Scratch dir("check" + std::to_string(n++));
        dir.Write("q.json", row.json);
        for (const auto& f : row.files) dir.Write(f.first, f.second);
        const std::string folder = dir.Path("");
        std::string expected;
        for (const std::string& line : row.expected) {
            std::string l = line;
            for (size_t at; (at = l.find("$/")) != std::string::npos;) l.replace(at, 2, folder);
            expected += l + "\n";
        }
        const std::string summary = dir.Path("q.json") + ": " +
                                    std::to_string(row.expected.size()) +
                                    (row.expected.size() == 1 ? " problem\n" : " problems\n");
        Result r = Tool({"check", dir.Path("q.json")});
        EXPECT_EQ(r.exit, EXIT_PROBLEMS);
        EXPECT_EQ(r.err, expected + summary);

        // build refuses the same way and writes nothing.
        dir.Write("brelo.exe", MakeFixtureImage({}));
        Result b = Tool({"build", dir.Path("q.json"), "-o", dir.Path("out.exe"), "--player",
                         dir.Path("brelo.exe")});
        EXPECT_EQ(b.exit, EXIT_PROBLEMS);
        EXPECT_EQ(b.err, expected);
        EXPECT_FALSE(fs::exists(dir.Path("out.exe")));
        EXPECT_FALSE(fs::exists(dir.Path("out.exe.partial")));
    }
}

// A bad command line is refused with the usage; a program that cannot serve
// is refused without it, leaving nothing behind.
TEST(Commands, RefusesWhatItCannotUseAndLeavesNothingBehind) {
    Scratch dir("refusals");
    dir.Write("q.json", R"({"title": "T", "questions": [{"answer1": "a"}]})");
    dir.Write("text.exe", "just text");
    // A player without a quiz still has resources of its own.
    PeResource dialog;
    dialog.type = ResourceId::Number(5);
    dialog.name = ResourceId::Number(1001);
    dialog.bytes = {1, 2, 3};
    dir.Write("empty.exe", MakeFixtureImage({dialog}));
    dir.Write("full/keep.txt", "mine");
    struct Row {
        std::vector<std::string> args;
        std::string err;
        std::string mustNotExist;
        int exit = EXIT_PROBLEMS;
    };
    const Row rows[] = {
        {{}, "brelo-make: no command given\n", "", EXIT_USAGE},
        {{"make", "q.json"}, "brelo-make: unknown command 'make'\n", "", EXIT_USAGE},
        {{"check"}, "brelo-make: check needs a quiz file (.json)\n", "", EXIT_USAGE},
        {{"build", "q.json"}, "brelo-make: build needs -o QUIZ.exe\n", "", EXIT_USAGE},
        {{"build", "q.json", "-o"}, "brelo-make: '-o' needs a value\n", "", EXIT_USAGE},
        {{"check", "q.json", "-o", "x"},
         "brelo-make: '-o' is not an option of check\n",
         "",
         EXIT_USAGE},
        {{"unpack", "q.exe", "--encipher", "-o", "x"},
         "brelo-make: '--encipher' is not an option of unpack\n",
         "",
         EXIT_USAGE},
        {{"build", dir.Path("q.json"), "-o", dir.Path("a.exe"), "--player", dir.Path("text.exe")},
         dir.Path("text.exe") + ": not a Windows program (no MZ header)\n",
         dir.Path("a.exe")},
        {{"build", dir.Path("q.json"), "-o", dir.Path("a.exe"), "--player", dir.Path("none.exe")},
         dir.Path("none.exe") + ": cannot be opened\n",
         dir.Path("a.exe")},
        {{"build", dir.Path("q.json"), "-o", dir.Path("empty.exe"), "--player",
          dir.Path("empty.exe")},
         dir.Path("empty.exe") + ": is the player itself; choose another output file\n",
         ""},
        {{"unpack", dir.Path("empty.exe"), "-o", dir.Path("out")},
         dir.Path("empty.exe") + ": carries no quiz (no resource PATCH 104)\n",
         dir.Path("out")},
        {{"unpack", dir.Path("text.exe"), "-o", dir.Path("out")},
         dir.Path("text.exe") + ": not a Windows program (no MZ header)\n",
         dir.Path("out")},
    };
    for (const Row& row : rows) {
        Result r = Tool(row.args);
        EXPECT_EQ(r.exit, row.exit);
        EXPECT_EQ(r.err.substr(0, r.err.find("usage: ")), row.err);
        EXPECT_EQ(r.err.find("usage: brelo-make check QUIZ.json") != std::string::npos,
                  row.exit == EXIT_USAGE);
        if (!row.mustNotExist.empty()) {
            EXPECT_FALSE(fs::exists(row.mustNotExist));
            EXPECT_FALSE(fs::exists(row.mustNotExist + ".partial"));
        }
    }
    EXPECT_EQ(ReadBytes(dir.Path("empty.exe")), MakeFixtureImage({dialog}));

    // Unpacking into a folder that holds files of the user's is refused.
    ASSERT_EQ(Tool({"build", dir.Path("q.json"), "-o", dir.Path("q.exe"), "--player",
                    dir.Path("empty.exe")})
                  .exit,
              EXIT_OK);
    Result r = Tool({"unpack", dir.Path("q.exe"), "-o", dir.Path("full")});
    EXPECT_EQ(r.exit, EXIT_PROBLEMS);
    EXPECT_EQ(r.err, dir.Path("full") + ": already exists and is not an empty folder\n");
    EXPECT_FALSE(fs::exists(dir.Path("full/quiz.json")));
}

}  // namespace
