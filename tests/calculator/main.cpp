#include "../ui_qt/window_test_main.h"
#include "calculator/program.h"

int main(int argc, char** argv) {
    return marqor::test::RunWindowTests(argc, argv, [] { marqor::ConnectApplicationHooks(); });
}
