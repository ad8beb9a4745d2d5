#include "../ui_qt/window_test_main.h"
#include "calculator/program.h"

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    // The test script's private scheduler (scripts/cups.sh) stands in for the system's, for
    // this process only; it must be named before anything asks CUPS.
    if (const char* dir = std::getenv("MARQOR_TEST_CUPS_DIR"); dir && *dir) {
        std::ifstream env(std::string(dir) + "/env");
        for (std::string line; std::getline(env, line);)
            if (line.rfind("CUPS_SERVER=", 0) == 0)
                setenv("CUPS_SERVER", line.substr(12).c_str(), 1);
    }
    return marqor::test::RunWindowTests(argc, argv, [] { marqor::ConnectApplicationHooks(); });
}
