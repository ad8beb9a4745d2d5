#pragma once

// What the document settings dialog works out rather than shows: the paper line, the footer
// line counts and caret positions, the two default layouts and the settings as the dialog
// takes them from its controls. Free of widgets so that a plain test reaches them.

#include "reports/document_settings.h"
#include "reports/paper.h"
#include "reports/report_device.h"

#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The paper of the printer's default page; row 0 of the paper table ("?") when there is no
// printer or its paper cannot be read.
TBSPaperInfo PrinterPaperInfo(IKvrPrintingService* service, std::string_view printer);
// "Paper: A4, 21.0 cm  x  29.7 cm" (height first in landscape); a paper outside the table has no
// dimensions and the text of "#BSSwReport.undefined" after its name.
std::string PaperInformationText(const TBSPaperInfo& paper, bool landscape);

// The lines of a footer field as a list holds them: a final line break starts no new line, and
// an empty text has no lines.
std::vector<std::string> FooterLinesOfText(std::string_view text);
std::string FooterTextOfLines(const std::vector<std::string>& lines);
inline int FooterLineCount(std::string_view text) {
    return static_cast<int>(FooterLinesOfText(text).size());
}
// "%d / %d  (%d)": caret line and column (given from 0, shown from 1) and the line count.
std::string FooterCaretText(int line, int column, int lineCount);
// Item 1 of "#BSSwReport.FooterInfo" with the largest line count, item 0 when every field is
// empty.
std::string FooterCountText(int left, int center, int right);

// The layout values of a Defaults item (1 or 2) as the dialog's fields take them.
struct TBSSwDefaultLayout {
    double Top, Bottom, Left, Right;
    int Columns;
    bool SetsColumnDistance;
    double ColumnDistance;
    TKvrOrientation Orientation;
};
// Nothing for another key.
std::optional<TBSSwDefaultLayout> DefaultLayout(int key);

// The settings as the dialog keeps them after reading its fields: the column distance and the
// header per column only with more than one column, everything through the XML form so that
// values out of range are brought into range as when they are loaded.
TBSSwDocumentSettings SettingsAsEdited(TBSSwDocumentSettings edited);

} // namespace marqor
