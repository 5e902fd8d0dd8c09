// brelo-make's commands, apart from main() so tests run them in-process.
//
//   brelo-make check QUIZ.json
//   brelo-make build QUIZ.json -o QUIZ.exe [--encipher] [--player brelo.exe]
//   brelo-make unpack QUIZ.exe -o FOLDER
//   brelo-make resources QUIZ.json -o FOLDER [--encipher] [--depfile FILE]
//   brelo-make results QUIZ.exe|QUIZ.json FILE|FOLDER... -o RESULTS.csv
//
// `resources` is for builds that link the quiz into a player themselves: it
// writes every quiz resource as a file and quiz.rc, a resource script naming
// them by absolute path.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"

constexpr int EXIT_OK = 0;
constexpr int EXIT_PROBLEMS = 1;  // the quiz or a file is at fault; every problem listed
constexpr int EXIT_USAGE = 2;     // the command line is

// `args[0]` is the program's name. Results go to `out`, problems to `err`,
// one line each.
int RunBreloMake(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The resource script line for one resource held in the file `path`.
std::string ResourceScriptLine(const ResourceId& type, const ResourceId& name,
                               const std::string& path);
