#include "cli/commands.h"

#include <iostream>

int main(int argc, char** argv) {
    // Batch use pipes many thousand lines through the streams.
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return marqor::cli::Run(args, {std::cin, std::cout, std::cerr});
}
