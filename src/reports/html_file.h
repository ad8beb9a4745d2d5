#pragma once

// The HTML device of the reports. Cells, line breaks and rules become HTML tables: every line
// layout is a table with the layout's column widths, consecutive lines of one layout gather in
// one table row whose cells hold the lines one below the other, and a rule ends the table. At
// the end the body goes into a template page with a style sheet.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

enum THtmlState : std::uint8_t { hsNone, hsAfterRule, hsTableOpen, hsRowPending };
enum THtmlCellState : std::uint8_t { csEmpty, csBreaks, csContent };

// What the report engine asks of its HTML device.
class IKvrHtmlWriter {
public:
    virtual ~IKvrHtmlWriter() = default;
    virtual void SetColumns(std::string_view definition) = 0;
    virtual void Cell(int index, std::string_view text) = 0;
    virtual void LineBreak() = 0;
    virtual void HorizontalRule() = 0;
    virtual int FontId() const = 0;
    virtual void SetFontId(int fontId) = 0;
    virtual void SetFontName(std::string_view name) = 0;
    virtual const std::string& Title() const = 0;
    virtual void SetTitle(std::string_view title) = 0;
    virtual THtmlState State() const = 0;
    // Builds the page and writes it; raises EFileError naming the file and the reason.
    virtual void SaveToFile(const std::string& fileName) = 0;
};

class THtmlFile final : public IKvrHtmlWriter {
public:
    static constexpr int MaxCells = 101;

    // tableWidth in pixels; 0 or less gives widths in percent.
    THtmlFile(int tableWidth, std::string templateFile, int defaultFontId);

    void SetColumns(std::string_view definition) override;
    // Indices outside 0 .. 100 are ignored.
    void Cell(int index, std::string_view text) override;
    void LineBreak() override;
    void HorizontalRule() override;
    int FontId() const override { return fontId_; }
    void SetFontId(int fontId) override { fontId_ = fontId; }
    void SetFontName(std::string_view name) override { fontName_ = name; }
    const std::string& Title() const override { return title_; }
    void SetTitle(std::string_view title) override { title_ = title; }
    THtmlState State() const override { return state_; }
    void SaveToFile(const std::string& fileName) override;

    // Ends the pending row and keeps the table open, so that the next lines of the same layout
    // become a second row, written without widths. The report engine never does this (it ends
    // a row only when its table closes); writers of multi-row tables do.
    void FlushRow();

    // The whole page as SaveToFile writes it, CR LF after every line.
    std::string PageText();
    // The body collected so far, one entry per line.
    const std::vector<std::string>& Lines() const { return lines_; }
    const std::string& Definition() const { return definition_; }
    int Border() const { return border_; }
    void SetBorder(int border) { border_ = border; }

    // Named entities for the accented letters, then two blanks as two no-break spaces. Nothing
    // else is escaped: markup in a cell text reaches the page as markup.
    static std::string EscapeText(std::string_view text);
    // The built-in template page.
    static std::string_view BuiltInTemplate();

private:
    void CloseTable();
    std::string WidthText(int perMille) const;
    std::vector<std::string> TemplateLines() const;
    std::string StyleSheet() const;
    int FieldCount() const { return static_cast<int>(fields_.size()); }

    std::vector<std::string> lines_;
    THtmlState state_ = hsNone;
    bool tableOpen_ = false;
    bool widthsWritten_ = false;
    std::string definition_;
    std::vector<std::string> fields_;
    std::array<std::string, MaxCells> cellText_;
    std::array<THtmlCellState, MaxCells> cellState_{};
    std::array<int, MaxCells> cellFont_{};
    int border_ = 0;
    int tableWidth_;
    int defaultFontId_;
    int fontId_ = 10;
    std::string fontName_ = "Arial";
    std::string templateFile_;
    std::string title_;
};

} // namespace marqor
