#pragma once

// A mutable text with chainable operations: appending with separators, filling to a width, case
// tests and changes, transliteration to plain ASCII, identifier forms, numeric character
// references, e-mail address checks and word-pattern search. Every rule counts characters as
// code points of the UTF-8 text.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace marqor {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class IBSString;
using IBSStringPtr = std::shared_ptr<IBSString>;

// Operations that return IBSString& change the text in place and answer the same object, so
// calls chain: NewBSString(name)->Transliterate().ToUpper().AsText().
class IBSString {
public:
    virtual ~IBSString() = default;

    // When text is not empty: the separator first if the own text is not empty, then the text.
    virtual IBSString& Add(std::string_view text, std::string_view separator = {}) = 0;
    IBSString& AddString(const IBSString& other, std::string_view separator = {});
    IBSString& AddPadded(std::string_view text, int width, std::string_view separator = {},
                         TAlignment alignment = taLeftJustify, char32_t padChar = U' ');
    // Add of the printf-formatted text. The separator comes first because the arguments end
    // the list.
    IBSString& AddFormat(std::string_view separator, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    // When text is not empty: the separator in front if the own text is not empty, then the
    // text in front of that.
    virtual IBSString& Prepend(std::string_view text, std::string_view separator = {}) = 0;
    IBSString& PrependString(const IBSString& other, std::string_view separator = {});
    IBSString& PrependPadded(std::string_view text, int width, std::string_view separator = {},
                             TAlignment alignment = taLeftJustify, char32_t padChar = U' ');
    IBSString& PrependFormat(std::string_view separator, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

    virtual const std::string& AsText() const = 0;
    virtual void SetText(std::string text) = 0;
    bool IsEmpty() const { return AsText().empty(); }
    // The trimmed text as a decimal number in the current number format (DecimalSeparator).
    double AsFloat(double fallback) const;
    // The trimmed text as an integer.
    std::int32_t AsInteger(std::int32_t fallback) const;
    // Some character is not ASCII.
    bool HasNonAscii() const;
    // The text equals its lower-case form; with ignoreAccented the accented capitals of the
    // transliteration table are left out of the comparison.
    bool IsLowerCase(bool ignoreAccented) const;
    // The text equals its upper-case form; with ignoreAccented the accented small letters are
    // left out of the comparison.
    bool IsUpperCase(bool ignoreAccented) const;
    bool IsEmailAddress() const;
    // Every search word (split at the separators) matches some word of the text; both sides are
    // transliterated and upper-cased first. "*" at either end of a search word is a wildcard.
    bool MatchesWords(std::string_view search, std::string_view separators) const;
    // Degrees, minutes and seconds ("S 33° 30'") as a signed number of degrees.
    double AsCoordinate() const;

    virtual IBSStringPtr Clone() const = 0;
    // A new object in which every character above 127 (asciiOnly) or 255 is written as "&#",
    // its decimal code and the terminator.
    IBSStringPtr EncodeReferences(bool asciiOnly, std::string_view terminator = ";") const;

    IBSString& CleanName();
    IBSString& CapitaliseWords();
    IBSString& Pad(int width, char32_t padChar = U' ', TAlignment alignment = taLeftJustify);
    IBSString& ReplaceAll(std::string_view oldText, std::string_view newText);
    // The part of count characters from the 1-based index.
    IBSString& SubString(int index, int count);
    IBSString& ToIdentifier();
    IBSString& ToLower();
    IBSString& ToUpper();
    IBSString& Transliterate();
};

IBSStringPtr NewBSString(std::string_view text = {});
// The text with numeric character references ("&#228;") decoded. A reference without ";" loses
// its "&#"; a code that is no number or no character raises EConvertError.
IBSStringPtr NewBSStringFromReferences(std::string_view text);

// The name of the character set that "ANSI" files are declared in.
std::string AnsiCharsetName();

// The decimal separator of the current number format ("." until the language layer sets one).
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// A decimal number written with DecimalSeparator() as its separator.
std::optional<double> ParseLocalFloat(std::string_view text);

// The operations of IBSString as free functions, for code that holds a plain std::string.
std::string TransliterateText(std::string_view text);
std::string TextToIdentifier(std::string_view text);
std::string PadText(std::string_view text, int width, char32_t padChar, TAlignment alignment);
std::string UpperCaseText(std::string_view text); // "ı" becomes "I" first
std::string LowerCaseText(std::string_view text); // "İ" becomes "i" first
bool IsEmailAddressText(std::string_view text);
bool TextMatchesWords(std::string_view text, std::string_view search, std::string_view separators);
double TextAsCoordinate(std::string_view text);

} // namespace marqor
