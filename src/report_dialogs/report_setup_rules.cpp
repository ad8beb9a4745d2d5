#include "report_dialogs/report_setup_rules.h"

#include "foundation/errors.h"
#include "services/ui_texts.h"
#include "texts/language.h"

#include <algorithm>

namespace marqor {

TBSPaperInfo PrinterPaperInfo(IKvrPrintingService* service, std::string_view printer) {
    const std::int32_t code = service && !printer.empty() ? service->DefaultPaperCode(printer) : 0;
    return PaperInfoOfRow(PaperIndexOfCode(code));
}

std::string PaperInformationText(const TBSPaperInfo& paper, bool landscape) {
    std::string text = TextOrEnglishFmt("#BSSwReport.Paper", "Paper: %s", {paper.Name});
    if (paper.Code > 0) {
        const double first = landscape ? paper.HeightCm : paper.WidthCm;
        const double second = landscape ? paper.WidthCm : paper.HeightCm;
        text += ", " + FormatText("%.1f cm  x  %.1f cm", {first, second});
    } else if (paper.Code == -1) {
        text += TextOrEnglish("#BSSwReport.undefined", " (size not known)");
    }
    return text;
}

std::vector<std::string> FooterLinesOfText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        std::string line(
            text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

std::string FooterTextOfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::string FooterCaretText(int line, int column, int lineCount) {
    return FormatText("%d / %d  (%d)", {line + 1, column + 1, lineCount});
}

std::string FooterCountText(int left, int center, int right) {
    const int most = std::max({left, center, right});
    if (most == 0)
        return TextOrEnglish("#BSSwReport.FooterInfo", 0, "No footer lines");
    constexpr std::string_view reference = "#BSSwReport.FooterInfo";
    const std::string format = LanguageText(reference, 1);
    if (!format.empty() && format != reference) {
        try {
            return FormatText(format, {most});
        } catch (const EConvertError&) {
            // A text whose placeholder does not fit still tells the count in English.
        }
    }
    return FormatText("Footer lines: %d", {most});
}

std::optional<TBSSwDefaultLayout> DefaultLayout(int key) {
    switch (key) {
    case 1:
        return TBSSwDefaultLayout{1, 1, 1.5, 1.5, 1, false, 0, orPortrait};
    case 2:
        return TBSSwDefaultLayout{1.1, 1, 1.3, 1.3, 2, true, 1.5, orLandscape};
    default:
        return std::nullopt;
    }
}

TBSSwDocumentSettings SettingsAsEdited(TBSSwDocumentSettings edited) {
    if (edited.ColumnCount <= 1) {
        // One column writes neither value, and an absent value reads as none.
        edited.ColumnDistance = 0;
        edited.HeaderPerColumn = false;
    }
    TBSSwDocumentSettings result;
    result.LoadFromXml(edited.ToXml());
    return result;
}

} // namespace marqor
