#pragma once

#include "reports/document_settings.h"

class QWidget;

namespace marqor {

// Lets the user edit the page layout of a kind of report ("Edit document settings"). Changes
// reach `settings` only when the dialog is closed with OK, and then the function answers true.
// `printerChoice` enables the printer controls; the print dialog always passes true.
bool EditDocumentSettings(TBSSwDocumentSettings& settings, bool printerChoice,
                          QWidget* parent = nullptr);

} // namespace marqor
