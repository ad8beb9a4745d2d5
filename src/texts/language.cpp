#include "texts/language.h"

#include "foundation/text.h"
#include "foundation/tokenizer.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace marqor {

namespace {

constexpr std::string_view kCodes[LanguageCount] = {
    "xx", "ch", "de", "fr", "us", "it", "nl", "es", "ru", "dk", "pl", "pt", "fi", "is",
    "se", "no", "at", "ca", "hu", "cz", "si", "hr", "tr", "mx", "uk", "ua", "rs", "sk"};

constexpr std::string_view kEnglishNames[LanguageCount] = {
    "None",       "German Swiss", "German",    "French",    "English",        "Italian",
    "Dutch",      "Spanish",      "Russian",   "Danish",    "Polish",         "Portuguese",
    "Finnish",    "Icelandic",    "Swedish",   "Norwegian", "German Austria", "French Canada",
    "Hungarian",  "Czech",        "Slovenian", "Croatian",  "Turkish",        "Spanish Mexican",
    "English UK", "Ukrainian",    "Serbian",   "Slovakian"};

// Texts are cut to this many characters, keys of references too.
constexpr std::size_t kMaxTextLength = 999;

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// Replaces every occurrence of an ASCII pattern, without regard to letter case.
std::string ReplaceNoCase(std::string_view s, std::string_view pattern, std::string_view with) {
    const std::string upper = AsciiUpper(s);
    const std::string upperPattern = AsciiUpper(pattern);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = upper.find(upperPattern); at != std::string::npos;
         at = upper.find(upperPattern, from)) {
        out.append(s.substr(from, at - from));
        out.append(with);
        from = at + pattern.size();
    }
    out.append(s.substr(from));
    return out;
}

std::string ReplaceExact(std::string_view s, std::string_view pattern, std::string_view with) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = s.find(pattern); at != std::string_view::npos;
         at = s.find(pattern, from)) {
        out.append(s.substr(from, at - from));
        out.append(with);
        from = at + pattern.size();
    }
    out.append(s.substr(from));
    return out;
}

std::string Item(std::string_view text, int index) {
    const auto items = Tokenize(text, ";", false);
    return index < items->Count() ? items->Token(index) : std::string();
}

bool IsMainThread() {
    return gettid() == getpid();
}

std::mutex& CurrencyMutex() {
    static std::mutex m;
    return m;
}

std::string& CurrencySlot() {
    static std::string text;
    return text;
}

// The current language of each language object on this thread.
TBSLanguageId& ThreadLanguage(std::uint64_t serial) {
    thread_local std::unordered_map<std::uint64_t, TBSLanguageId> current;
    return current[serial];
}

std::atomic<std::uint64_t> g_nextSerial{1};

// Month and day names that a language gives: the items of its text of that key. A name the
// language does not give keeps the name it had, so dates never show a reference or nothing.
template <std::size_t N>
void TakeNames(std::array<std::string, N>& names, const std::string* text) {
    if (!text || text->empty())
        return;
    const auto items = Tokenize(*text, ";", false);
    for (std::size_t i = 0; i < N && int(i) < items->Count(); ++i)
        if (!items->Token(int(i)).empty())
            names[i] = items->Token(int(i));
}

struct Registry {
    std::mutex lock;
    TBSLanguageFactory factory;
    std::unique_ptr<TBSLanguage> owner;
    std::atomic<TBSLanguage*> instance{nullptr};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Language numbers and the operating-system language

std::string_view LanguageCode(int language) {
    return language >= 0 && language < LanguageCount ? kCodes[language] : std::string_view();
}

std::string_view LanguageEnglishName(int language) {
    return language >= 0 && language < LanguageCount ? kEnglishNames[language] : std::string_view();
}

std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return "";
}

std::uint16_t WindowsLanguageIdFromLocale(std::string_view localeName) {
    // language[_TERRITORY][.codeset][@modifier]
    const std::size_t langEnd = std::min(localeName.find_first_of("_.@"), localeName.size());
    const std::string language = AsciiLower(localeName.substr(0, langEnd));
    std::string territory;
    if (langEnd < localeName.size() && localeName[langEnd] == '_') {
        const std::string_view rest = localeName.substr(langEnd + 1);
        territory = AsciiUpper(rest.substr(0, std::min(rest.find_first_of(".@"), rest.size())));
    }
    const auto at = localeName.find('@');
    const std::string modifier =
        at == std::string_view::npos ? std::string() : AsciiLower(localeName.substr(at + 1));

    struct Primary {
        std::string_view language;
        std::uint16_t primary;
    };
    static constexpr Primary primaries[] = {
        {"cs", 0x05}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A},
        {"fi", 0x0B}, {"fr", 0x0C}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11},
        {"nl", 0x13}, {"nb", 0x14}, {"nn", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16},
        {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A}, {"bs", 0x1A}, {"sk", 0x1B},
        {"sv", 0x1D}, {"tr", 0x1F}, {"uk", 0x22}, {"sl", 0x24}};
    std::uint16_t primary = 0;
    for (const auto& p : primaries)
        if (p.language == language)
            primary = p.primary;
    if (primary == 0)
        return 0;

    struct Sub {
        std::string_view language;
        std::string_view territory;
        std::uint16_t sub;
    };
    static constexpr Sub subs[] = {
        {"de", "CH", 2}, {"de", "AT", 3}, {"de", "LU", 4},  {"de", "LI", 5}, {"en", "GB", 2},
        {"en", "AU", 3}, {"en", "CA", 4}, {"en", "NZ", 5},  {"en", "IE", 6}, {"en", "ZA", 7},
        {"es", "ES", 3}, {"es", "MX", 2}, {"es", "AR", 11}, {"es", "CO", 9}, {"fr", "BE", 2},
        {"fr", "CA", 3}, {"fr", "CH", 4}, {"fr", "LU", 5},  {"it", "CH", 2}, {"nl", "BE", 2},
        {"pt", "BR", 1}, {"pt", "PT", 2}, {"nn", "NO", 2},  {"sv", "FI", 2}};
    std::uint16_t sub = 1;
    for (const auto& s : subs)
        if (s.language == language && s.territory == territory)
            sub = s.sub;
    if (language == "sr")
        sub = modifier == "latin" ? 2 : 3; // Serbian in Latin or in Cyrillic letters
    else if (language == "bs")
        sub = 5;
    return static_cast<std::uint16_t>(primary | (sub << 10));
}

TBSLanguageId LanguageFromWindowsLanguageId(std::uint16_t languageId) {
    const int primary = languageId & 0x3FF;
    const int sub = languageId >> 10;
    switch (primary) {
    case 0x05:
        return 19;
    case 0x06:
        return 9;
    case 0x07:
        return sub == 2 ? 1 : sub == 3 ? 16 : 2;
    case 0x09:
        return sub == 2 ? 24 : 4;
    case 0x0A:
        return sub == 2 ? 23 : 7;
    case 0x0B:
        return 12;
    case 0x0C:
        return sub == 3 ? 17 : 3;
    case 0x0E:
        return 18;
    case 0x0F:
        return 13;
    case 0x10:
        return 5;
    case 0x13:
        return 6;
    case 0x14:
        return 15;
    case 0x15:
        return 10;
    case 0x16:
        return 11;
    case 0x19:
        return 8;
    case 0x1A:
        return sub == 2 ? 26 : 21;
    case 0x1D:
        return 14;
    case 0x1F:
        return 22;
    case 0x24:
        return 20;
    default:
        return LanguageEnglish;
    }
}

TBSLanguageId OperatingSystemLanguage() {
    return LanguageFromWindowsLanguageId(WindowsLanguageIdFromLocale(UserLocaleName()));
}

std::string CurrencyText() {
    std::lock_guard lock(CurrencyMutex());
    return CurrencySlot();
}

void SetCurrencyText(std::string text) {
    std::lock_guard lock(CurrencyMutex());
    CurrencySlot() = std::move(text);
}

// ---------------------------------------------------------------------------------------------
// TBSLanguageData

TBSLanguageData::TBSLanguageData(const IBSStringList& lines)
    : formatSettings_(ProcessFormatSettings()) {
    const std::string currency = CurrencyText();
    Section* open = nullptr;
    for (const auto& raw : lines) {
        std::string line(TrimView(raw));
        std::erase(line, '$');
        if (StartsWithNoCase(line, "[Form.") || StartsWithNoCase(line, "[Data.")) {
            // The name runs to the closing bracket; a header that lost its bracket keeps all of
            // its name rather than its last letter.
            const std::size_t close = line.find(']');
            const std::string name = AsciiUpper(std::string_view(line).substr(
                1, close == std::string::npos ? std::string::npos : close - 1));
            Section section;
            if (SameText(line.substr(1, 4), "Form"))
                section.form = NewStringList();
            else
                section.data = NewStringMap();
            index_.try_emplace(name, sections_.size());
            sectionNames_.push_back(name);
            sections_.push_back(std::move(section));
            open = &sections_.back(); // re-pointed after every growth of sections_
            continue;
        }
        if (line.empty() || line.front() == ';' || !open)
            continue; // blank lines, comments and lines before the first section
        if (open->form) {
            open->form->Add(line == "." ? std::string() : ReplaceExact(line, "[CHF]", currency));
            continue;
        }
        if (line == ".")
            continue;
        const auto eq = line.find('=');
        const std::string_view view(line);
        if (eq == std::string::npos)
            open->data->Put("", Utf8Prefix(view, kMaxTextLength));
        else
            open->data->Put(view.substr(0, eq), Utf8Prefix(view.substr(eq + 1), kMaxTextLength));
    }

    if (const auto bs = DataSection("BS")) {
        TakeNames(formatSettings_.ShortMonthNames, bs->Find("ShortMonthNames"));
        TakeNames(formatSettings_.LongMonthNames, bs->Find("LongMonthNames"));
        TakeNames(formatSettings_.ShortDayNames, bs->Find("ShortDayNames"));
        TakeNames(formatSettings_.LongDayNames, bs->Find("LongDayNames"));
    }
}

const TBSLanguageData::Section* TBSLanguageData::Find(std::string_view upperName) const {
    const auto it = index_.find(std::string(upperName));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

std::shared_ptr<const IBSStringMap> TBSLanguageData::DataSection(std::string_view name) const {
    const Section* s = Find("DATA." + AsciiUpper(name));
    return s ? s->data : nullptr;
}

std::shared_ptr<const IBSStringList> TBSLanguageData::FormSection(std::string_view name) const {
    const Section* s = Find("FORM." + AsciiUpper(name));
    return s ? s->form : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TBSLanguage

TBSLanguage::TBSLanguage() : serial_(g_nextSerial.fetch_add(1)) {}

TBSLanguage::~TBSLanguage() = default;

TBSLanguages TBSLanguage::Available() const {
    // Asked once: the subclass is not complete while the base is constructed.
    std::call_once(availableOnce_, [this] { available_ = AvailableLanguages(); });
    return available_;
}

TBSLanguageId TBSLanguage::CurrentLanguage() {
    if (ThreadLanguage(serial_) == 0)
        SelectLanguage(0);
    return ThreadLanguage(serial_);
}

TBSLanguageId TBSLanguage::ChooseAvailableLanguage(int wanted) const {
    const TBSLanguages available = Available();
    for (;;) {
        if (wanted == 0) {
            for (int n = LanguageCount - 1; n > 0; --n)
                if (available.Contains(n))
                    return TBSLanguageId(n);
            return 0;
        }
        if (wanted > 0 && wanted < LanguageCount && available.Contains(wanted))
            return TBSLanguageId(wanted);
        switch (wanted) {
        case 2:
        case 3:
            wanted = 1;
            break;
        case 16:
            wanted = 2;
            break;
        case 17:
            wanted = 3;
            break;
        case 23:
            wanted = 7;
            break;
        case 4:
            wanted = 0;
            break;
        default:
            wanted = 4;
            break;
        }
    }
}

void TBSLanguage::SelectLanguage(TBSLanguageId language) {
    int wanted = language;
    if (wanted == 0)
        wanted = UserSettings()->GetSection("Orvane")->ReadInteger("ActiveLanguage",
                                                                   OperatingSystemLanguage());
    const TBSLanguageId choice = ChooseAvailableLanguage(wanted);
    ThreadLanguage(serial_) = choice;
    Data(choice);

    std::vector<Listener> listeners;
    {
        std::lock_guard lock(listenersLock_);
        for (const auto& [id, listener] : listeners_)
            listeners.push_back(listener);
    }
    for (const auto& listener : listeners)
        listener(*this);

    if (IsMainThread()) {
        FollowProcessNames(choice);
        UserSettings()->GetSection("Orvane")->WriteInteger("ActiveLanguage", choice);
    }
}

void TBSLanguage::FollowProcessNames(TBSLanguageId language) {
    TBSFormatSettings settings = ProcessFormatSettings();
    auto take = [&](auto& names, std::string_view reference) {
        const std::string text = Resolve(language, reference, -1);
        if (text != reference)
            TakeNames(names, &text);
    };
    take(settings.ShortMonthNames, "#BS.ShortMonthNames");
    take(settings.LongMonthNames, "#BS.LongMonthNames");
    take(settings.ShortDayNames, "#BS.ShortDayNames");
    take(settings.LongDayNames, "#BS.LongDayNames");
    SetProcessFormatSettings(settings);
}

const TBSLanguageData& TBSLanguage::Data(TBSLanguageId language) {
    if (const auto* data = loaded_[language].load(std::memory_order_acquire))
        return *data;
    std::lock_guard lock(loadLock_);
    if (!owned_[language]) {
        const auto lines = LoadLanguageLines(language);
        owned_[language] = std::make_unique<TBSLanguageData>(lines ? *lines : *NewStringList());
        loaded_[language].store(owned_[language].get(), std::memory_order_release);
    }
    return *owned_[language];
}

std::shared_ptr<const IBSStringMap> TBSLanguage::DataSection(std::string_view name) {
    if (auto section = Data(CurrentLanguage()).DataSection(name))
        return section;
    return NewStringMap();
}

std::shared_ptr<const IBSStringList> TBSLanguage::FormSection(std::string_view name) {
    if (auto section = Data(CurrentLanguage()).FormSection(name))
        return section;
    return NewStringList();
}

TBSFormatSettings TBSLanguage::GetFormatSettings() {
    return Data(CurrentLanguage()).FormatSettings();
}

std::string TBSLanguage::LanguageName(TBSLanguageId language) {
    if (language >= LanguageCount)
        return "";
    const std::string name = Text("#BSLanguage." + std::string(LanguageCode(language)));
    return name.find('#') == std::string::npos ? name : std::string(LanguageEnglishName(language));
}

IBSLookupItemsPtr TBSLanguage::HorizontalAlignmentNames() {
    auto items = NewLookupItems();
    for (int i = 0; i < 3; ++i)
        items->SetText(i, Text("#BS.HorizontalAlignment", i));
    return items;
}

int TBSLanguage::AddLanguageListener(Listener listener) {
    std::lock_guard lock(listenersLock_);
    const int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void TBSLanguage::RemoveLanguageListener(int id) {
    std::lock_guard lock(listenersLock_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

std::string TBSLanguage::Text(std::string_view reference, int index) {
    if (!reference.starts_with('#'))
        return std::string(reference);
    return Resolve(CurrentLanguage(), reference, index);
}

std::string TBSLanguage::Resolve(TBSLanguageId language, std::string_view reference, int index) {
    const auto dot = reference.find('.');
    if (!reference.starts_with('#') || dot == std::string_view::npos)
        return std::string(reference);
    const std::string_view section = reference.substr(1, dot - 1);
    const std::string_view key = Utf8Prefix(reference.substr(dot + 1), kMaxTextLength);
    const auto map = Data(language).DataSection(section);
    const std::string* found = map ? map->Find(key) : nullptr;
    if (!found || found->empty())
        return std::string(reference);
    std::string text = ReplaceNoCase(*found, "\\n", "\n");
    std::ranges::replace(text, '_', ' ');
    text = ReplaceNoCase(text, "[CHF]", CurrencyText());
    if (text.empty())
        return std::string(reference);
    return index < 0 ? text : Item(text, index);
}

// ---------------------------------------------------------------------------------------------
// The process-wide language object and the lookup functions

void RegisterLanguageClass(TBSLanguageFactory factory) {
    auto& r = TheRegistry();
    std::lock_guard lock(r.lock);
    r.factory = std::move(factory);
}

TBSLanguage& Language() {
    auto& r = TheRegistry();
    if (auto* instance = r.instance.load(std::memory_order_acquire))
        return *instance;
    std::lock_guard lock(r.lock);
    if (!r.owner) {
        if (!r.factory)
            throw ENoLanguageClass();
        r.owner = r.factory();
        if (!r.owner)
            throw ENoLanguageClass();
        r.instance.store(r.owner.get(), std::memory_order_release);
    }
    return *r.owner;
}

std::string LanguageText(std::string_view reference, int index) {
    if (!reference.starts_with('#'))
        return std::string(reference);
    return Language().Text(reference, index);
}

std::string LanguageTextFmt(std::string_view reference, std::span<const TBSFormatArg> args) {
    return FormatText(LanguageText(reference), args, ProcessFormatSettings());
}

std::string LanguageTextFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args) {
    return LanguageTextFmt(reference, std::span<const TBSFormatArg>(args.begin(), args.size()));
}

std::string FormatLanguageDateTime(std::string_view format, TDateTime value, bool formatZero) {
    if (value == 0 && !formatZero)
        return "";
    return FormatDateTimeText(format, value, Language().GetFormatSettings());
}

} // namespace marqor
