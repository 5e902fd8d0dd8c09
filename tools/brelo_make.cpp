// brelo-make: a teacher's quiz file in, a ready player out. See commands.h.
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

#include "authoring/player_output.h"
#include "brelo_version.h"
#include "tools/commands.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "brelo-make " BRELO_VERSION_TEXT "\n";
        return EXIT_OK;
    }
    // Every failure the commands foresee is reported as a problem; whatever
    // escapes them still ends with a message and the problems status, never
    // an abort.
    try {
        return RunBreloMake(CommandLineArguments(argc, argv), std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "brelo-make: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "brelo-make: " << e.what() << "\n";
    }
    return EXIT_PROBLEMS;
}
