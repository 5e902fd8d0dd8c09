// brelo-make: a teacher's quiz file in, a ready player out. See commands.h.
#include <exception>
#include <iostream>
#include <new>

#include "tools/commands.h"
#include "authoring/player_output.h"

int main(int argc, char** argv) {
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
