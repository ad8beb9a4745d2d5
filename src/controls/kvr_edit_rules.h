#pragma once

// How the masked edit field (TKvrEdit) lays its text into a character mask, where typed
// characters go, how it reads numbers, dates, times and swim times with a course, and the text
// it keeps in settings. The field only holds the shown text and its settings; the rules live here
// so that a test reaches them without a window.
//
// Mask characters: "#" takes a digit, "$" a letter, "@" any character; every other mask
// character is a literal that is shown as it is. An empty position shows as "_" and reads as a
// space. Positions are counted in UTF-16 units, as the field's caret counts them.

#include "foundation/date_time.h"
#include "swimming/types.h"
#include "texts/formatting.h"

#include <QString>
#include <cstdint>
#include <string>

namespace marqor {

// The order is the stored form of the property.
enum class TEditType : std::uint8_t { etString, etChron, etTime, etDate, etInteger, etFloat };

enum TEditOption : std::uint8_t {
    eoAllowZMinuten = 1,
    eoSaveMaskChars = 2,
    eoZeroAsBlanks = 4,
    eoHasUpDown = 8,
    eoTrimStrings = 16,
    eoHasChronCourse = 32,
};
using TEditOptions = std::uint8_t; // a set of TEditOption bits
inline constexpr TEditOptions DefaultEditOptions =
    eoAllowZMinuten | eoSaveMaskChars | eoZeroAsBlanks;

inline constexpr QChar MaskBlank = u'_';

// The options that a type keeps: eoHasUpDown only for times, dates and integers,
// eoHasChronCourse only for swim times.
TEditOptions OptionsForEditType(TEditType type, TEditOptions options);
// The width in pixels that a type gives the field, 0 for the types that keep theirs.
int WidthForEditType(TEditType type, TEditOptions options);

// The short date format with two-digit day and month and a four-digit year, its "/" replaced by
// the date separator ("d/m/yy" with "." becomes "dd.mm.yyyy").
std::string NormalisedShortDateFormat(const TBSFormatSettings& fs);
// The mask a type builds: "##:##" for times, the normalised short date with its letters as "#"
// for dates, none for the others (whose mask, if any, is the one set for etString).
QString MaskForEditType(TEditType type, const TBSFormatSettings& fs);

bool IsMaskInputChar(QChar maskChar);
// Whether the mask position takes the character ("#" a digit, or "N" or "T" at the 4th and 5th
// positions; "$" a letter; "@" anything but a space). Literal positions take nothing.
bool MaskAccepts(const QString& mask, int position, QChar c);
// The text shown for a text under the mask: each input position keeps the text's character
// when it takes it, else shows "_"; literal positions show the mask character. Without a mask
// the text stays as it is.
QString ApplyMask(const QString& mask, const QString& text);
// The text laid into the input positions one after the other, the literals between them.
QString LayIntoMask(const QString& mask, const QString& value);
// The characters at the input positions of a shown text, "_" as spaces.
QString MaskInputChars(const QString& mask, const QString& shown);
// The value of the shown text (the field's Text): "_" as spaces; for etString without
// eoSaveMaskChars only the input positions, trimmed with eoTrimStrings; times and dates trimmed
// and empty while every input position is blank; numbers trimmed.
QString MaskedValueText(TEditType type, TEditOptions options, const QString& mask,
                        const QString& shown);

// The outcome of a key in a masked field.
struct TMaskEdit {
    QString Text;
    int Caret = 0;
    bool Accepted = true; // false: nothing takes the character, the field beeps
};

// A printable character typed at the caret, a selection (start, length) blanked first. ",",
// ".", ":" and ";" that occur at or after the caret move the caret behind that occurrence;
// other characters go to the first position from the caret that takes them, and the caret
// moves on to the next input position.
TMaskEdit TypeIntoMask(const QString& mask, const QString& shown, int caret, int selStart,
                       int selLength, QChar c);
// Backspace (the position before the caret) or Delete (the one at it); a selection is blanked
// whole. A blanked input position draws the rest of its run of input positions one place left.
TMaskEdit DeleteInMask(const QString& mask, const QString& shown, int caret, int selStart,
                       int selLength, bool backspace);
// The selection blanked (literals stay).
QString BlankInMask(const QString& mask, const QString& shown, int selStart, int selLength);

// The bounds of a number field: a non-zero MinValue raises, a non-zero MaxValue lowers.
bool HasEditBounds(std::int32_t minValue, std::int32_t maxValue);
std::int64_t BoundEditInteger(std::int64_t value, std::int32_t minValue, std::int32_t maxValue);
double BoundEditFloat(double value, std::int32_t minValue, std::int32_t maxValue);
// The trimmed text as a decimal integer, 0 when it is none.
std::int32_t ReadEditInteger(const QString& text);
// The trimmed text as a number with the decimal separator, 0 when it is none.
double ReadEditFloat(const QString& text, const TBSFormatSettings& fs);
// Empty for 0 with eoZeroAsBlanks, otherwise the decimal number.
QString IntegerEditText(std::int32_t value, TEditOptions options);
// Empty for 0 with eoZeroAsBlanks; otherwise at most `precision` decimals without trailing
// zeros (a whole number below precision 1).
QString FloatEditText(double value, int precision, TEditOptions options,
                      const TBSFormatSettings& fs);

// Swim time and course of a chron text "time[ course letter]": L 1, S 2, Y 3, else 0.
SwimTime ReadChron(const QString& text);
int ReadChronCourse(const QString& text);
QChar ChronCourseLetter(int course); // a space for 0
// The swim time's text, a space and the course letter, trimmed.
QString ChronText(SwimTime time, int course, bool withCourse);

// Times of day read with ":" between hours and minutes; dates as the short date after the
// spaces are removed, limited to 0..73050. 0 when unreadable.
TDateTime ReadEditTime(const QString& text);
TDateTime ReadEditDate(const QString& text, const TBSFormatSettings& fs);
// Empty for 0; "hh:nn" for times, the normalised short date for dates.
QString DateEditText(TEditType type, TDateTime value, const TBSFormatSettings& fs);

// The stored form of a value: "hhnn" for times, "yyyymmdd" for dates, a float as
// "#.#############" with "." as separator.
std::string TimeStorageText(TDateTime value);
std::string DateStorageText(TDateTime value);
std::string FloatStorageText(double value);
// Back again; nothing when the text cannot be read.
std::optional<TDateTime> TimeFromStorageText(std::string_view text);
std::optional<TDateTime> DateFromStorageText(std::string_view text);
std::optional<double> FloatFromStorageText(std::string_view text);

} // namespace marqor
