// What differs between the Linux and the Windows build of brelo-make: how the
// quiz gets into the player, where the player is found, and how the command
// line arrives. player_output.cpp is the Linux side, player_output_win.cpp the
// Windows side.
#pragma once

#include <string>
#include <vector>

#include "authoring/quiz_resources.h"

// Writes `outputPath`, a copy of the player at `playerPath` carrying `quiz`
// instead of any quiz the player held. Linux rewrites the resource section
// itself (PlayerImageWithQuiz); Windows goes through BeginUpdateResource.
// Nothing is left at `outputPath` on failure.
bool WritePlayerWithQuiz(const std::string& playerPath, const std::vector<QuizResource>& quiz,
                         const std::string& outputPath, std::string& error);

// brelo.exe in the folder of brelo-make itself, where a release puts them.
std::string DefaultPlayerPath();

// The arguments in UTF-8 (Windows hands programs its ANSI code page).
std::vector<std::string> CommandLineArguments(int argc, char** argv);
