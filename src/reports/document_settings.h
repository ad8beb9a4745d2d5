#pragma once

// The user's page layout for a kind of report: margins, newspaper columns, fonts, footers and
// the HTML options. Stored as XML text under "DocumentSettings" in the user settings section of
// the print window, exported to and imported from XML files, and applied to a report's
// document before every output.

#include "foundation/settings.h"
#include "foundation/xml.h"
#include "reports/report.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

enum TBSSwImageAlign : std::uint8_t { iaLeft = 0, iaRight = 1, iaCenter = 2 };

class TBSSwDocumentImage {
public:
    std::string Picture; // the picture's code in the picture store
    TBSSwImageAlign HAlign = iaLeft;
    double Scale = 1.0; // 1.0 is 100 %
    double X = 0;       // cm from the page's left edge
    double Y = 0;       // cm from the page's top edge

    void LoadFromXml(const IBSXmlElement& element);
    IBSXmlElementPtr ToXml() const;
    // "%d;%d;%d;%d;%s": x and y in whole millimetres, the scale in percent, the alignment
    // number and the picture code, as the report document carries images.
    std::string DocumentEntry() const;
    friend bool operator==(const TBSSwDocumentImage&, const TBSSwDocumentImage&) = default;
};

class TBSSwDocumentSettings {
public:
    static constexpr std::string_view SettingsKey = "DocumentSettings";

    TBSSwDocumentSettings() { SetDefaults(); }

    double MarginTop, MarginBottom, MarginLeft, MarginRight, ColumnDistance; // cm
    std::int32_t ColumnCount;
    std::string VarFontName, FixFontName;
    bool HeaderPerColumn;
    TKvrOrientation Orientation;
    double AddressLeft, AddressTop; // cm
    std::int32_t FooterFontSize;    // points
    std::vector<std::string> FooterLeft, FooterCenter, FooterRight;
    std::vector<TBSSwDocumentImage> Images;
    std::string HtmlTemplate;
    std::string HtmlIndexFile;
    std::int32_t HtmlTableWidth;

    void SetDefaults();
    // No element gives the defaults. Missing attributes read as the XML layer's absent values;
    // values no layout can use (negative or huge margins, no columns, a footer size outside
    // 2 .. 50) are brought into range, and each change is reported to the log.
    void LoadFromXml(const IBSXmlElement* element);
    void LoadFromXml(const IBSXmlElementPtr& element) { LoadFromXml(element.get()); }
    // The "DOCUMENTSETTING" element.
    IBSXmlElementPtr ToXml() const;
    int ImageCount() const { return static_cast<int>(Images.size()); }
    const TBSSwDocumentImage& Image(int i) const { return Images.at(std::size_t(i)); }

    // Margins, columns, orientation, fonts, address and the HTML table width and template,
    // lengths in 0.1 mm; then the document's geometry is clamped to what its page can hold.
    void ApplyTo(TKvrDocument& document) const;
    // What the print dialog applies besides: the three footer lists (each list's text trimmed
    // of blanks and line breaks at both ends, then split into lines) and the image entries.
    void ApplyFootersAndImagesTo(TKvrDocument& document) const;

    // The XML text under "DocumentSettings"; empty or unreadable text gives the defaults.
    void LoadFromSection(const IBSSection& section);
    void SaveToSection(IBSSection& section) const;

    friend bool operator==(const TBSSwDocumentSettings&, const TBSSwDocumentSettings&) = default;
};

// The settings of a print window from the user settings (section named after its class).
TBSSwDocumentSettings LoadDocumentSettings(std::string_view windowClass);
void StoreDocumentSettings(std::string_view windowClass, const TBSSwDocumentSettings& settings);

// The printer list and choice of the settings dialog, over a printing service (default: the
// process's).
class TBSSwPrintDevice {
public:
    // Every printer name under its index, in the service's order.
    static IBSLookupItemsPtr PrinterItems(IKvrPrintingService* service = nullptr);
    // The printer named by "CurrentPrinter" in section "Orvane" of the user settings when it
    // exists, else the service's current printer; -1 when there is none.
    static int PreferredPrinterIndex(IKvrPrintingService* service = nullptr);
    // Makes the printer of that index the service's current printer; other indices do nothing.
    static void SelectPrinter(int index, IKvrPrintingService* service = nullptr);
};

// An import that cannot be used. The message is the one to show the user.
class EBSSwDocumentSettingsImport : public std::runtime_error {
public:
    enum Reason { irWrongData, irLoadError };
    EBSSwDocumentSettingsImport(Reason reason, const std::string& message)
        : std::runtime_error(message), reason_(reason) {}
    Reason WhyRefused() const { return reason_; }

private:
    Reason reason_;
};

// Writes a "KAVRIN" root (application, version, created) holding the settings' element, in
// UTF-8 with a byte-order mark, replacing the file atomically. Raises EFileError naming the
// file and the reason.
void ExportDocumentSettings(const TBSSwDocumentSettings& settings, const std::string& fileName);
// Reads an export file. A file without a "KAVRIN" root holding a "DOCUMENTSETTING" child raises
// "File contains wrong data!"; a file that cannot be read or parsed raises "Error when loading
// file!" and a line with the reason.
TBSSwDocumentSettings ImportDocumentSettings(const std::string& fileName);

} // namespace marqor
