#pragma once

// A small value with a kind, held as text, that controls hand to generic code and that settings
// store in its serial form: the kind's letter, ";" and the text ("I;12").

#include "foundation/date_time.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace marqor {

enum TBSVariantKind : std::uint8_t {
    vkEmpty,     // " "
    vkBoolean,   // "B", BOOLEAN
    vkBytes,     // "Y", BINARY
    vkDateTime,  // "D", DATETIME
    vkFloat,     // "F", FLOAT
    vkInteger,   // "I", INTEGER
    vkMemo,      // "M", MEMO
    vkString,    // "S", STRING
    vkUndefined, // "U", UNDEFINED
};

char VariantKindLetter(TBSVariantKind kind);
// "BOOLEAN", "INTEGER", ...; the empty kind has the name "".
std::string VariantKindName(TBSVariantKind kind);

class IBSVariant {
public:
    virtual ~IBSVariant() = default;

    virtual TBSVariantKind Kind() const = 0;
    // The value as stored: integers in decimal, booleans "True"/"False", date-times as
    // "yyyymmddhhnnsszzz", floats as the shortest text with ".".
    virtual const std::string& Text() const = 0;
    // Empty whenever the text is empty, whatever the kind.
    bool IsEmpty() const { return Text().empty(); }

    bool AsBoolean(bool fallback = false) const;
    std::int32_t AsInteger(std::int32_t fallback = 0) const;
    double AsFloat(double fallback = 0) const;
    TDateTime AsDateTime(TDateTime fallback = 0) const;
    const std::string& AsString() const { return Text(); }
    // The bytes of the text as UTF-16 little-endian code units.
    std::string AsBytes() const;
    // The kind's letter, ";" and the text; a memo's control characters are escaped.
    std::string SerialText() const;
};

class IBSWritableVariant : public IBSVariant {
public:
    virtual void Set(TBSVariantKind kind, std::string text) = 0;
    void Clear() { Set(vkEmpty, {}); }
    void SetBoolean(bool value);
    // Bytes read as UTF-16 little-endian text.
    void SetBytes(std::string_view bytes);
    void SetDateTime(TDateTime value);
    void SetFloat(double value);
    void SetInteger(std::int32_t value);
    void SetMemo(std::string text);
    void SetString(std::string text);
    // Reads a serial form (see SerialText); a first character that is no kind letter gives the
    // undefined kind.
    void SetSerialText(std::string_view serial);
};
using IBSVariantPtr = std::shared_ptr<IBSVariant>;
using IBSWritableVariantPtr = std::shared_ptr<IBSWritableVariant>;

// A variant read from its serial form; an empty text gives an empty variant.
IBSWritableVariantPtr NewVariant(std::string_view serial = {});

} // namespace marqor
