#include "services/ui_texts.h"

#include "foundation/errors.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "texts/language.h"

namespace marqor {

std::string TextOrEnglish(std::string_view reference, int index, std::string_view english) {
    std::string text = LanguageText(reference, index);
    if (text.empty() || text == reference)
        return std::string(english);
    return text;
}

std::string TextOrEnglishFmt(std::string_view reference, std::string_view english,
                             std::initializer_list<TBSFormatArg> args) {
    const std::span<const TBSFormatArg> list(args.begin(), args.size());
    const std::string format = LanguageText(reference);
    if (!format.empty() && format != reference) {
        try {
            return FormatText(format, list, ProcessFormatSettings());
        } catch (const EConvertError&) {
            // A translation with the wrong placeholders still gets its message across in English.
        }
    }
    return FormatText(english, list, ProcessFormatSettings());
}

std::string RemainingTimeText(double elapsedSeconds, int position, int maximum) {
    if (position <= 0 || maximum <= 0)
        return TextOrEnglish("#BS.TimeUnknown", "unknown");
    const double remaining = elapsedSeconds / position * maximum - elapsedSeconds;
    if (remaining < 5)
        return TextOrEnglish("#BS.TimeFewSeconds", "a few seconds");
    for (const int seconds : {10, 20, 30})
        if (remaining < seconds)
            return TextOrEnglishFmt("#BS.TimeXSeconds", "%d seconds", {seconds});
    if (remaining < 60)
        return TextOrEnglish("#BS.TimeMinute", "about a minute");
    if (remaining < 3480)
        return TextOrEnglishFmt("#BS.TimeXMinutes", "%d minutes",
                                {static_cast<int>((remaining + 60) / 60)});
    if (remaining >= 86400)
        return TextOrEnglish("#BS.TimeMoreThanOneDay", "more than a day");
    const int total = static_cast<int>(remaining);
    return TextOrEnglishFmt("#BS.TimeMinsHours", "%d:%.2d hours",
                            {total / 3600, (total % 3600) / 60});
}

std::string TimeRemainingLabel(double elapsedSeconds, int position, int maximum) {
    return TextOrEnglish("#BS.TimeRemaining", "Time remaining:") + " " +
           RemainingTimeText(elapsedSeconds, position, maximum);
}

std::vector<TBSFileFilterEntry> ParseFileFilter(std::string_view filter) {
    std::vector<TBSFileFilterEntry> entries;
    const auto parts = Tokenize(filter, "|", false);
    for (int i = 0; i < parts->Count(); i += 2) {
        const std::string description = Trim(parts->Token(i));
        std::string patterns = i + 1 < parts->Count() ? Trim(parts->Token(i + 1)) : std::string();
        if (description.empty() && patterns.empty())
            continue;
        if (patterns.empty())
            patterns.assign(1, '*');
        TBSFileFilterEntry entry;
        entry.Description = description.empty() ? patterns : description;
        entry.Patterns = std::move(patterns);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FilterEntryExtension(const TBSFileFilterEntry& entry) {
    const auto patterns = Tokenize(entry.Patterns, ";", false);
    const std::string first = patterns->Count() > 0 ? Trim(patterns->Token(0)) : std::string();
    const auto dot = first.rfind('.');
    if (dot == std::string::npos)
        return {};
    const std::string extension = first.substr(dot);
    if (extension.size() < 2 || extension.find_first_of("*?") != std::string::npos)
        return {};
    return extension;
}

std::string ApplyFilterExtension(std::string_view fileName, const TBSFileFilterEntry& entry) {
    const std::string extension = FilterEntryExtension(entry);
    std::string name(fileName);
    if (extension.empty() || name.empty())
        return name;
    const auto slash = name.rfind('/');
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (hasExtension)
        name.erase(dot);
    return name + extension;
}

} // namespace marqor
