#pragma once

// Report fonts on Qt paint devices.

#include "reports/report_device.h"

#include <QFont>
#include <QString>

namespace marqor {

// The family to draw a font name with: the name itself when the system has it, else its metric
// twin ("Arial" -> "Liberation Sans", "Courier New" -> "Liberation Mono", "Times New Roman" ->
// "Liberation Serif"), else the name, which the font matcher then replaces.
QString ReportFontFamily(const std::string& name);

// The font in whole points (at least 1), black, fixed pitch for pitch 2.
QFont ReportQFont(const TKvrFont& font);

} // namespace marqor
