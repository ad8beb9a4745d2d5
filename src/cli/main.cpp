#include "cli/commands.h"

#if MARQOR_CLI_QT_OUTPUTS
#include "cli/qt_outputs.h"
#endif

#include <iostream>

int main(int argc, char** argv) {
    // Batch use pipes many thousand lines through the streams.
    std::ios::sync_with_stdio(false);
#if MARQOR_CLI_QT_OUTPUTS
    marqor::cli::UseQtPrintOutputs();
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    return marqor::cli::Run(args, {std::cin, std::cout, std::cerr});
}
