#include "controls/kvr_edit_rules.h"

#include "controls/edit_rules.h"
#include "foundation/text.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace marqor {

namespace {

QString Trimmed(const QString& s) {
    // Only blanks: a mask's "_" turned into spaces, never other white space the user typed.
    qsizetype first = 0, last = s.size();
    while (first < last && s[first] == u' ')
        ++first;
    while (last > first && s[last - 1] == u' ')
        --last;
    return s.mid(first, last - first);
}

QString BlanksAsSpaces(QString s) {
    s.replace(MaskBlank, u' ');
    return s;
}

int NextInputPosition(const QString& mask, int from) {
    int p = from;
    while (p < mask.size() && !IsMaskInputChar(mask[p]))
        ++p;
    return p;
}

// "%.*f" rounded half away from zero, as the number formats of the platform round.
std::string FixedText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
    return buf;
}

std::string StripFractionZeros(std::string s) {
    if (s.find('.') == std::string::npos)
        return s;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace

TEditOptions OptionsForEditType(TEditType type, TEditOptions options) {
    if (type != TEditType::etTime && type != TEditType::etDate && type != TEditType::etInteger)
        options &= TEditOptions(~eoHasUpDown);
    if (type != TEditType::etChron)
        options &= TEditOptions(~eoHasChronCourse);
    return options;
}

int WidthForEditType(TEditType type, TEditOptions options) {
    switch (type) {
    case TEditType::etChron:
        return (options & eoHasChronCourse) ? 60 : 50;
    case TEditType::etTime:
        return 35;
    case TEditType::etDate:
        return 65;
    default:
        return 0;
    }
}

std::string NormalisedShortDateFormat(const TBSFormatSettings& fs) {
    const std::string& format = fs.ShortDateFormat;
    std::string result;
    for (std::size_t i = 0; i < format.size();) {
        const char c = char(std::tolower(static_cast<unsigned char>(format[i])));
        if (c == 'd' || c == 'm' || c == 'y') {
            std::size_t j = i;
            while (j < format.size() && std::tolower(static_cast<unsigned char>(format[j])) == c)
                ++j;
            result += c == 'y' ? "yyyy" : std::string(2, c);
            i = j;
        } else {
            if (c == '/')
                result += fs.DateSeparator;
            else
                result += format[i];
            ++i;
        }
    }
    return result;
}

QString MaskForEditType(TEditType type, const TBSFormatSettings& fs) {
    if (type == TEditType::etTime)
        return QStringLiteral("##:##");
    if (type != TEditType::etDate)
        return {};
    QString mask = QString::fromStdString(NormalisedShortDateFormat(fs));
    for (auto& c : mask)
        if (QStringLiteral("ymdhnsYMDHNS").contains(c))
            c = u'#';
    return mask;
}

bool IsMaskInputChar(QChar maskChar) {
    return maskChar == u'#' || maskChar == u'$' || maskChar == u'@';
}

bool MaskAccepts(const QString& mask, int position, QChar c) {
    if (position < 0 || position >= mask.size())
        return false;
    switch (mask[position].unicode()) {
    case u'#':
        return c.isDigit() || ((position == 3 || position == 4) && (c == u'N' || c == u'T'));
    case u'$':
        return c.isLetter();
    case u'@':
        return c != u' ';
    default:
        return false;
    }
}

QString ApplyMask(const QString& mask, const QString& text) {
    if (mask.isEmpty())
        return text;
    QString shown(mask.size(), u' ');
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = i < text.size() ? text[i] : QChar(u' ');
        if (!IsMaskInputChar(mask[i]))
            shown[i] = mask[i];
        else
            shown[i] = MaskAccepts(mask, i, c) ? c : MaskBlank;
    }
    return shown;
}

QString LayIntoMask(const QString& mask, const QString& value) {
    QString text(mask.size(), u' ');
    int next = 0;
    for (int i = 0; i < mask.size(); ++i) {
        if (IsMaskInputChar(mask[i]))
            text[i] = next < value.size() ? value[next++] : QChar(u' ');
        else
            text[i] = mask[i];
    }
    return ApplyMask(mask, text);
}

QString MaskInputChars(const QString& mask, const QString& shown) {
    QString result;
    for (int i = 0; i < mask.size(); ++i)
        if (IsMaskInputChar(mask[i]))
            result += i < shown.size() && shown[i] != MaskBlank ? shown[i] : QChar(u' ');
    return result;
}

QString MaskedValueText(TEditType type, TEditOptions options, const QString& mask,
                        const QString& shown) {
    const bool masked = !mask.isEmpty();
    QString value = masked ? BlanksAsSpaces(shown) : shown;
    switch (type) {
    case TEditType::etString:
        if (masked && !(options & eoSaveMaskChars))
            value = MaskInputChars(mask, shown);
        if (options & eoTrimStrings)
            value = Trimmed(value);
        return value;
    case TEditType::etTime:
    case TEditType::etDate:
        if (masked && Trimmed(MaskInputChars(mask, shown)).isEmpty())
            return {};
        return Trimmed(value);
    case TEditType::etInteger:
    case TEditType::etFloat:
        return Trimmed(value);
    case TEditType::etChron:
        return value;
    }
    return value;
}

QString BlankInMask(const QString& mask, const QString& shown, int selStart, int selLength) {
    QString text = ApplyMask(mask, shown);
    const int end = std::min<int>(selStart + selLength, int(text.size()));
    for (int i = std::max(0, selStart); i < end; ++i)
        if (IsMaskInputChar(mask[i]))
            text[i] = MaskBlank;
    return text;
}

TMaskEdit TypeIntoMask(const QString& mask, const QString& shown, int caret, int selStart,
                       int selLength, QChar c) {
    TMaskEdit edit{ApplyMask(mask, shown), std::clamp(caret, 0, int(mask.size())), true};
    if (selLength > 0) {
        edit.Text = BlankInMask(mask, edit.Text, selStart, selLength);
        edit.Caret = std::clamp(selStart, 0, int(mask.size()));
    }
    if (c == u',' || c == u'.' || c == u':' || c == u';') {
        const qsizetype at = edit.Text.indexOf(c, edit.Caret);
        if (at >= 0) {
            edit.Caret = int(at) + 1;
            return edit;
        }
    }
    for (int p = edit.Caret; p < mask.size(); ++p) {
        if (!IsMaskInputChar(mask[p])) {
            if (mask[p] == c) { // typing the literal itself steps over it
                edit.Caret = p + 1;
                return edit;
            }
            continue;
        }
        if (MaskAccepts(mask, p, c)) {
            edit.Text[p] = c;
            edit.Caret = NextInputPosition(mask, p + 1);
            return edit;
        }
    }
    edit.Accepted = false;
    return edit;
}

TMaskEdit DeleteInMask(const QString& mask, const QString& shown, int caret, int selStart,
                       int selLength, bool backspace) {
    TMaskEdit edit{ApplyMask(mask, shown), std::clamp(caret, 0, int(mask.size())), true};
    if (selLength > 0) {
        edit.Text = BlankInMask(mask, edit.Text, selStart, selLength);
        edit.Caret = std::clamp(selStart, 0, int(mask.size()));
        return edit;
    }
    const int pos = backspace ? edit.Caret - 1 : edit.Caret;
    if (pos < 0 || pos >= mask.size())
        return edit;
    if (!IsMaskInputChar(mask[pos])) {
        edit.Caret = backspace ? pos : pos + 1;
        return edit;
    }
    int end = pos;
    while (end + 1 < mask.size() && IsMaskInputChar(mask[end + 1]))
        ++end;
    for (int i = pos; i < end; ++i)
        edit.Text[i] = edit.Text[i + 1];
    edit.Text[end] = MaskBlank;
    edit.Text = ApplyMask(mask, edit.Text);
    edit.Caret = pos;
    return edit;
}

bool HasEditBounds(std::int32_t minValue, std::int32_t maxValue) {
    return minValue != 0 || maxValue != 0;
}

std::int64_t BoundEditInteger(std::int64_t value, std::int32_t minValue, std::int32_t maxValue) {
    if (minValue != 0 && value < minValue)
        value = minValue;
    if (maxValue != 0 && value > maxValue)
        value = maxValue;
    return value;
}

double BoundEditFloat(double value, std::int32_t minValue, std::int32_t maxValue) {
    if (minValue != 0 && value < minValue)
        value = minValue;
    if (maxValue != 0 && value > maxValue)
        value = maxValue;
    return value;
}

std::int32_t ReadEditInteger(const QString& text) {
    return ParseInt(Trimmed(text).toStdString()).value_or(0);
}

double ReadEditFloat(const QString& text, const TBSFormatSettings& fs) {
    QString s = Trimmed(text);
    const QString separator = fs.DecimalSeparator.empty()
                                  ? QStringLiteral(".")
                                  : QString::fromStdString(fs.DecimalSeparator);
    if (separator != u'.') {
        if (s.contains(u'.'))
            return 0;
        s.replace(separator, QStringLiteral("."));
    }
    return ParseFloat(s.toStdString()).value_or(0);
}

QString IntegerEditText(std::int32_t value, TEditOptions options) {
    if (value == 0 && (options & eoZeroAsBlanks))
        return {};
    return QString::number(value);
}

QString FloatEditText(double value, int precision, TEditOptions options,
                      const TBSFormatSettings& fs) {
    if (value == 0 && (options & eoZeroAsBlanks))
        return {};
    std::string s = StripFractionZeros(FixedText(value, std::max(0, precision)));
    if (const auto dot = s.find('.'); dot != std::string::npos)
        s.replace(dot, 1, fs.DecimalSeparator);
    return QString::fromStdString(Trim(s));
}

SwimTime ReadChron(const QString& text) {
    const QString first = Trimmed(text).section(u' ', 0, 0);
    if (first.isEmpty())
        return 0;
    return TextToSwimTime(first.toStdString());
}

int ReadChronCourse(const QString& text) {
    const QString t = Trimmed(text);
    const qsizetype space = t.indexOf(u' ');
    if (space < 0)
        return 0;
    const QString rest = Trimmed(t.mid(space + 1));
    if (rest.isEmpty())
        return 0;
    switch (rest[0].toUpper().unicode()) {
    case u'L':
        return sco50m;
    case u'S':
        return sco25m;
    case u'Y':
        return sco25y;
    default:
        return 0;
    }
}

QChar ChronCourseLetter(int course) {
    switch (course) {
    case sco50m:
        return u'L';
    case sco25m:
        return u'S';
    case sco25y:
        return u'Y';
    default:
        return u' ';
    }
}

QString ChronText(SwimTime time, int course, bool withCourse) {
    const QString t = QString::fromStdString(SwimTimeToText(time));
    if (!withCourse)
        return t;
    return Trimmed(t + u' ' + ChronCourseLetter(course));
}

TDateTime ReadEditTime(const QString& text) {
    const QString t = Trimmed(text);
    if (t.isEmpty())
        return 0;
    const qsizetype colon = t.indexOf(u':');
    const QString hours = colon < 0 ? t : t.left(colon).trimmed();
    const QString minutes = colon < 0 ? QString() : t.mid(colon + 1).trimmed();
    const auto h = ParseInt(hours.toStdString());
    const auto m =
        minutes.isEmpty() ? std::optional<std::int32_t>(0) : ParseInt(minutes.toStdString());
    if (!h || !m || hours.isEmpty())
        return 0;
    return TryEncodeTime(*h, *m, 0).value_or(0);
}

TDateTime ReadEditDate(const QString& text, const TBSFormatSettings& fs) {
    QString t = text;
    t.remove(u' ');
    if (t.isEmpty())
        return 0;
    TBSEditFormat format;
    format.EditType = etDate;
    TBSFormatSettings normal = fs;
    normal.ShortDateFormat = NormalisedShortDateFormat(fs);
    const auto date = ReadDateText(format, t.toStdString(), normal, CurrentYear());
    if (!date)
        return 0;
    return std::clamp(std::floor(*date), 0.0, OpenEndDateTime);
}

QString DateEditText(TEditType type, TDateTime value, const TBSFormatSettings& fs) {
    if (value == 0)
        return {};
    if (type == TEditType::etTime) {
        const auto parts = DecodeDateTimeParts(value);
        return QString::fromStdString(Format("%02d:%02d", parts.Hour, parts.Minute));
    }
    return QString::fromStdString(FormatDateTimeText(NormalisedShortDateFormat(fs), value, fs));
}

std::string TimeStorageText(TDateTime value) {
    const auto parts = DecodeDateTimeParts(value);
    return Format("%02d%02d", parts.Hour, parts.Minute);
}

std::string DateStorageText(TDateTime value) {
    const auto parts = DecodeDateTimeParts(value);
    return Format("%04d%02d%02d", parts.Year, parts.Month, parts.Day);
}

std::string FloatStorageText(double value) {
    std::string s = StripFractionZeros(FixedText(value, 13));
    // "#" before the separator writes no zero: 0.5 is ".5", and 0 is nothing at all.
    if (s == "0")
        return {};
    if (s.starts_with("0."))
        s.erase(0, 1);
    else if (s.starts_with("-0."))
        s.erase(1, 1);
    return s;
}

std::optional<TDateTime> TimeFromStorageText(std::string_view text) {
    if (text.size() < 4)
        return std::nullopt;
    const auto h = ParseInt(text.substr(0, 2));
    const auto m = ParseInt(text.substr(2, 2));
    if (!h || !m)
        return std::nullopt;
    return TryEncodeTime(*h, *m, 0);
}

std::optional<TDateTime> DateFromStorageText(std::string_view text) {
    if (text.size() < 8)
        return std::nullopt;
    const auto y = ParseInt(text.substr(0, 4));
    const auto m = ParseInt(text.substr(4, 2));
    const auto d = ParseInt(text.substr(6, 2));
    if (!y || !m || !d)
        return std::nullopt;
    return TryEncodeDate(*y, *m, *d);
}

std::optional<double> FloatFromStorageText(std::string_view text) {
    return ParseFloat(text);
}

} // namespace marqor
