// Crashes the way it is told to, with the crash reporter installed:
//
//     crash_on_purpose null|throw|abort|overflow|fpe|silent ERROR_FILE

#include "foundation/files.h"
#include "services/mad_except.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

using namespace marqor;

namespace {

// Read through volatile objects, so the compiler cannot see what comes.
int* volatile gNowhere = nullptr;
volatile int gZero = 0;
volatile int gLimit = -1;

// Without the sanitizer's checks, so that the process really takes the signal.
__attribute__((noinline, no_sanitize("undefined"))) void DereferenceNull() {
    *gNowhere = 42;
}

__attribute__((noinline)) void ThrowUncaught() {
    throw std::runtime_error("deliberate failure");
}

__attribute__((noinline, no_sanitize("undefined"))) int DivideByZero() {
    return 7 / gZero;
}

__attribute__((noinline)) int Recurse(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth == gLimit)
        return 0;
    return Recurse(depth + 1) + frame[0];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    TBSMadExcept::Install();
    TBSMadExcept::SetErrorFile(NewFile(argv[2]));
    TBSMadExcept::SetReportUser("crash-test");
    const std::string how = argv[1];
    if (how == "null")
        DereferenceNull();
    else if (how == "throw")
        ThrowUncaught();
    else if (how == "abort")
        std::abort();
    else if (how == "fpe")
        return DivideByZero();
    else if (how == "overflow")
        return Recurse(0);
    else if (how == "silent") {
        for (int i = 0; i < 2; ++i) {
            try {
                throw std::invalid_argument("handled " + std::to_string(i));
            } catch (...) {
                TBSMadExcept::ReportSilently(i == 0 ? "first of two" : "");
            }
        }
        return 0;
    }
    return 3;
}
