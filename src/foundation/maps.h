#pragma once

// Integer-keyed maps (integer, float, text, shared-object and plain-object values) and the
// string-keyed number maps. Every map enumerates in ascending key order, whatever the order of
// insertion; a missing key reads as the neutral value of its type (0, 0.0, "", none).

#include "foundation/containers.h"
#include "foundation/text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

class IBSIntegerStringMap;
using IBSIntegerStringMapPtr = std::shared_ptr<IBSIntegerStringMap>;

// The part that every integer-keyed map shares.
class IBSIntegerKeyMapContainer {
public:
    virtual ~IBSIntegerKeyMapContainer() = default;

    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual bool ContainsKey(std::int32_t key) const = 0;
    // The keys in ascending order, taken now: safe to walk while the map changes.
    virtual IBSIntegerSetPtr Keys() const = 0;
    virtual void Remove(std::int32_t key) = 0;
    virtual void RemoveAll(const std::vector<std::int32_t>& keys) = 0;
};

template <class V> class IBSIntegerValueMap : public IBSIntegerKeyMapContainer {
public:
    using Value = V;
    using Storage = std::map<std::int32_t, V>;

    virtual const Storage& Items() const = 0;
    // The value of the key, or V{} when the key is absent.
    virtual V Get(std::int32_t key) const = 0;
    virtual void Put(std::int32_t key, V value) = 0;

    void PutAll(const IBSIntegerValueMap& other) {
        const Storage copy = other.Items(); // other may be this map
        for (const auto& [k, v] : copy)
            Put(k, v);
    }
    // The first key (ascending) that holds the value; -1 and false when none does.
    bool FindKeyOfValue(const V& value, std::int32_t& key) const {
        for (const auto& [k, v] : Items())
            if (v == value) {
                key = k;
                return true;
            }
        key = -1;
        return false;
    }
    std::int32_t KeyOfValue(const V& value) const {
        std::int32_t key;
        FindKeyOfValue(value, key);
        return key;
    }

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

class IBSIntegerMap : public IBSIntegerValueMap<std::int32_t> {
public:
    virtual IBSIntegerMapPtr Clone() const = 0;
    // Decimal key to decimal value.
    IBSStringMapPtr AsStringMap() const;
    IBSIntegerDoubleMapPtr AsIntegerDoubleMap() const;
    IBSIntegerStringMapPtr AsIntegerStringMap() const;
};

class IBSIntegerDoubleMap : public IBSIntegerValueMap<double> {
public:
    virtual IBSIntegerDoubleMapPtr Clone() const = 0;
    // Decimal key to the shortest float text with ".".
    IBSStringMapPtr AsStringMap() const;
};

class IBSIntegerStringMap : public IBSIntegerValueMap<std::string> {
public:
    virtual IBSIntegerStringMapPtr Clone() const = 0;
    IBSStringMapPtr AsStringMap() const;
    // The texts in ascending key order as lookup items.
    IBSLookupItemsPtr AsLookupItems() const;
};

// Shares its values: a value lives while this map or anybody else holds it.
template <class T> class IBSIntegerInterfaceMap : public IBSIntegerValueMap<std::shared_ptr<T>> {
public:
    virtual std::shared_ptr<IBSIntegerInterfaceMap> Clone() const = 0;
};
template <class T> using IBSIntegerInterfaceMapPtr = std::shared_ptr<IBSIntegerInterfaceMap<T>>;

// Refers to objects that somebody else owns; the map never destroys them.
template <class T> class IBSIntegerObjectMap : public IBSIntegerValueMap<T*> {
public:
    virtual std::shared_ptr<IBSIntegerObjectMap> Clone() const = 0;
};
template <class T> using IBSIntegerObjectMapPtr = std::shared_ptr<IBSIntegerObjectMap<T>>;

// Names kept sorted without ASCII letter case, one value per name.
template <class V> class IBSStringValueMap {
public:
    using Value = V;
    using Storage = std::map<std::string, V, CaseInsensitiveLess>;

    virtual ~IBSStringValueMap() = default;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const Storage& Items() const = 0;
    virtual V Get(std::string_view name) const = 0; // V{} when absent
    // Sets the value of the name; the name keeps the spelling it was first stored with.
    virtual void Put(std::string_view name, V value) = 0;
    virtual bool ContainsName(std::string_view name) const = 0;
    virtual void Remove(std::string_view name) = 0;

    IBSStringListPtr Names() const {
        auto list = NewStringList();
        for (const auto& [name, value] : Items())
            list->Add(name);
        return list;
    }
    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};

class IBSStringIntegerMap : public IBSStringValueMap<std::int32_t> {
public:
    virtual IBSStringIntegerMapPtr Clone() const = 0;
};

class IBSStringDoubleMap : public IBSStringValueMap<double> {
public:
    virtual IBSStringDoubleMapPtr Clone() const = 0;
};

namespace detail {

template <class Interface> class TBSIntegerValueMap final : public Interface {
public:
    using V = typename Interface::Value;
    using Storage = std::map<std::int32_t, V>;

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    bool ContainsKey(std::int32_t key) const override { return items_.contains(key); }
    IBSIntegerSetPtr Keys() const override {
        auto set = NewIntegerSet();
        std::vector<std::int32_t> keys;
        keys.reserve(items_.size());
        for (const auto& entry : items_)
            keys.push_back(entry.first);
        set->AddAll(keys);
        return set;
    }
    void Remove(std::int32_t key) override { items_.erase(key); }
    void RemoveAll(const std::vector<std::int32_t>& keys) override {
        for (auto k : keys)
            items_.erase(k);
    }
    const Storage& Items() const override { return items_; }
    V Get(std::int32_t key) const override {
        const auto it = items_.find(key);
        return it == items_.end() ? V{} : it->second;
    }
    void Put(std::int32_t key, V value) override { items_.insert_or_assign(key, std::move(value)); }
    std::shared_ptr<Interface> Clone() const override {
        return std::make_shared<TBSIntegerValueMap>(*this);
    }

private:
    Storage items_;
};

template <class Interface> class TBSStringValueMap final : public Interface {
public:
    using V = typename Interface::Value;
    using Storage = typename Interface::Storage;

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const Storage& Items() const override { return items_; }
    V Get(std::string_view name) const override {
        const auto it = items_.find(name);
        return it == items_.end() ? V{} : it->second;
    }
    void Put(std::string_view name, V value) override {
        const auto it = items_.find(name);
        if (it != items_.end())
            it->second = std::move(value);
        else
            items_.emplace(std::string(name), std::move(value));
    }
    bool ContainsName(std::string_view name) const override { return items_.contains(name); }
    void Remove(std::string_view name) override {
        const auto it = items_.find(name);
        if (it != items_.end())
            items_.erase(it);
    }
    std::shared_ptr<Interface> Clone() const override {
        return std::make_shared<TBSStringValueMap>(*this);
    }

private:
    Storage items_;
};

} // namespace detail

IBSIntegerMapPtr NewIntegerMap();
IBSIntegerDoubleMapPtr NewIntegerDoubleMap();
IBSIntegerStringMapPtr NewIntegerStringMap();
IBSStringIntegerMapPtr NewStringIntegerMap();
IBSStringDoubleMapPtr NewStringDoubleMap();

template <class T> IBSIntegerInterfaceMapPtr<T> NewIntegerInterfaceMap() {
    return std::make_shared<detail::TBSIntegerValueMap<IBSIntegerInterfaceMap<T>>>();
}

template <class T> IBSIntegerObjectMapPtr<T> NewIntegerObjectMap() {
    return std::make_shared<detail::TBSIntegerValueMap<IBSIntegerObjectMap<T>>>();
}

} // namespace marqor
