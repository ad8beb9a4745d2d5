#include "reports/document_settings.h"

#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/files.h"
#include "foundation/text.h"
#include "reports/report_hooks.h"

#include <cmath>

namespace marqor {
namespace {

// What the settings dialog lets the user enter; imported values beyond it are brought back.
constexpr double MaxMarginCm = 100;
constexpr double MaxAddressCm = 200;
constexpr std::int32_t MaxColumnCount = 100;
constexpr std::int32_t MinTableWidth = -1;
constexpr std::int32_t MaxTableWidth = 1000;

void ClampCm(double& value, double maximum, const char* name) {
    double clamped = value;
    if (!std::isfinite(clamped) || clamped < 0)
        clamped = 0;
    else if (clamped > maximum)
        clamped = maximum;
    if (clamped != value) {
        ReportLog(Format("Document settings: %s %g cm is out of range; %g cm is used", name, value,
                         clamped));
        value = clamped;
    }
}

void ClampInteger(std::int32_t& value, std::int32_t minimum, std::int32_t maximum,
                  const char* name) {
    const std::int32_t clamped = std::clamp(value, minimum, maximum);
    if (clamped != value) {
        ReportLog(
            Format("Document settings: %s %d is out of range; %d is used", name, value, clamped));
        value = clamped;
    }
}

// Centimetres to 0.1 mm, the nearest integer.
std::int32_t TenthsOfMm(double cm) {
    if (!std::isfinite(cm))
        return 0;
    return static_cast<std::int32_t>(std::lround(std::clamp(cm * 100, -1e9, 1e9)));
}

std::vector<std::string> ReadLineList(const IBSXmlElement& element, std::string_view name) {
    std::vector<std::string> lines;
    for (const auto& child : element.Children())
        if (child->Name() == name) {
            for (const auto& line : child->Children())
                if (line->Name() == "LINE")
                    lines.push_back(line->GetText("value"));
            break;
        }
    return lines;
}

void AddLineList(IBSXmlElement& element, std::string_view name,
                 const std::vector<std::string>& lines) {
    element.AddChild(NewXmlLinesElement(name, *NewStringListFrom(lines)));
}

std::vector<std::string> TrimmedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    std::vector<std::string> result;
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return result;
    std::size_t start = 0;
    while (start <= trimmed.size()) {
        std::size_t end = trimmed.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            result.push_back(trimmed.substr(start));
            break;
        }
        result.push_back(trimmed.substr(start, end - start));
        if (trimmed[end] == '\r' && end + 1 < trimmed.size() && trimmed[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TBSSwDocumentImage

void TBSSwDocumentImage::LoadFromXml(const IBSXmlElement& element) {
    Picture = element.GetText("picture");
    const std::string align = element.GetText("halign");
    HAlign = SameText(align, "RIGHT") ? iaRight : SameText(align, "CENTER") ? iaCenter : iaLeft;
    Scale = element.GetFloat("scale");
    X = element.GetFloat("x");
    Y = element.GetFloat("y");
}

IBSXmlElementPtr TBSSwDocumentImage::ToXml() const {
    auto element = NewXmlElement("IMAGE");
    element->SetText("picture", Picture);
    element->SetText("halign", HAlign == iaRight    ? "RIGHT"
                               : HAlign == iaCenter ? "CENTER"
                                                    : "LEFT");
    element->SetFloat("scale", Scale);
    element->SetFloat("x", X);
    element->SetFloat("y", Y);
    return element;
}

std::string TBSSwDocumentImage::DocumentEntry() const {
    const auto rounded = [](double v) {
        return std::isfinite(v) ? static_cast<long>(std::lround(std::clamp(v, -1e9, 1e9))) : 0L;
    };
    return Format("%ld;%ld;%ld;%d;%s", rounded(X * 10), rounded(Y * 10), rounded(Scale * 100),
                  int(HAlign), Picture.c_str());
}

// ---------------------------------------------------------------------------------------------
// TBSSwDocumentSettings

void TBSSwDocumentSettings::SetDefaults() {
    MarginTop = 1.5;
    MarginBottom = 1.0;
    MarginLeft = 1.5;
    MarginRight = 1.5;
    ColumnDistance = 0;
    ColumnCount = 1;
    VarFontName = "Arial";
    FixFontName = "Courier New";
    HeaderPerColumn = false;
    Orientation = orPortrait;
    AddressLeft = 12.0;
    AddressTop = 5.0;
    FooterFontSize = 10;
    FooterLeft.clear();
    FooterCenter.clear();
    FooterRight.clear();
    Images.clear();
    HtmlTemplate.clear();
    HtmlIndexFile = "index.html";
    HtmlTableWidth = -1;
}

void TBSSwDocumentSettings::LoadFromXml(const IBSXmlElement* element) {
    SetDefaults();
    if (!element)
        return;
    const IBSXmlElement& e = *element;
    MarginTop = e.GetFloat("margintop");
    MarginBottom = e.GetFloat("marginbottom");
    MarginLeft = e.GetFloat("marginleft");
    MarginRight = e.GetFloat("marginright");
    ColumnDistance = e.GetFloat("columndistance");
    ColumnCount = e.GetInteger("columncount");
    VarFontName = e.GetText("varfontname");
    FixFontName = e.GetText("fixfontname");
    HeaderPerColumn = e.GetBool("headerpercolumn");
    Orientation = e.GetText("orientation") == "LANDSCAPE" ? orLandscape : orPortrait;
    AddressLeft = e.GetFloat("addressleft");
    AddressTop = e.GetFloat("addresstop");
    FooterFontSize = e.GetInteger("footerfontsize");
    FooterLeft = ReadLineList(e, "FOOTERLEFT");
    FooterCenter = ReadLineList(e, "FOOTERCENTER");
    FooterRight = ReadLineList(e, "FOOTERRIGHT");
    for (const auto& child : e.Children())
        if (child->Name() == "IMAGES") {
            for (const auto& image : child->Children()) {
                TBSSwDocumentImage item;
                item.LoadFromXml(*image);
                Images.push_back(std::move(item));
            }
            break;
        }
    HtmlTemplate = e.GetText("htmltemplate");
    HtmlIndexFile = e.GetText("htmlindexfile");
    HtmlTableWidth = e.GetInteger("htmltablewidth");

    ClampCm(MarginTop, MaxMarginCm, "top margin");
    ClampCm(MarginBottom, MaxMarginCm, "bottom margin");
    ClampCm(MarginLeft, MaxMarginCm, "left margin");
    ClampCm(MarginRight, MaxMarginCm, "right margin");
    ClampCm(ColumnDistance, MaxMarginCm, "column distance");
    ClampCm(AddressLeft, MaxAddressCm, "address position from the left");
    ClampCm(AddressTop, MaxAddressCm, "address position from the top");
    ClampInteger(ColumnCount, 1, MaxColumnCount, "column count");
    ClampInteger(HtmlTableWidth, MinTableWidth, MaxTableWidth, "HTML table width");
}

IBSXmlElementPtr TBSSwDocumentSettings::ToXml() const {
    auto e = NewXmlElement("DOCUMENTSETTING");
    e->SetFloat("margintop", MarginTop);
    e->SetFloat("marginbottom", MarginBottom);
    e->SetFloat("marginleft", MarginLeft);
    e->SetFloat("marginright", MarginRight);
    e->SetFloat("columndistance", ColumnDistance);
    e->SetInteger("columncount", ColumnCount);
    e->SetText("varfontname", VarFontName);
    e->SetText("fixfontname", FixFontName);
    e->SetBool("headerpercolumn", HeaderPerColumn);
    e->SetText("orientation", Orientation == orLandscape ? "LANDSCAPE" : "PORTRAIT");
    e->SetFloat("addressleft", AddressLeft);
    e->SetFloat("addresstop", AddressTop);
    e->SetInteger("footerfontsize", FooterFontSize);
    AddLineList(*e, "FOOTERLEFT", FooterLeft);
    AddLineList(*e, "FOOTERCENTER", FooterCenter);
    AddLineList(*e, "FOOTERRIGHT", FooterRight);
    auto images = e->AddNewChild("IMAGES");
    for (const TBSSwDocumentImage& image : Images)
        images->AddChild(image.ToXml());
    e->SetText("htmltemplate", HtmlTemplate);
    e->SetText("htmlindexfile", HtmlIndexFile);
    e->SetInteger("htmltablewidth", HtmlTableWidth);
    return e;
}

void TBSSwDocumentSettings::ApplyTo(TKvrDocument& document) const {
    document.MarginLeft = TenthsOfMm(MarginLeft);
    document.MarginRight = TenthsOfMm(MarginRight);
    document.MarginTop = TenthsOfMm(MarginTop);
    document.MarginBottom = TenthsOfMm(MarginBottom);
    document.ColumnDistance = TenthsOfMm(ColumnDistance);
    document.ColumnCount = ColumnCount;
    document.AddressLeft = TenthsOfMm(AddressLeft);
    document.AddressTop = TenthsOfMm(AddressTop);
    document.Orientation = Orientation;
    document.HeaderPerColumn = HeaderPerColumn;
    document.FixFontName = FixFontName;
    document.VarFontName = VarFontName;
    document.HtmlTableWidth = HtmlTableWidth;
    document.HtmlTemplate = HtmlTemplate;
    document.ClampGeometry();
}

void TBSSwDocumentSettings::ApplyFootersAndImagesTo(TKvrDocument& document) const {
    document.FooterLeft = TrimmedLines(FooterLeft);
    document.FooterCenter = TrimmedLines(FooterCenter);
    document.FooterRight = TrimmedLines(FooterRight);
    document.Images.clear();
    for (const TBSSwDocumentImage& image : Images)
        document.Images.push_back(image.DocumentEntry());
}

void TBSSwDocumentSettings::LoadFromSection(const IBSSection& section) {
    const std::string text = section.ReadString(SettingsKey, "");
    const auto element = text.empty() ? nullptr : LoadXmlFromText(text, true);
    LoadFromXml(element && element->Name() == "DOCUMENTSETTING" ? element.get() : nullptr);
}

void TBSSwDocumentSettings::SaveToSection(IBSSection& section) const {
    section.WriteString(SettingsKey, ToXml()->AsXmlText(false));
}

TBSSwDocumentSettings LoadDocumentSettings(std::string_view windowClass) {
    TBSSwDocumentSettings settings;
    settings.LoadFromSection(*UserSettings()->GetSection(windowClass));
    return settings;
}

void StoreDocumentSettings(std::string_view windowClass, const TBSSwDocumentSettings& settings) {
    settings.SaveToSection(*UserSettings()->GetSection(windowClass));
}

// ---------------------------------------------------------------------------------------------
// TBSSwPrintDevice

namespace {

IKvrPrintingService& ServiceOr(IKvrPrintingService* service, IKvrPrintingServicePtr& keep) {
    if (service)
        return *service;
    keep = ReportPrintingService();
    return *keep;
}

int IndexOfName(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

} // namespace

IBSLookupItemsPtr TBSSwPrintDevice::PrinterItems(IKvrPrintingService* service) {
    IKvrPrintingServicePtr keep;
    auto items = NewLookupItems();
    const auto names = ServiceOr(service, keep).PrinterNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        items->SetText(static_cast<std::int32_t>(i), names[i]);
    return items;
}

int TBSSwPrintDevice::PreferredPrinterIndex(IKvrPrintingService* service) {
    IKvrPrintingServicePtr keep;
    IKvrPrintingService& printing = ServiceOr(service, keep);
    const auto names = printing.PrinterNames();
    const std::string preferred =
        UserSettings()->GetSection("Orvane")->ReadString("CurrentPrinter", "");
    if (!preferred.empty())
        if (const int index = IndexOfName(names, preferred); index >= 0)
            return index;
    return IndexOfName(names, printing.CurrentPrinterName());
}

void TBSSwPrintDevice::SelectPrinter(int index, IKvrPrintingService* service) {
    IKvrPrintingServicePtr keep;
    IKvrPrintingService& printing = ServiceOr(service, keep);
    const auto names = printing.PrinterNames();
    if (index >= 0 && std::size_t(index) < names.size())
        printing.SelectPrinter(names[std::size_t(index)]);
}

// ---------------------------------------------------------------------------------------------
// Export and import

void ExportDocumentSettings(const TBSSwDocumentSettings& settings, const std::string& fileName) {
    auto root = NewXmlDocumentRoot("KAVRIN");
    root->AddChild(settings.ToXml());
    ReplaceFileContents(fileName, "\xEF\xBB\xBF" + root->AsXmlText(true, true));
}

TBSSwDocumentSettings ImportDocumentSettings(const std::string& fileName) {
    static constexpr const char* LoadError = "Error when loading file!\n";
    IBSXmlElementPtr root;
    try {
        root = LoadXmlFromFile(*NewFile(fileName));
    } catch (const std::exception& error) {
        throw EBSSwDocumentSettingsImport(EBSSwDocumentSettingsImport::irLoadError,
                                          LoadError + std::string(error.what()));
    }
    if (!root) {
        const bool exists = NewFile(fileName)->Exists();
        throw EBSSwDocumentSettingsImport(
            EBSSwDocumentSettingsImport::irLoadError,
            LoadError + fileName + (exists ? ": the file holds no XML document" : ": not found"));
    }
    const IBSXmlElement* element = nullptr;
    if (root->Name() == "KAVRIN")
        for (const auto& child : root->Children())
            if (child->Name() == "DOCUMENTSETTING") {
                element = child.get();
                break;
            }
    if (!element)
        throw EBSSwDocumentSettingsImport(EBSSwDocumentSettingsImport::irWrongData,
                                          "File contains wrong data!");
    TBSSwDocumentSettings settings;
    settings.LoadFromXml(element);
    return settings;
}

} // namespace marqor
