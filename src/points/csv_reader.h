#pragma once

// The reader of separated columns behind the base-time section of a point table: a header line
// of column names, then one row per line, fields read by column name.

#include "swimming/swim_style.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// Hands out one line after the other, false at the end; the text of a line must stay valid
// until the next call.
using TLineSource = std::function<bool(std::string_view& line)>;

// Steps through the lines of a text, split at CR LF, LF or CR; a final line break adds no empty
// line. The text must outlive the cursor.
class TLineCursor {
public:
    explicit TLineCursor(std::string_view text) : text_(text) {}
    bool Next(std::string_view& line);
    // Offset of the next line in the text.
    std::size_t Position() const { return position_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

class TBSCSVReader final : public IBSSwColumnRecord {
public:
    // With hasTypeLine the line after the column header holds a type per column.
    explicit TBSCSVReader(TLineSource lines, char separator = ';', bool hasTypeLine = false);
    // Over lines that the caller keeps alive.
    explicit TBSCSVReader(std::span<const std::string_view> lines, char separator = ';',
                          bool hasTypeLine = false);
    // Over a text; the text must outlive the reader.
    explicit TBSCSVReader(std::string_view text, char separator = ';', bool hasTypeLine = false);

    // Reads the first non-empty line as the column header: names trimmed and in upper case, so
    // that a column is found whatever case its header uses. False when there is no such line.
    bool Open();
    // Moves to the next line that is neither empty nor a single NUL character and splits it at
    // the separator, empty fields kept. False at the end of the text.
    bool Next();

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const std::vector<std::string>& ColumnNames() const { return columns_; }
    // The first column of that (upper-case) name, -1 when there is none.
    int ColumnIndex(std::string_view name) const;
    // The type text of the column when the reader has a type line; empty otherwise.
    std::string ColumnType(std::string_view name) const;

    // Fields of the current row. A row with fewer fields than columns reads the missing ones as
    // empty; fields beyond the last column are never read.
    std::string_view FieldAt(int column) const;
    std::string_view ReadString(std::string_view column) const;
    // 0 when the field is no integer.
    std::int32_t ReadIntegerAt(int column) const;
    std::int32_t ReadInteger(std::string_view column) const override;

private:
    bool NextLine(std::string_view& line);

    TLineSource lines_;
    char separator_;
    bool hasTypeLine_;
    std::vector<std::string> columns_;
    std::vector<std::string> types_;
    std::vector<std::string_view> fields_;
};

// All lines of a text at once (see TLineCursor).
std::vector<std::string_view> SplitLines(std::string_view text);

// The upper-case form under which column names are compared; a dotless small i becomes I.
std::string ColumnNameKey(std::string_view name);

} // namespace marqor
