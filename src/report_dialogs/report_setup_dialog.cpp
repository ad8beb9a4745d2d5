#include "report_dialogs/report_setup_dialog.h"

namespace marqor {

// The dialog itself is not part of the program yet: the settings stay as they are.
bool EditDocumentSettings(TBSSwDocumentSettings& /*settings*/, bool /*printerChoice*/,
                          QWidget* /*parent*/) {
    return false;
}

} // namespace marqor
