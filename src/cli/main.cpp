#include "cli/commands.h"

#if MARQOR_CLI_QT_OUTPUTS
#include "cli/qt_outputs.h"
#endif

#include <cstring>
#include <iostream>
#include <strings.h>

#ifdef MARQOR_WITH_WINDOWS
#include "calculator/program.h"
#endif

int main(int argc, char** argv) {
#ifdef MARQOR_WITH_WINDOWS
    // Without a command (or with "gui", or with only a configuration switch) the program opens
    // its window.
    if (argc == 1 || std::strcmp(argv[1], "gui") == 0 || strcasecmp(argv[1], "-config") == 0 ||
        strcasecmp(argv[1], "/config") == 0)
        return marqor::RunCalculatorProgram(argc, argv);
#endif
    // Batch use pipes many thousand lines through the streams.
    std::ios::sync_with_stdio(false);
#if MARQOR_CLI_QT_OUTPUTS
    marqor::cli::UseQtPrintOutputs();
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    return marqor::cli::Run(args, {std::cin, std::cout, std::cerr});
}
