// brelo-make: a teacher's quiz file in, a ready player out. See commands.h.
#include <iostream>

#include "tools/commands.h"
#include "authoring/player_output.h"

int main(int argc, char** argv) {
    return RunBreloMake(CommandLineArguments(argc, argv), std::cout, std::cerr);
}
