#pragma once

// Collections handed around between subsystems. The rules callers rely on: lists keep insertion
// order, sets keep ascending order without duplicates, names of string maps compare without
// ASCII letter case, lookup items keep insertion order with one entry per key, and indexes
// outside the list raise EListError.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

class IBSIntegerList;
class IBSIntegerSet;
class IBSLookupItems;
class IBSStringList;
class IBSStringMap;
class IBSStringSet;
class IBSIntegerMap;
class IBSIntegerDoubleMap;
class IBSStringIntegerMap;
class IBSStringDoubleMap;

using IBSIntegerListPtr = std::shared_ptr<IBSIntegerList>;
using IBSIntegerSetPtr = std::shared_ptr<IBSIntegerSet>;
using IBSLookupItemsPtr = std::shared_ptr<IBSLookupItems>;
using IBSStringListPtr = std::shared_ptr<IBSStringList>;
using IBSStringMapPtr = std::shared_ptr<IBSStringMap>;
using IBSStringSetPtr = std::shared_ptr<IBSStringSet>;
// The maps below are declared in "foundation/maps.h".
using IBSIntegerMapPtr = std::shared_ptr<IBSIntegerMap>;
using IBSIntegerDoubleMapPtr = std::shared_ptr<IBSIntegerDoubleMap>;
using IBSStringIntegerMapPtr = std::shared_ptr<IBSStringIntegerMap>;
using IBSStringDoubleMapPtr = std::shared_ptr<IBSStringDoubleMap>;

// Integers in insertion order, duplicates allowed.
class IBSIntegerList {
public:
    virtual ~IBSIntegerList() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const std::vector<std::int32_t>& Items() const = 0;
    // The values in decimal joined by ",".
    virtual std::string AsText() const = 0;
    // Clears, then adds every token between "," and blanks; a token that is no integer raises
    // EConvertError.
    virtual void SetAsText(std::string_view text) = 0;
    virtual std::int32_t Item(int index) const = 0;
    virtual bool Contains(std::int32_t value) const = 0;
    virtual int IndexOf(std::int32_t value) const = 0; // -1 when absent
    virtual IBSIntegerSetPtr AsSet() const = 0;

    virtual void Put(int index, std::int32_t value) = 0;
    virtual int Add(std::int32_t value) = 0;
    virtual void AddAll(const IBSIntegerList& other) = 0;
    virtual IBSIntegerListPtr Clone() const = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, std::int32_t value) = 0;
    virtual void Reverse() = 0;
    // Ascending when no function is given; the sort is stable.
    virtual void Sort(std::function<int(std::int32_t, std::int32_t)> compare = {}) = 0;
    virtual IBSStringListPtr AsStringList() const = 0;

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

// Integers kept ascending, without duplicates.
class IBSIntegerSet {
public:
    virtual ~IBSIntegerSet() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const std::vector<std::int32_t>& Items() const = 0;
    virtual std::string AsText() const = 0;
    virtual void SetAsText(std::string_view text) = 0;
    virtual std::int32_t Item(int index) const = 0;
    virtual bool Contains(std::int32_t value) const = 0;
    virtual int IndexOf(std::int32_t value) const = 0;

    virtual IBSIntegerSetPtr Clone() const = 0;
    virtual void Add(std::int32_t value) = 0;
    virtual void Remove(std::int32_t value) = 0;
    virtual void AddAll(const std::vector<std::int32_t>& values) = 0;
    virtual void RemoveAll(const std::vector<std::int32_t>& values) = 0;
    virtual bool ContainsAny(const std::vector<std::int32_t>& values) const = 0;
    virtual bool ContainsAll(const std::vector<std::int32_t>& values) const = 0;
    virtual void Intersect(const IBSIntegerSet& other) = 0;
    virtual bool IsSubsetOf(const IBSIntegerSet& other) const = 0;
    virtual bool Equals(const IBSIntegerSet* other) const = 0; // false for no set
    virtual std::int32_t Max() const = 0;                     // -2147483648 when empty
    virtual std::int32_t Min() const = 0;                     // 2147483647 when empty
    virtual IBSIntegerSetPtr SubSet(int first, int count) const = 0;
    virtual void Toggle(std::int32_t value) = 0;
    void Merge(const std::vector<std::int32_t>& values) { AddAll(values); }
    // The values in decimal, as a (text-sorted) string set.
    IBSStringSetPtr AsStringSet() const;

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

// Texts in insertion order, duplicates allowed, compared with letter case.
class IBSStringList {
public:
    virtual ~IBSStringList() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const std::vector<std::string>& Items() const = 0;
    // Items joined by ","; an item with a blank, a comma or a quote is enclosed in quotes.
    virtual std::string AsText() const = 0;
    // Clears, then adds every ","-separated item, empty ones too; quotes are not removed.
    virtual void SetAsText(std::string_view text) = 0;
    virtual const std::string& Item(int index) const = 0;
    virtual void ToUpperAll() = 0;
    virtual bool Contains(std::string_view text) const = 0;
    // The items joined by the separator; empty items are skipped.
    virtual std::string Join(std::string_view separator) const = 0;
    virtual int IndexOf(std::string_view text) const = 0;

    // Every item followed by a line break (CR LF).
    virtual std::string AsLines() const = 0;
    virtual void Put(int index, std::string text) = 0;
    // Replaces the items by the lines of the text (split at CR LF, CR or LF).
    virtual void SetLines(std::string_view text) = 0;
    virtual int Add(std::string text) = 0;
    virtual void AddAll(const IBSStringList& other) = 0;
    virtual bool AddIfNotEmpty(std::string text) = 0;
    virtual IBSStringListPtr Clone() const = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, std::string text) = 0;
    // Every item that is not empty after trimming, read as an integer (EConvertError if not).
    virtual IBSIntegerListPtr AsIntegerList() const = 0;
    // Every item with its position as key.
    virtual IBSLookupItemsPtr AsLookupItems() const = 0;
    virtual void Reverse() = 0;
    // Ascending by bytes when no function is given; the sort is stable.
    virtual void Sort(std::function<int(const std::string&, const std::string&)> compare = {}) = 0;
    virtual IBSStringMapPtr AsStringMap() const = 0;
    // count -1 means to the end; the range is clipped to the list.
    virtual IBSStringListPtr SubList(int first, int count) const = 0;

    // Add of the printf-formatted text; answers its index.
    int AddFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A sorted set of the items.
    IBSStringSetPtr AsSet() const;
    // Every own item is among the other's items.
    bool IsSubsetOf(const std::vector<std::string>& other) const;
    bool ContainsAll(const std::vector<std::string>& items) const;

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

// Texts kept in a natural sorted order (CompareDisplayText), without duplicates, compared with
// letter case: "a" and "A" are two items.
class IBSStringSet {
public:
    virtual ~IBSStringSet() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const std::vector<std::string>& Items() const = 0;
    // The comma text of the items, as IBSStringList::AsText.
    virtual std::string AsText() const = 0;
    // Clears, then adds every ","-separated item (empty ones too, once).
    virtual void SetAsText(std::string_view text) = 0;
    virtual const std::string& Item(int index) const = 0;
    virtual void ToUpperAll() = 0;
    virtual bool Contains(std::string_view text) const = 0;
    virtual std::string Join(std::string_view separator) const = 0; // empty items skipped
    virtual int IndexOf(std::string_view text) const = 0;           // -1 when absent
    // Answers whether the text was new; an item already present is ignored.
    virtual bool Add(std::string text) = 0;
    virtual void AddAll(const std::vector<std::string>& items) = 0;
    virtual void Remove(std::string_view text) = 0;
    virtual IBSStringSetPtr Clone() const = 0;
    bool IsSubsetOf(const std::vector<std::string>& other) const;
    bool ContainsAll(const std::vector<std::string>& items) const;
    IBSStringListPtr AsStringList() const;

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

// Lines "name=value" in insertion order, one line per name, names compared without ASCII case.
class IBSStringMap {
public:
    virtual ~IBSStringMap() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual std::string NameAt(int index) const = 0;
    virtual std::string ValueAt(int index) const = 0;
    // The value of the first line with that name, empty when there is none.
    virtual std::string Get(std::string_view name) const = 0;
    // Looks the name up; unlike Get it tells an empty value from a missing name.
    virtual const std::string* Find(std::string_view name) const = 0;
    virtual bool ContainsName(std::string_view name) const = 0;
    // Replaces the line of that name (keeping its position) or appends one.
    virtual void Put(std::string_view name, std::string_view value) = 0;
    virtual void PutValueAt(int index, std::string_view value) = 0;
    // The name before the first "=", the trimmed rest as the value.
    virtual void PutLine(std::string_view line) = 0;
    virtual void PutAll(const IBSStringMap& other) = 0;
    virtual void Remove(std::string_view name) = 0;
    virtual std::string AsLines() const = 0;
    virtual void SetLines(std::string_view text) = 0;
    virtual IBSStringMapPtr Clone() const = 0;
    // The name of the first line whose value equals the text (with case); empty when none.
    virtual std::string NameOfValue(std::string_view value) const = 0;
    virtual IBSStringListPtr Names() const = 0;
    virtual IBSStringListPtr Values() const = 0;
    // Names read as integer keys; a name that is no integer raises EConvertError.
    virtual IBSLookupItemsPtr AsLookupItems() const = 0;
    // Stable sorts by name or by value (with case).
    virtual void SortByName() = 0;
    virtual void SortByValue() = 0;

    // The names as a set.
    IBSStringSetPtr NameSet() const;
    // Names and values read as integers (or floats, "." as separator); the first text that is
    // no number raises EConvertError. A name that repeats keeps its first value.
    IBSIntegerMapPtr AsIntegerMap() const;
    IBSIntegerDoubleMapPtr AsIntegerDoubleMap() const;
    // Values read as numbers under the names; the first value that is none raises EConvertError.
    IBSStringIntegerMapPtr AsStringIntegerMap() const;
    IBSStringDoubleMapPtr AsStringDoubleMap() const;
};

// Display texts with integer keys in insertion order, one entry per key. They fill every keyed
// selection list.
class IBSLookupItems {
public:
    virtual ~IBSLookupItems() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual std::int32_t KeyAt(int index) const = 0;
    virtual const std::string& TextAt(int index) const = 0;
    virtual std::string TextOfKey(std::int32_t key) const = 0; // empty when absent
    // Replaces the text of the key's entry in place, or appends a new entry.
    virtual void SetText(std::int32_t key, std::string text) = 0;
    virtual void PutTextAt(int index, std::string text) = 0;
    virtual void AddAll(const IBSLookupItems& other) = 0;
    virtual IBSLookupItemsPtr Clone() const = 0;
    virtual bool ContainsKey(std::int32_t key) const = 0;
    virtual bool ContainsText(std::string_view text) const = 0; // with case
    virtual std::int32_t KeyOfText(std::string_view text) const = 0; // without case; -1 if none
    virtual int IndexOfKey(std::int32_t key) const = 0;            // -1 when absent
    virtual IBSIntegerSetPtr Keys() const = 0;
    virtual int Remove(std::int32_t key) = 0; // the index it had, -1 when absent
    virtual void RemoveAll(const std::vector<std::int32_t>& keys) = 0;
    // Ascending keys when no function is given; equal keys keep their order.
    virtual void SortByKey(std::function<int(std::int32_t, std::int32_t)> compare = {}) = 0;
    // Natural order of the texts without letter case.
    virtual void SortByText() = 0;
    virtual IBSStringMapPtr AsStringMap() const = 0;
};

// A range-for over a container held by a shared pointer keeps it alive for the whole loop, also
// when the pointer is a temporary: for (int key : map->Keys()) { ... }. (Writing
// *map->Keys() instead would leave the loop with a dangling reference.)
template <class C>
auto begin(const std::shared_ptr<C>& c) -> decltype(c->begin()) {
    return c->begin();
}
template <class C>
auto end(const std::shared_ptr<C>& c) -> decltype(c->end()) {
    return c->end();
}

IBSIntegerListPtr NewIntegerList();
IBSIntegerSetPtr NewIntegerSet();
IBSIntegerSetPtr NewIntegerSetOf(std::int32_t value);
IBSStringListPtr NewStringList();
IBSStringListPtr NewStringListFromText(std::string_view commaText);
IBSStringListPtr NewStringListFrom(const std::vector<std::string>& lines);
IBSStringMapPtr NewStringMap();
// Every line with "=" after its first character becomes a name and a value.
IBSStringMapPtr NewStringMapFrom(const std::vector<std::string>& lines);
IBSLookupItemsPtr NewLookupItems();
IBSStringSetPtr NewStringSet();
IBSStringSetPtr NewStringSetFromText(std::string_view commaText);

} // namespace marqor
