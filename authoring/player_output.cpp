#include "authoring/player_output.h"

#include <filesystem>

#include "authoring/file_output.h"

bool WritePlayerWithQuiz(const std::string& playerPath, const std::vector<QuizResource>& quiz,
                         const std::string& outputPath, std::string& error) {
    std::vector<uint8_t> player, result;
    if (!ReadWholeFile(playerPath, player, error)) return false;
    if (!PlayerImageWithQuiz(player, quiz, result, error)) {
        error = playerPath + ": " + error;
        return false;
    }
    return WriteFileAtomically(outputPath, result, error);
}

std::string DefaultPlayerPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "brelo.exe";
    return (self.parent_path() / "brelo.exe").u8string();
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
