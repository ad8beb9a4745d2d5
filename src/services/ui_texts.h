#pragma once

// Texts of the user-interface services that are worked out rather than looked up: captions that
// fall back to English where the language data has no text, the remaining time of a progress,
// and the file type filters of the file choosers.

#include "texts/formatting.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The text of the reference, or the English text when the language data has none (the
// reference comes back unchanged) or its item is empty. The built-in language data has no
// section BS, so its buttons and labels would otherwise read "#BS.YesNo" or "#BS.Cancel".
std::string TextOrEnglish(std::string_view reference, int index, std::string_view english);
inline std::string TextOrEnglish(std::string_view reference, std::string_view english) {
    return TextOrEnglish(reference, -1, english);
}
// The same used as a format; a translation whose placeholders do not fit falls back to English.
std::string TextOrEnglishFmt(std::string_view reference, std::string_view english,
                             std::initializer_list<TBSFormatArg> args);

// The remaining time of a progress from the time it has run (seconds) and how far it got:
// "unknown" while position or maximum is 0, then "a few seconds", "10 seconds", "20 seconds",
// "30 seconds", "about a minute", "<n> minutes", "<h>:<mm> hours" and "more than a day".
std::string RemainingTimeText(double elapsedSeconds, int position, int maximum);
// "Time remaining:" and a blank before RemainingTimeText.
std::string TimeRemainingLabel(double elapsedSeconds, int position, int maximum);

// One entry of a file type filter: its description and its patterns ("*.htm;*.html").
struct TBSFileFilterEntry {
    std::string Description;
    std::string Patterns;
    friend bool operator==(const TBSFileFilterEntry&, const TBSFileFilterEntry&) = default;
};
// "HTML files (*.htm)|*.htm|All (*.*)|*.*": pairs of description and patterns separated by "|".
// A description without patterns matches everything.
std::vector<TBSFileFilterEntry> ParseFileFilter(std::string_view filter);
// The extension of an entry's first pattern with its dot (".htm"); empty for "*", "*.*" and
// patterns with wildcards in the extension.
std::string FilterEntryExtension(const TBSFileFilterEntry& entry);
// The chosen name with the extension of the chosen entry in place of its own (a name without
// one gets it appended); unchanged when the entry has no extension.
std::string ApplyFilterExtension(std::string_view fileName, const TBSFileFilterEntry& entry);

} // namespace marqor
