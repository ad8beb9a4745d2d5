#include "foundation/containers.h"

#include "foundation/errors.h"
#include "foundation/maps.h"
#include "foundation/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <unordered_map>

namespace marqor {

namespace {

void CheckIndex(long long index, std::size_t count) {
    if (index < 0 || static_cast<std::size_t>(index) >= count)
        throw EListError(index);
}

std::int32_t ReadInteger(std::string_view token) {
    const auto v = ParseInt(token);
    if (!v)
        throw EConvertError("'" + std::string(token) + "' is not a valid integer value");
    return *v;
}

// Splits at "," and blanks, dropping empty tokens: the text form of integer collections.
std::vector<std::int32_t> ReadIntegerText(std::string_view text) {
    std::vector<std::int32_t> values;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' '))
            ++i;
        std::size_t j = i;
        while (j < text.size() && text[j] != ',' && text[j] != ' ')
            ++j;
        if (j > i)
            values.push_back(ReadInteger(text.substr(i, j - i)));
        i = j;
    }
    return values;
}

std::string JoinIntegers(const std::vector<std::int32_t>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ',';
        out += std::to_string(values[i]);
    }
    return out;
}

// Lines end at CR LF, CR or LF; a final line break does not start another line.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

class TBSIntegerList final : public IBSIntegerList {
public:
    TBSIntegerList() = default;
    explicit TBSIntegerList(std::vector<std::int32_t> v) : items_(std::move(v)) {}

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::vector<std::int32_t>& Items() const override { return items_; }
    std::string AsText() const override { return JoinIntegers(items_); }
    void SetAsText(std::string_view text) override { items_ = ReadIntegerText(text); }
    std::int32_t Item(int index) const override {
        CheckIndex(index, items_.size());
        return items_[index];
    }
    bool Contains(std::int32_t value) const override { return IndexOf(value) >= 0; }
    int IndexOf(std::int32_t value) const override {
        const auto it = std::ranges::find(items_, value);
        return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    IBSIntegerSetPtr AsSet() const override {
        auto set = NewIntegerSet();
        set->AddAll(items_);
        return set;
    }
    void Put(int index, std::int32_t value) override {
        CheckIndex(index, items_.size());
        items_[index] = value;
    }
    int Add(std::int32_t value) override {
        items_.push_back(value);
        return Count() - 1;
    }
    void AddAll(const IBSIntegerList& other) override {
        const auto copy = other.Items(); // the other list may be this one
        items_.insert(items_.end(), copy.begin(), copy.end());
    }
    IBSIntegerListPtr Clone() const override { return std::make_shared<TBSIntegerList>(items_); }
    void Delete(int index) override {
        CheckIndex(index, items_.size());
        items_.erase(items_.begin() + index);
    }
    void Insert(int index, std::int32_t value) override {
        CheckIndex(index, items_.size() + 1);
        items_.insert(items_.begin() + index, value);
    }
    void Reverse() override { std::ranges::reverse(items_); }
    void Sort(std::function<int(std::int32_t, std::int32_t)> compare) override {
        if (compare)
            std::ranges::stable_sort(items_, [&](auto a, auto b) { return compare(a, b) < 0; });
        else
            std::ranges::stable_sort(items_);
    }
    IBSStringListPtr AsStringList() const override {
        auto list = NewStringList();
        for (auto v : items_)
            list->Add(std::to_string(v));
        return list;
    }

private:
    std::vector<std::int32_t> items_;
};

class TBSIntegerSet final : public IBSIntegerSet {
public:
    TBSIntegerSet() = default;
    explicit TBSIntegerSet(std::vector<std::int32_t> sorted) : items_(std::move(sorted)) {}

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::vector<std::int32_t>& Items() const override { return items_; }
    std::string AsText() const override { return JoinIntegers(items_); }
    void SetAsText(std::string_view text) override {
        items_.clear();
        AddAll(ReadIntegerText(text));
    }
    std::int32_t Item(int index) const override {
        CheckIndex(index, items_.size());
        return items_[index];
    }
    bool Contains(std::int32_t value) const override {
        return std::ranges::binary_search(items_, value);
    }
    int IndexOf(std::int32_t value) const override {
        const auto it = std::ranges::lower_bound(items_, value);
        return (it != items_.end() && *it == value) ? static_cast<int>(it - items_.begin()) : -1;
    }
    IBSIntegerSetPtr Clone() const override { return std::make_shared<TBSIntegerSet>(items_); }
    void Add(std::int32_t value) override {
        const auto it = std::ranges::lower_bound(items_, value);
        if (it == items_.end() || *it != value)
            items_.insert(it, value);
    }
    void Remove(std::int32_t value) override {
        const auto it = std::ranges::lower_bound(items_, value);
        if (it != items_.end() && *it == value)
            items_.erase(it);
    }
    void AddAll(const std::vector<std::int32_t>& values) override {
        items_.insert(items_.end(), values.begin(), values.end());
        std::ranges::sort(items_);
        items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
    }
    void RemoveAll(const std::vector<std::int32_t>& values) override {
        for (auto v : values)
            Remove(v);
    }
    bool ContainsAny(const std::vector<std::int32_t>& values) const override {
        return std::ranges::any_of(values, [&](auto v) { return Contains(v); });
    }
    bool ContainsAll(const std::vector<std::int32_t>& values) const override {
        return std::ranges::all_of(values, [&](auto v) { return Contains(v); });
    }
    void Intersect(const IBSIntegerSet& other) override {
        std::erase_if(items_, [&](auto v) { return !other.Contains(v); });
    }
    bool IsSubsetOf(const IBSIntegerSet& other) const override {
        return std::ranges::all_of(items_, [&](auto v) { return other.Contains(v); });
    }
    bool Equals(const IBSIntegerSet* other) const override {
        return other && other->Items() == items_;
    }
    std::int32_t Max() const override { return items_.empty() ? INT32_MIN : items_.back(); }
    std::int32_t Min() const override { return items_.empty() ? INT32_MAX : items_.front(); }
    IBSIntegerSetPtr SubSet(int first, int count) const override {
        const int n = Count();
        const int from = std::clamp(first, 0, n);
        const int to = std::clamp(count < 0 ? n : from + count, from, n);
        return std::make_shared<TBSIntegerSet>(
            std::vector<std::int32_t>(items_.begin() + from, items_.begin() + to));
    }
    void Toggle(std::int32_t value) override {
        if (Contains(value))
            Remove(value);
        else
            Add(value);
    }

private:
    std::vector<std::int32_t> items_;
};

std::string QuoteCommaItem(const std::string& item) {
    const bool plain = std::ranges::none_of(item, [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',';
    });
    if (plain)
        return item;
    std::string out = "\"";
    for (char c : item) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

class TBSStringList2 final : public IBSStringList {
public:
    TBSStringList2() = default;
    explicit TBSStringList2(std::vector<std::string> v) : items_(std::move(v)) {}

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& Items() const override { return items_; }
    std::string AsText() const override {
        std::string out;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ',';
            out += QuoteCommaItem(items_[i]);
        }
        return out;
    }
    void SetAsText(std::string_view text) override {
        items_.clear();
        if (text.empty())
            return;
        std::size_t start = 0;
        while (true) {
            const auto comma = text.find(',', start);
            items_.emplace_back(text.substr(start, comma - start));
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
    }
    const std::string& Item(int index) const override {
        CheckIndex(index, items_.size());
        return items_[index];
    }
    void ToUpperAll() override {
        for (auto& s : items_)
            s = UnicodeUpper(s);
    }
    bool Contains(std::string_view text) const override { return IndexOf(text) >= 0; }
    std::string Join(std::string_view separator) const override {
        std::string out;
        for (const auto& s : items_) {
            if (s.empty())
                continue;
            if (!out.empty())
                out += separator;
            out += s;
        }
        return out;
    }
    int IndexOf(std::string_view text) const override {
        const auto it = std::ranges::find(items_, text);
        return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    std::string AsLines() const override {
        std::string out;
        for (const auto& s : items_) {
            out += s;
            out += "\r\n";
        }
        return out;
    }
    void Put(int index, std::string text) override {
        CheckIndex(index, items_.size());
        items_[index] = std::move(text);
    }
    void SetLines(std::string_view text) override { items_ = SplitLines(text); }
    int Add(std::string text) override {
        items_.push_back(std::move(text));
        return Count() - 1;
    }
    void AddAll(const IBSStringList& other) override {
        const auto copy = other.Items();
        items_.insert(items_.end(), copy.begin(), copy.end());
    }
    bool AddIfNotEmpty(std::string text) override {
        if (text.empty())
            return false;
        items_.push_back(std::move(text));
        return true;
    }
    IBSStringListPtr Clone() const override { return std::make_shared<TBSStringList2>(items_); }
    void Delete(int index) override {
        CheckIndex(index, items_.size());
        items_.erase(items_.begin() + index);
    }
    void Insert(int index, std::string text) override {
        CheckIndex(index, items_.size() + 1);
        items_.insert(items_.begin() + index, std::move(text));
    }
    IBSIntegerListPtr AsIntegerList() const override {
        auto list = NewIntegerList();
        for (const auto& s : items_) {
            const auto t = TrimView(s);
            if (!t.empty())
                list->Add(ReadInteger(t));
        }
        return list;
    }
    IBSLookupItemsPtr AsLookupItems() const override {
        auto items = NewLookupItems();
        for (std::size_t i = 0; i < items_.size(); ++i)
            items->SetText(static_cast<std::int32_t>(i), items_[i]);
        return items;
    }
    void Reverse() override { std::ranges::reverse(items_); }
    void Sort(std::function<int(const std::string&, const std::string&)> compare) override {
        if (compare)
            std::ranges::stable_sort(items_, [&](auto& a, auto& b) { return compare(a, b) < 0; });
        else
            std::ranges::stable_sort(items_);
    }
    IBSStringMapPtr AsStringMap() const override { return NewStringMapFrom(items_); }
    IBSStringListPtr SubList(int first, int count) const override {
        const int n = Count();
        const int from = std::clamp(first, 0, n);
        const int to = std::clamp(count < 0 ? n : from + count, from, n);
        return std::make_shared<TBSStringList2>(
            std::vector<std::string>(items_.begin() + from, items_.begin() + to));
    }

private:
    std::vector<std::string> items_;
};

class TBSStringMap final : public IBSStringMap {
public:
    struct Line {
        std::string name;
        std::string value;
        bool hasSeparator = true;
    };

    void Clear() override {
        lines_.clear();
        index_.clear();
    }
    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string NameAt(int index) const override {
        CheckIndex(index, lines_.size());
        return lines_[index].name;
    }
    std::string ValueAt(int index) const override {
        CheckIndex(index, lines_.size());
        return lines_[index].value;
    }
    std::string Get(std::string_view name) const override {
        const auto* v = Find(name);
        return v ? *v : std::string();
    }
    const std::string* Find(std::string_view name) const override {
        const auto it = index_.find(AsciiUpper(name));
        return it == index_.end() ? nullptr : &lines_[it->second].value;
    }
    bool ContainsName(std::string_view name) const override {
        return index_.contains(AsciiUpper(name));
    }
    void Put(std::string_view name, std::string_view value) override {
        auto key = AsciiUpper(name);
        const auto it = index_.find(key);
        if (it != index_.end()) {
            lines_[it->second] = {std::string(name), std::string(value), true};
            return;
        }
        index_.emplace(std::move(key), lines_.size());
        lines_.push_back({std::string(name), std::string(value), true});
    }
    void PutValueAt(int index, std::string_view value) override {
        CheckIndex(index, lines_.size());
        lines_[index].value = value;
    }
    void PutLine(std::string_view line) override {
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            Put(line, "");
        else
            Put(line.substr(0, eq), TrimView(line.substr(eq + 1)));
    }
    void PutAll(const IBSStringMap& other) override {
        for (int i = 0; i < other.Count(); ++i)
            Put(other.NameAt(i), other.ValueAt(i));
    }
    void Remove(std::string_view name) override {
        const auto it = index_.find(AsciiUpper(name));
        if (it == index_.end())
            return;
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->second));
        Reindex();
    }
    std::string AsLines() const override {
        std::string out;
        for (const auto& l : lines_) {
            if (l.hasSeparator) {
                out += l.name;
                out += '=';
            }
            out += l.value;
            out += "\r\n";
        }
        return out;
    }
    void SetLines(std::string_view text) override {
        lines_.clear();
        for (auto& raw : SplitLines(text))
            lines_.push_back(SplitLine(raw));
        Reindex();
    }
    IBSStringMapPtr Clone() const override { return std::make_shared<TBSStringMap>(*this); }
    std::string NameOfValue(std::string_view value) const override {
        for (const auto& l : lines_)
            if (l.value == value)
                return l.name;
        return "";
    }
    IBSStringListPtr Names() const override {
        auto list = NewStringList();
        for (const auto& l : lines_)
            list->Add(l.name);
        return list;
    }
    IBSStringListPtr Values() const override {
        auto list = NewStringList();
        for (const auto& l : lines_)
            list->Add(l.value);
        return list;
    }
    IBSLookupItemsPtr AsLookupItems() const override {
        auto items = NewLookupItems();
        for (const auto& l : lines_)
            items->SetText(ReadInteger(l.name), l.value);
        return items;
    }
    void SortByName() override {
        std::ranges::stable_sort(lines_, [](auto& a, auto& b) {
            return CompareDisplayText(a.name, b.name) < 0;
        });
        Reindex();
    }
    void SortByValue() override {
        std::ranges::stable_sort(lines_, [](auto& a, auto& b) {
            return CompareDisplayText(a.value, b.value) < 0;
        });
        Reindex();
    }

    static Line SplitLine(std::string_view raw) {
        const auto eq = raw.find('=');
        if (eq == std::string_view::npos)
            return {"", std::string(raw), false};
        return {std::string(raw.substr(0, eq)), std::string(raw.substr(eq + 1)), true};
    }

    // Lines as they come, duplicates kept; lookups find the first line of a name.
    void AppendRaw(Line line) {
        index_.try_emplace(AsciiUpper(line.name), lines_.size());
        lines_.push_back(std::move(line));
    }

private:
    void Reindex() {
        index_.clear();
        for (std::size_t i = 0; i < lines_.size(); ++i)
            index_.try_emplace(AsciiUpper(lines_[i].name), i);
    }

    std::vector<Line> lines_;
    std::unordered_map<std::string, std::size_t> index_; // upper-cased name -> first line
};

class TBSLookupItems final : public IBSLookupItems {
public:
    void Clear() override {
        entries_.clear();
        index_.clear();
    }
    int Count() const override { return static_cast<int>(entries_.size()); }
    std::int32_t KeyAt(int index) const override {
        CheckIndex(index, entries_.size());
        return entries_[index].first;
    }
    const std::string& TextAt(int index) const override {
        CheckIndex(index, entries_.size());
        return entries_[index].second;
    }
    std::string TextOfKey(std::int32_t key) const override {
        const auto it = index_.find(key);
        return it == index_.end() ? std::string() : entries_[it->second].second;
    }
    void SetText(std::int32_t key, std::string text) override {
        const auto it = index_.find(key);
        if (it != index_.end()) {
            entries_[it->second].second = std::move(text);
            return;
        }
        index_.emplace(key, entries_.size());
        entries_.emplace_back(key, std::move(text));
    }
    void PutTextAt(int index, std::string text) override {
        CheckIndex(index, entries_.size());
        entries_[index].second = std::move(text);
    }
    void AddAll(const IBSLookupItems& other) override {
        const int n = other.Count();
        for (int i = 0; i < n; ++i)
            SetText(other.KeyAt(i), other.TextAt(i));
    }
    IBSLookupItemsPtr Clone() const override { return std::make_shared<TBSLookupItems>(*this); }
    bool ContainsKey(std::int32_t key) const override { return index_.contains(key); }
    bool ContainsText(std::string_view text) const override {
        return std::ranges::any_of(entries_, [&](auto& e) { return e.second == text; });
    }
    std::int32_t KeyOfText(std::string_view text) const override {
        const std::string wanted = UnicodeLower(text);
        for (const auto& e : entries_)
            if (UnicodeLower(e.second) == wanted)
                return e.first;
        return -1;
    }
    int IndexOfKey(std::int32_t key) const override {
        const auto it = index_.find(key);
        return it == index_.end() ? -1 : static_cast<int>(it->second);
    }
    IBSIntegerSetPtr Keys() const override {
        std::vector<std::int32_t> keys;
        keys.reserve(entries_.size());
        for (const auto& e : entries_)
            keys.push_back(e.first);
        std::ranges::sort(keys);
        return std::make_shared<TBSIntegerSet>(std::move(keys));
    }
    int Remove(std::int32_t key) override {
        const auto it = index_.find(key);
        if (it == index_.end())
            return -1;
        const auto at = it->second;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
        Reindex();
        return static_cast<int>(at);
    }
    void RemoveAll(const std::vector<std::int32_t>& keys) override {
        for (auto k : keys)
            Remove(k);
    }
    void SortByKey(std::function<int(std::int32_t, std::int32_t)> compare) override {
        if (compare)
            std::ranges::stable_sort(entries_, [&](auto& a, auto& b) {
                return compare(a.first, b.first) < 0;
            });
        else
            std::ranges::stable_sort(entries_, {}, &Entry::first);
        Reindex();
    }
    void SortByText() override {
        std::ranges::stable_sort(entries_, [](auto& a, auto& b) {
            return CompareDisplayText(a.second, b.second) < 0;
        });
        Reindex();
    }
    IBSStringMapPtr AsStringMap() const override {
        auto map = NewStringMap();
        for (const auto& e : entries_)
            map->Put(std::to_string(e.first), e.second);
        return map;
    }

private:
    using Entry = std::pair<std::int32_t, std::string>;

    void Reindex() {
        index_.clear();
        for (std::size_t i = 0; i < entries_.size(); ++i)
            index_.emplace(entries_[i].first, i);
    }

    std::vector<Entry> entries_;
    std::unordered_map<std::int32_t, std::size_t> index_;
};


bool DisplayLess(const std::string& a, const std::string& b) {
    return CompareDisplayText(a, b) < 0;
}

class TBSStringSet final : public IBSStringSet {
public:
    TBSStringSet() = default;
    explicit TBSStringSet(std::vector<std::string> items) : items_(std::move(items)) {
        Normalise();
    }

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& Items() const override { return items_; }
    std::string AsText() const override {
        std::string out;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i)
                out += ',';
            out += QuoteCommaItem(items_[i]);
        }
        return out;
    }
    void SetAsText(std::string_view text) override {
        items_ = NewStringListFromText(text)->Items();
        Normalise();
    }
    const std::string& Item(int index) const override {
        CheckIndex(index, items_.size());
        return items_[static_cast<std::size_t>(index)];
    }
    void ToUpperAll() override {
        for (auto& s : items_)
            s = UnicodeUpper(s);
        Normalise();
    }
    bool Contains(std::string_view text) const override { return IndexOf(text) >= 0; }
    std::string Join(std::string_view separator) const override {
        return NewStringListFrom(items_)->Join(separator);
    }
    int IndexOf(std::string_view text) const override {
        const std::string key(text);
        const auto it = std::lower_bound(items_.begin(), items_.end(), key, DisplayLess);
        return (it != items_.end() && *it == key) ? static_cast<int>(it - items_.begin()) : -1;
    }
    bool Add(std::string text) override {
        const auto it = std::lower_bound(items_.begin(), items_.end(), text, DisplayLess);
        if (it != items_.end() && *it == text)
            return false;
        items_.insert(it, std::move(text));
        return true;
    }
    void AddAll(const std::vector<std::string>& items) override {
        const auto copy = items; // items may be our own
        items_.insert(items_.end(), copy.begin(), copy.end());
        Normalise();
    }
    void Remove(std::string_view text) override {
        const int at = IndexOf(text);
        if (at >= 0)
            items_.erase(items_.begin() + at);
    }
    IBSStringSetPtr Clone() const override { return std::make_shared<TBSStringSet>(*this); }

private:
    // CompareDisplayText orders every two different texts, so sorting and dropping equal
    // neighbours leaves each text once.
    void Normalise() {
        std::ranges::sort(items_, DisplayLess);
        items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
    }

    std::vector<std::string> items_;
};

double ReadFloat(std::string_view text) {
    const auto v = ParseFloat(text);
    if (!v)
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return *v;
}

} // namespace

int IBSStringList::AddFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    return Add(std::move(text));
}

IBSStringSetPtr IBSStringList::AsSet() const {
    return std::make_shared<TBSStringSet>(Items());
}

bool IBSStringList::IsSubsetOf(const std::vector<std::string>& other) const {
    return std::ranges::all_of(Items(), [&](const std::string& s) {
        return std::ranges::find(other, s) != other.end();
    });
}

bool IBSStringList::ContainsAll(const std::vector<std::string>& items) const {
    return std::ranges::all_of(items, [&](const std::string& s) { return Contains(s); });
}

bool IBSStringSet::IsSubsetOf(const std::vector<std::string>& other) const {
    return std::ranges::all_of(Items(), [&](const std::string& s) {
        return std::ranges::find(other, s) != other.end();
    });
}

bool IBSStringSet::ContainsAll(const std::vector<std::string>& items) const {
    return std::ranges::all_of(items, [&](const std::string& s) { return Contains(s); });
}

IBSStringListPtr IBSStringSet::AsStringList() const {
    return NewStringListFrom(Items());
}

IBSStringSetPtr IBSIntegerSet::AsStringSet() const {
    auto set = NewStringSet();
    for (auto v : Items())
        set->Add(std::to_string(v));
    return set;
}

IBSStringSetPtr IBSStringMap::NameSet() const {
    return Names()->AsSet();
}

IBSIntegerMapPtr IBSStringMap::AsIntegerMap() const {
    auto map = NewIntegerMap();
    for (int i = 0; i < Count(); ++i) {
        const auto key = ReadInteger(TrimView(NameAt(i)));
        const auto value = ReadInteger(TrimView(ValueAt(i)));
        if (!map->ContainsKey(key))
            map->Put(key, value);
    }
    return map;
}

IBSIntegerDoubleMapPtr IBSStringMap::AsIntegerDoubleMap() const {
    auto map = NewIntegerDoubleMap();
    for (int i = 0; i < Count(); ++i) {
        const auto key = ReadInteger(TrimView(NameAt(i)));
        const auto value = ReadFloat(ValueAt(i));
        if (!map->ContainsKey(key))
            map->Put(key, value);
    }
    return map;
}

IBSStringIntegerMapPtr IBSStringMap::AsStringIntegerMap() const {
    auto map = NewStringIntegerMap();
    for (int i = 0; i < Count(); ++i) {
        const auto value = ReadInteger(TrimView(ValueAt(i)));
        if (!map->ContainsName(NameAt(i)))
            map->Put(NameAt(i), value);
    }
    return map;
}

IBSStringDoubleMapPtr IBSStringMap::AsStringDoubleMap() const {
    auto map = NewStringDoubleMap();
    for (int i = 0; i < Count(); ++i) {
        const auto value = ReadFloat(ValueAt(i));
        if (!map->ContainsName(NameAt(i)))
            map->Put(NameAt(i), value);
    }
    return map;
}

IBSIntegerListPtr NewIntegerList() {
    return std::make_shared<TBSIntegerList>();
}

IBSIntegerSetPtr NewIntegerSet() {
    return std::make_shared<TBSIntegerSet>();
}

IBSIntegerSetPtr NewIntegerSetOf(std::int32_t value) {
    return std::make_shared<TBSIntegerSet>(std::vector<std::int32_t>{value});
}

IBSStringListPtr NewStringList() {
    return std::make_shared<TBSStringList2>();
}

IBSStringListPtr NewStringListFromText(std::string_view commaText) {
    auto list = NewStringList();
    list->SetAsText(commaText);
    return list;
}

IBSStringListPtr NewStringListFrom(const std::vector<std::string>& lines) {
    return std::make_shared<TBSStringList2>(lines);
}

IBSStringMapPtr NewStringMap() {
    return std::make_shared<TBSStringMap>();
}

IBSStringMapPtr NewStringMapFrom(const std::vector<std::string>& lines) {
    auto map = std::make_shared<TBSStringMap>();
    for (const auto& line : lines) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && eq > 0)
            map->AppendRaw(TBSStringMap::SplitLine(line));
    }
    return map;
}

IBSLookupItemsPtr NewLookupItems() {
    return std::make_shared<TBSLookupItems>();
}

IBSStringSetPtr NewStringSet() {
    return std::make_shared<TBSStringSet>();
}

IBSStringSetPtr NewStringSetFromText(std::string_view commaText) {
    auto set = NewStringSet();
    set->SetAsText(commaText);
    return set;
}

} // namespace marqor
