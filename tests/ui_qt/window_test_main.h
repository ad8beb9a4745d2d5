#pragma once

// The main of the window tests: the offscreen platform unless a display is asked for, every
// settings, data and program path in a temporary directory, the real start-up of the services
// with the product's language, and a watchdog so that a test that opens an unexpected dialog
// fails instead of waiting forever for a click.

#include <functional>
#include <string>

namespace marqor::test {

// Runs the tests; connect hands the application's hooks to the layers below the windows.
int RunWindowTests(int argc, char** argv, const std::function<void()>& connect);

// The temporary directory that stands for the user's home, and the program's directory in it
// (the error and log files go there).
const std::string& TestHome();
std::string TestProgramDirectory();

} // namespace marqor::test
