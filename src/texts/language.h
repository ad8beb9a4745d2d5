#pragma once

// Texts by reference. Code holds references ("#", a section name, "." and a key) and resolves
// them at run time against the language data of the calling thread's current language; a
// reference that cannot be resolved comes back unchanged, so a missing text shows as its
// reference instead of failing.
//
// A product offers its languages through a subclass of TBSLanguage and registers it before the
// first text is needed:
//
//     RegisterLanguageClass<TLanguageKavrin>();
//
// The process-wide language object is created from that class on the first call of Language().

#include "foundation/containers.h"
#include "foundation/settings.h"
#include "texts/formatting.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace marqor {

// Language numbers 0 .. 27; 0 means that no language has been chosen yet.
using TBSLanguageId = std::uint8_t;
inline constexpr int LanguageCount = 28;
inline constexpr TBSLanguageId LanguageEnglish = 4;

// A set of languages: bit n stands for language number n; numbers above 31 are never members.
struct TBSLanguages {
    std::uint32_t bits = 0;

    constexpr TBSLanguages() = default;
    constexpr TBSLanguages(std::initializer_list<int> languages) {
        for (int n : languages)
            Include(n);
    }
    constexpr bool Contains(int n) const { return n >= 0 && n <= 31 && ((bits >> n) & 1u); }
    constexpr void Include(int n) {
        if (n >= 0 && n <= 31)
            bits |= 1u << n;
    }
    constexpr bool IsEmpty() const { return bits == 0; }
    friend constexpr bool operator==(TBSLanguages, TBSLanguages) = default;
};

// The short code used in references ("xx", "ch", "de", ... "sk") and the English name used when
// the language data names no language; empty for numbers outside 0 .. 27.
std::string_view LanguageCode(int language);
std::string_view LanguageEnglishName(int language);

// The operating-system language. On this platform it comes from the locale (LC_ALL, then
// LC_MESSAGES, then LANG, "de_CH.UTF-8"), expressed as the Windows language identifier that
// stored choices were always made from: primary language in the low 10 bits, sublanguage above.
std::string UserLocaleName();
std::uint16_t WindowsLanguageIdFromLocale(std::string_view localeName);
TBSLanguageId LanguageFromWindowsLanguageId(std::uint16_t languageId);
TBSLanguageId OperatingSystemLanguage();

// The text that replaces the placeholder "[CHF]" in texts; empty unless a product sets it.
std::string CurrencyText();
void SetCurrencyText(std::string text);

// The parsed language data of one language: data sections (key to text) and form sections (the
// translated lines of one window), and the locale settings that belong to the language.
class TBSLanguageData {
public:
    // Lines of the language data file format; nothing in them raises, lines that fit no rule
    // are skipped.
    explicit TBSLanguageData(const IBSStringList& lines);

    // Section "Data." + name or "Form." + name (without letter case); nothing when the data has
    // no such section. The first section of a name wins.
    std::shared_ptr<const IBSStringMap> DataSection(std::string_view name) const;
    std::shared_ptr<const IBSStringList> FormSection(std::string_view name) const;
    // Upper case with the kind prefix (DATA.KAVRIN_G, FORM.TKVRPRINTDLG), in file order.
    const std::vector<std::string>& SectionNames() const { return sectionNames_; }
    const TBSFormatSettings& FormatSettings() const { return formatSettings_; }

private:
    struct Section {
        std::shared_ptr<IBSStringMap> data; // one of the two
        std::shared_ptr<IBSStringList> form;
    };

    const Section* Find(std::string_view upperName) const;

    std::vector<std::string> sectionNames_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> index_; // first section of each name
    TBSFormatSettings formatSettings_;
};

class TBSLanguage {
public:
    using Listener = std::function<void(TBSLanguage& sender)>;

    TBSLanguage();
    virtual ~TBSLanguage();
    TBSLanguage(const TBSLanguage&) = delete;
    TBSLanguage& operator=(const TBSLanguage&) = delete;

    // The languages the product offers.
    virtual TBSLanguages AvailableLanguages() const = 0;
    // The lines of the language data of that number. May raise; the caller of the lookup then
    // sees the error and the next lookup tries again.
    virtual IBSStringListPtr LoadLanguageLines(TBSLanguageId language) = 0;

    // The calling thread's language; a thread that has none yet selects one first.
    TBSLanguageId CurrentLanguage();
    // Makes the language, or the nearest one the product offers, the calling thread's current
    // language. 0 means the stored choice "ActiveLanguage" of section "Orvane" of the user
    // settings, or else the operating-system language. On the main thread the choice is
    // written back and the process-wide month and day names follow the language.
    void SelectLanguage(TBSLanguageId language);
    // The language the product uses when asked for this number: the number itself when
    // offered, else its fallback (German and French to German Swiss, Austrian German to German,
    // Canadian French to French, Mexican Spanish to Spanish, all others to English), and
    // without English the highest-numbered language offered.
    TBSLanguageId ChooseAvailableLanguage(int wanted) const;

    // Sections of the current language; a missing section is a new empty one.
    std::shared_ptr<const IBSStringMap> DataSection(std::string_view name);
    std::shared_ptr<const IBSStringList> FormSection(std::string_view name);
    TBSFormatSettings GetFormatSettings();
    // The text of "#BSLanguage." + code, or the English name when that does not resolve.
    std::string LanguageName(TBSLanguageId language);
    // Keys 0, 1, 2 (left, right, centred) with the items of "#BS.HorizontalAlignment".
    IBSLookupItemsPtr HorizontalAlignmentNames();

    // Called on the selecting thread each time a language becomes current. The number
    // identifies the listener for removal.
    int AddLanguageListener(Listener listener);
    void RemoveLanguageListener(int id);

    // Resolves a reference against the current language (see LanguageText).
    std::string Text(std::string_view reference, int index = -1);

private:
    const TBSLanguageData& Data(TBSLanguageId language);
    std::string Resolve(TBSLanguageId language, std::string_view reference, int index);
    void FollowProcessNames(TBSLanguageId language);
    TBSLanguages Available() const;

    const std::uint64_t serial_; // tells apart the per-thread choices of several objects
    mutable std::once_flag availableOnce_;
    mutable TBSLanguages available_;
    std::mutex loadLock_;
    std::array<std::unique_ptr<TBSLanguageData>, LanguageCount> owned_;
    std::array<std::atomic<const TBSLanguageData*>, LanguageCount> loaded_{};
    std::mutex listenersLock_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
};

// Raised by Language() when no product registered its language class.
class ENoLanguageClass : public std::logic_error {
public:
    ENoLanguageClass() : std::logic_error("Keine BSLanguage - Klasse definiert !") {}
};

using TBSLanguageFactory = std::function<std::unique_ptr<TBSLanguage>()>;

// Sets the class the language object is created from. Once the object exists, registering
// another class changes nothing.
void RegisterLanguageClass(TBSLanguageFactory factory);
template <typename T> void RegisterLanguageClass() {
    RegisterLanguageClass([] { return std::make_unique<T>(); });
}

// The process-wide language object, created on the first call; ENoLanguageClass when no class
// is registered.
TBSLanguage& Language();

// Resolves "#Section.Key" against the current language: "\n" (either case) becomes a line
// feed, "_" a space, "[CHF]" the currency text. Index -1 gives the whole text, index n item n
// of the ";"-separated text (empty when it has fewer items). Text that is no reference, or
// whose section, key or text is missing, comes back unchanged and the index is not applied.
std::string LanguageText(std::string_view reference, int index = -1);
// LanguageText(reference) used as a format string (see FormatText); a placeholder that does not
// fit its argument raises EConvertError.
std::string LanguageTextFmt(std::string_view reference, std::span<const TBSFormatArg> args);
std::string LanguageTextFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args);
// The date-time in the current language's formats; exactly 0 gives the empty text unless
// formatZero is set.
std::string FormatLanguageDateTime(std::string_view format, TDateTime value,
                                   bool formatZero = false);

} // namespace marqor
