#include "ui_qt/window_services.h"
#include "window_test_main.h"

int main(int argc, char** argv) {
    return marqor::test::RunWindowTests(argc, argv, [] { marqor::ConnectControlServices(); });
}
