#include "points/csv_reader.h"

#include "foundation/text.h"

#include <cstring>

namespace marqor {

bool TLineCursor::Next(std::string_view& line) {
    if (position_ >= text_.size())
        return false;
    const char* begin = text_.data() + position_;
    const std::size_t rest = text_.size() - position_;
    // The next LF, then a CR before it: CR LF, or a line that ends with a CR alone.
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', rest));
    const std::size_t toLf = lf ? static_cast<std::size_t>(lf - begin) : rest;
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', toLf));
    const std::size_t length = cr ? static_cast<std::size_t>(cr - begin) : toLf;
    line = text_.substr(position_, length);
    if (cr && length + 1 == toLf && lf)
        position_ += toLf + 1; // CR LF
    else
        position_ += length + 1;
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    TLineCursor cursor(text);
    for (std::string_view line; cursor.Next(line);)
        lines.push_back(line);
    return lines;
}

std::string ColumnNameKey(std::string_view name) {
    const std::string_view trimmed = TrimView(name);
    bool ascii = true;
    for (char c : trimmed)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return AsciiUpper(trimmed);
    std::u32string cps = Utf8ToCodePoints(trimmed);
    for (auto& c : cps)
        c = c == U'\u0131' ? U'I' : UnicodeUpper(c);
    return CodePointsToUtf8(cps);
}

TBSCSVReader::TBSCSVReader(TLineSource lines, char separator, bool hasTypeLine)
    : lines_(std::move(lines)), separator_(separator), hasTypeLine_(hasTypeLine) {}

TBSCSVReader::TBSCSVReader(std::span<const std::string_view> lines, char separator,
                           bool hasTypeLine)
    : TBSCSVReader(
          [lines, i = std::size_t{0}](std::string_view& line) mutable {
              if (i >= lines.size())
                  return false;
              line = lines[i++];
              return true;
          },
          separator, hasTypeLine) {}

TBSCSVReader::TBSCSVReader(std::string_view text, char separator, bool hasTypeLine)
    : TBSCSVReader([cursor = TLineCursor(text)](
                       std::string_view& line) mutable { return cursor.Next(line); },
                   separator, hasTypeLine) {}

bool TBSCSVReader::NextLine(std::string_view& line) {
    while (lines_(line))
        if (!line.empty() && line != std::string_view("\0", 1))
            return true;
    return false;
}

namespace {

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& fields) {
    fields.clear();
    // Fields are a few characters long: a plain loop beats a library search per field.
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == separator) {
            fields.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    fields.push_back(line.substr(start));
}

} // namespace

bool TBSCSVReader::Open() {
    columns_.clear();
    types_.clear();
    fields_.clear();
    std::string_view line;
    if (!NextLine(line))
        return false;
    SplitFields(line, separator_, fields_);
    for (std::string_view name : fields_)
        columns_.push_back(ColumnNameKey(name));
    if (hasTypeLine_ && NextLine(line)) {
        SplitFields(line, separator_, fields_);
        for (std::string_view type : fields_)
            types_.push_back(Trim(type));
    }
    fields_.clear();
    return true;
}

bool TBSCSVReader::Next() {
    std::string_view line;
    if (!NextLine(line)) {
        fields_.clear();
        return false;
    }
    SplitFields(line, separator_, fields_);
    return true;
}

int TBSCSVReader::ColumnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == name)
            return static_cast<int>(i);
    return -1;
}

std::string TBSCSVReader::ColumnType(std::string_view name) const {
    const int i = ColumnIndex(name);
    return i >= 0 && static_cast<std::size_t>(i) < types_.size() ? types_[i] : std::string();
}

std::string_view TBSCSVReader::FieldAt(int column) const {
    if (column < 0 || column >= ColumnCount() || static_cast<std::size_t>(column) >= fields_.size())
        return {};
    return fields_[column];
}

std::string_view TBSCSVReader::ReadString(std::string_view column) const {
    return FieldAt(ColumnIndex(column));
}

std::int32_t TBSCSVReader::ReadIntegerAt(int column) const {
    return ParseInt(FieldAt(column)).value_or(0);
}

std::int32_t TBSCSVReader::ReadInteger(std::string_view column) const {
    return ReadIntegerAt(ColumnIndex(column));
}

} // namespace marqor
