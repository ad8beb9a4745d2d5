#include "reports/html_file.h"

#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/text.h"
#include "reports/column_divisions.h"
#include "reports/report_hooks.h"
#include "reports/report_math.h"
#include "reports/report_text.h"
#include "texts/language.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace marqor {
namespace {

constexpr std::string_view TemplateText =
    "<!doctype html public \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
    "<html><head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n"
    "<title>\r\n"
    "@TITLE@\r\n"
    "</title></head><body><center>\r\n"
    "@BODY@\r\n"
    "</center></body></html>";

struct EntityOf {
    char32_t Letter;
    const char* Entity;
};
constexpr EntityOf Entities[] = {
    {U'ä', "&auml;"},   {U'ë', "&euml;"},   {U'ï', "&iuml;"},   {U'ö', "&ouml;"},
    {U'ü', "&uuml;"},   {U'Ä', "&Auml;"},   {U'Ö', "&Ouml;"},   {U'Ü', "&Uuml;"},
    {U'á', "&aacute;"}, {U'é', "&eacute;"}, {U'í', "&iacute;"}, {U'ó', "&oacute;"},
    {U'ú', "&uacute;"}, {U'â', "&acirc;"},  {U'ê', "&ecirc;"},  {U'î', "&icirc;"},
    {U'ô', "&ocirc;"},  {U'û', "&ucirc;"},  {U'à', "&agrave;"}, {U'è', "&egrave;"},
    {U'ì', "&igrave;"}, {U'ò', "&ograve;"}, {U'ù', "&ugrave;"}, {U'ç', "&ccedil;"},
};

std::vector<std::string> SplitFields(std::string_view definition) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= definition.size()) {
        std::size_t end = definition.find(';', start);
        if (end == std::string_view::npos)
            end = definition.size();
        fields.emplace_back(definition.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// The field's width as the rows read it: at most four digits after the letter.
int RowFieldWidth(std::string_view field) {
    if (field.size() < 2)
        return 0;
    return StrToIntDef(field.substr(1, 4), 0);
}

int TrailingBreaks(const std::string& text) {
    int count = 0;
    std::size_t end = text.size();
    while (end >= 4 && text.compare(end - 4, 4, "<br>") == 0) {
        ++count;
        end -= 4;
    }
    return count;
}

// The lines of a template file, or nothing with the reason it cannot serve.
bool ReadTemplateFile(const std::string& fileName, std::vector<std::string>& lines,
                      std::string& reason) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        reason = std::filesystem::exists(fileName, ec) ? "not a file" : "not found";
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        reason = std::generic_category().message(errno);
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        reason = "read error";
        return false;
    }
    const std::string text = DecodeTextBytes(bytes);
    if (text.find('\0') != std::string::npos) {
        reason = "not a text file";
        return false;
    }
    lines = SplitTextLines(text);
    return true;
}

} // namespace

THtmlFile::THtmlFile(int tableWidth, std::string templateFile, int defaultFontId)
    : tableWidth_(tableWidth), defaultFontId_(defaultFontId),
      templateFile_(std::move(templateFile)) {
    cellFont_.fill(defaultFontId_);
}

std::string_view THtmlFile::BuiltInTemplate() {
    return TemplateText;
}

std::string THtmlFile::EscapeText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = Utf8Next(text, i, cp);
        const char* entity = nullptr;
        if (cp >= 0x80)
            for (const EntityOf& e : Entities)
                if (e.Letter == cp) {
                    entity = e.Entity;
                    break;
                }
        if (entity)
            escaped += entity;
        else
            escaped.append(text, i, length);
        i += length;
    }
    return ReplaceAllText(escaped, "  ", "&nbsp;&nbsp;");
}

std::string THtmlFile::WidthText(int perMille) const {
    if (tableWidth_ > 0)
        return std::to_string(MulDiv(perMille, tableWidth_, 1000));
    return std::to_string(perMille / 10) + "%";
}

void THtmlFile::SetColumns(std::string_view definition) {
    // Empty fields are dropped so that cell n is the n-th division of the engine, which skips
    // them as well; otherwise an empty field would swallow the text of its cell.
    std::string normalised;
    long long sum = 0;
    for (const std::string& field : SplitFields(definition)) {
        if (field.empty())
            continue;
        if (!normalised.empty())
            normalised += ';';
        normalised += field;
        sum += DivisionFieldWidth(field);
    }
    if (sum < 1000) {
        if (!normalised.empty())
            normalised += ';';
        normalised += 'L';
        normalised += std::to_string(1000 - sum);
    }
    if (normalised != definition_) {
        CloseTable();
        definition_ = normalised;
        fields_ = SplitFields(definition_);
    }
}

void THtmlFile::Cell(int index, std::string_view text) {
    state_ = hsRowPending;
    if (index < 0 || index >= MaxCells || text.empty())
        return;
    std::string& cell = cellText_[std::size_t(index)];
    if (fontId_ != cellFont_[std::size_t(index)]) {
        cell += "<em id=f";
        cell += std::to_string(fontId_);
        cell += '>';
        cellFont_[std::size_t(index)] = fontId_;
    }
    cell += EscapeText(text);
    cellState_[std::size_t(index)] = csContent;
}

void THtmlFile::LineBreak() {
    if (state_ == hsNone || state_ == hsAfterRule) {
        lines_.emplace_back("<br>");
        return;
    }
    const int count = std::min(FieldCount(), MaxCells);
    for (int i = 0; i < count; ++i) {
        cellText_[std::size_t(i)] += "<br>";
        if (cellState_[std::size_t(i)] == csEmpty)
            cellState_[std::size_t(i)] = csBreaks;
    }
    state_ = hsRowPending;
}

void THtmlFile::HorizontalRule() {
    CloseTable();
    lines_.push_back("<table width=" + WidthText(1000) +
                     " border=0 cellspacing=0 cellpadding=0><tr><td><hr noshade size=\"1\" "
                     "color=\"black\"></td></tr></table>");
    state_ = hsAfterRule;
}

void THtmlFile::CloseTable() {
    FlushRow();
    if (state_ == hsTableOpen) {
        lines_.emplace_back("</table>");
        tableOpen_ = false;
        state_ = hsNone;
    }
}

void THtmlFile::FlushRow() {
    if (state_ != hsRowPending)
        return;
    if (!tableOpen_) {
        lines_.push_back("<table width=" + WidthText(1000) + " border=" + std::to_string(border_) +
                         " cellspacing=0 cellpadding=0>");
        tableOpen_ = true;
        widthsWritten_ = false;
    }
    const int cells = std::min(FieldCount(), MaxCells);
    int longest = 0;
    std::size_t longestLength = 0;
    for (int i = 0; i < cells; ++i) {
        const std::size_t length = Utf8Length(cellText_[std::size_t(i)]);
        if (length > longestLength) {
            longest = i;
            longestLength = length;
        }
    }
    const bool writeWidths = !widthsWritten_;

    std::string row;
    int run = 0;
    std::size_t runStart = 0;
    for (int i = 0; i < cells; ++i) {
        const std::string& field = fields_[std::size_t(i)];
        const int width = RowFieldWidth(field);
        if (field.empty() || width <= 0)
            continue;
        std::string& text = cellText_[std::size_t(i)];
        const int breaks = TrailingBreaks(text);
        if (i != longest || breaks == 1)
            text.resize(text.size() - std::size_t(4 * breaks));
        if (i == longest)
            cellState_[std::size_t(i)] = csContent;

        const char letter = field[0];
        const char* align = letter == 'C'                      ? " align=center"
                            : (letter == 'R' || letter == 'D') ? " align=right"
                                                               : "";
        const std::string w = WidthText(width);
        if (run == 0)
            runStart = row.size();
        switch (cellState_[std::size_t(i)]) {
        case csContent:
            if (!writeWidths && run >= 3) {
                row.resize(runStart);
                row += "<td colspan=" + std::to_string(run) + "></td>";
            }
            if (writeWidths)
                row += std::string("<td") + align + " width=" + w + ">" + text + "</td>";
            else
                row += std::string("<td") + align + ">" + text + "</td>";
            run = 0;
            break;
        case csBreaks:
            row += writeWidths ? "<td width=" + w + ">" + text + "</td>" : "<td>" + text + "</td>";
            ++run;
            break;
        case csEmpty:
            row += writeWidths ? "<td width=" + w + "> </td>" : std::string("<td></td>");
            ++run;
            break;
        }
    }
    if (!writeWidths && run >= 3)
        row.resize(runStart);

    for (std::string& text : cellText_)
        text.clear();
    if (!row.empty()) {
        lines_.emplace_back("<tr valign=top>");
        lines_.push_back(std::move(row));
        lines_.emplace_back("</tr>");
    }
    if (writeWidths)
        widthsWritten_ = true;
    state_ = hsTableOpen;
    cellState_.fill(csEmpty);
    cellFont_.fill(defaultFontId_);
}

std::vector<std::string> THtmlFile::TemplateLines() const {
    std::vector<std::string> lines;
    std::string reason;
    if (!templateFile_.empty()) {
        if (ReadTemplateFile(templateFile_, lines, reason))
            return lines;
        ReportLog("HTML template " + templateFile_ + ": " + reason + "; using default.htt");
    }
    std::error_code ec;
    const std::string fallback = (std::filesystem::current_path(ec) / "default.htt").string();
    if (!ec && std::filesystem::exists(fallback, ec)) {
        if (ReadTemplateFile(fallback, lines, reason))
            return lines;
        ReportLog("HTML template " + fallback + ": " + reason + "; using the built-in page");
    }
    return SplitTextLines(TemplateText);
}

std::string THtmlFile::StyleSheet() const {
    std::string sheet = "<STYLE><!--\r\n";
    sheet += "BODY,TABLE,TD {font-family: @FONT, helvetica; font-style:normal; font-size: @" +
             std::to_string(defaultFontId_) + "pt;}";
    for (int n = 3; n <= 14; ++n)
        sheet += "\r\n#f" + std::to_string(n) +
                 " {font-family: @FONT, helvetica; font-style:normal; font-size: @" +
                 std::to_string(n <= 7 ? 7 : n) + "pt;}";
    sheet += "\r\n--></STYLE>";
    sheet = ReplaceAllText(sheet, "@FONT", fontName_);

    // Sizes for the markers @7 .. @14 at table widths that suit small, medium and large pages.
    // The point sizes of @11, @13 and @14 continue the steps of their neighbours.
    struct Sizes {
        const char* Marker[8];
    };
    static constexpr const char* Markers[8] = {"@7", "@8", "@9", "@10", "@12", "@11", "@13", "@14"};
    static constexpr Sizes Small{{"5", "6", "7", "8", "10", "9", "11", "12"}};
    static constexpr Sizes Medium{{"6", "7", "8", "9", "12", "10", "13", "14"}};
    static constexpr Sizes Large{{"8", "9", "10", "11", "14", "12", "15", "16"}};
    const Sizes* sizes = nullptr;
    if (tableWidth_ == -1 || (tableWidth_ >= 650 && tableWidth_ <= 800))
        sizes = nullptr;
    else if (tableWidth_ >= 1 && tableWidth_ <= 549)
        sizes = &Small;
    else if (tableWidth_ >= 550 && tableWidth_ <= 649)
        sizes = &Medium;
    else
        sizes = &Large;
    if (sizes)
        for (int i = 0; i < 8; ++i)
            sheet = ReplaceAllText(sheet, Markers[i], sizes->Marker[i]);
    // Whatever marker is left (a default font id outside 7 .. 14) keeps its plain size.
    return ReplaceAllText(sheet, "@", "");
}

std::string THtmlFile::PageText() {
    CloseTable();
    std::vector<std::string> templ = TemplateLines();
    const std::string date = FormatLanguageDateTime("ddddd", ReportNow());
    for (std::string& line : templ)
        line = ReplaceAllText(line, "@DATE@", date);
    for (std::string& line : templ)
        if (SameText(line, "@TITLE@")) {
            line = title_;
            break;
        }
    std::size_t bodyAt = templ.size();
    bool hasBodyLine = false;
    for (std::size_t i = 0; i < templ.size(); ++i)
        if (SameText(templ[i], "@BODY@")) {
            bodyAt = i;
            hasBodyLine = true;
            break;
        }

    std::vector<std::string> page;
    page.reserve(templ.size() + lines_.size() + 1);
    page.emplace_back("<a name=_top>");
    page.insert(page.end(), templ.begin(), templ.begin() + std::ptrdiff_t(bodyAt));
    page.insert(page.end(), lines_.begin(), lines_.end());
    if (hasBodyLine)
        page.insert(page.end(), templ.begin() + std::ptrdiff_t(bodyAt) + 1, templ.end());
    for (std::string& line : page)
        if (SameText(line, "@ANCHORS@"))
            line.clear();

    for (std::string& line : page) {
        const std::string lower = AsciiLower(line);
        const std::size_t head = lower.find("<head>");
        if (head == std::string::npos)
            continue;
        const std::size_t after = head + 6;
        line = line.substr(0, after) + "\r\n<!-- created with Kavrin Software " +
               UnicodeUpper(ReportHooks().ApplicationTitle) + "-->\r\n" + StyleSheet() +
               line.substr(after);
        break;
    }

    std::string text;
    std::size_t size = 0;
    for (const std::string& line : page)
        size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : page) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void THtmlFile::SaveToFile(const std::string& fileName) {
    ReplaceFileContents(fileName, PageText());
}

} // namespace marqor
