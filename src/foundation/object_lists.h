#pragma once

// Lists of shared objects (which double as a stack), the notify-event list and the bit set.

#include "foundation/containers.h"
#include "foundation/errors.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace marqor {

// Shared objects in insertion order; duplicates allowed, elements compared by identity. As a
// stack it pushes and pops at the end.
template <class T> class IBSObjectList {
public:
    using Ptr = std::shared_ptr<T>;

    virtual ~IBSObjectList() = default;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    bool IsEmpty() const { return Count() == 0; }
    virtual const std::vector<Ptr>& Items() const = 0;
    virtual const Ptr& Item(int index) const = 0; // EListError outside the list
    virtual void Put(int index, Ptr item) = 0;
    virtual int Add(Ptr item) = 0;
    virtual void Insert(int index, Ptr item) = 0;
    virtual void Delete(int index) = 0;
    // Removes the first entry of that object; answers the index it had, -1 when absent.
    virtual int Remove(const T* item) = 0;
    virtual int IndexOf(const T* item) const = 0;
    bool Contains(const T* item) const { return IndexOf(item) >= 0; }

    void Push(Ptr item) { Add(std::move(item)); }
    // Removes and answers the last element; none when the list is empty.
    virtual Ptr Pop() = 0;
    // The last element; none when the list is empty.
    virtual Ptr Peek() const = 0;

    auto begin() const { return Items().begin(); }
    auto end() const { return Items().end(); }
};
template <class T> using IBSObjectListPtr = std::shared_ptr<IBSObjectList<T>>;
template <class T> using IBSInterfaceList = IBSObjectList<T>;
template <class T> using IBSObjectStack = IBSObjectList<T>;

namespace detail {

template <class T> class TBSObjectList final : public IBSObjectList<T> {
public:
    using Ptr = std::shared_ptr<T>;

    void Clear() override { items_.clear(); }
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::vector<Ptr>& Items() const override { return items_; }
    const Ptr& Item(int index) const override {
        Check(index, items_.size());
        return items_[static_cast<std::size_t>(index)];
    }
    void Put(int index, Ptr item) override {
        Check(index, items_.size());
        items_[static_cast<std::size_t>(index)] = std::move(item);
    }
    int Add(Ptr item) override {
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    void Insert(int index, Ptr item) override {
        Check(index, items_.size() + 1);
        items_.insert(items_.begin() + index, std::move(item));
    }
    void Delete(int index) override {
        Check(index, items_.size());
        items_.erase(items_.begin() + index);
    }
    int Remove(const T* item) override {
        const int at = IndexOf(item);
        if (at >= 0)
            items_.erase(items_.begin() + at);
        return at;
    }
    int IndexOf(const T* item) const override {
        const auto it = std::ranges::find_if(items_, [&](const Ptr& p) { return p.get() == item; });
        return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    }
    Ptr Pop() override {
        if (items_.empty())
            return nullptr;
        Ptr last = std::move(items_.back());
        items_.pop_back();
        return last;
    }
    Ptr Peek() const override { return items_.empty() ? nullptr : items_.back(); }

private:
    static void Check(int index, std::size_t count) {
        if (index < 0 || static_cast<std::size_t>(index) >= count)
            throw EListError(index);
    }

    std::vector<Ptr> items_;
};

} // namespace detail

template <class T> IBSObjectListPtr<T> NewObjectList() {
    return std::make_shared<detail::TBSObjectList<T>>();
}
template <class T> IBSObjectListPtr<T> NewInterfaceList() {
    return NewObjectList<T>();
}
template <class T> IBSObjectListPtr<T> NewObjectStack() {
    return NewObjectList<T>();
}

// A handler bound to an object. The object and a code of the caller's choice identify the
// entry for RemoveEvent, as a method and its object do.
struct TBSNotifyEvent {
    const void* data = nullptr;
    int code = 0;
    std::function<void(void* sender)> handler;
};

class IBSNotifyEventList {
public:
    virtual ~IBSNotifyEventList() = default;
    virtual int Count() const = 0;
    virtual void AddEvent(TBSNotifyEvent event) = 0;
    // Removes the last entry with the same data and code.
    virtual void RemoveEvent(const void* data, int code = 0) = 0;
    // Calls every handler in list order. Handlers may add or remove entries meanwhile; the
    // call goes to the entries present when it began.
    virtual void CallAll(void* sender) = 0;
};
using IBSNotifyEventListPtr = std::shared_ptr<IBSNotifyEventList>;
IBSNotifyEventListPtr NewNotifyEventList();

// A bit array. Setting a bit beyond the size grows the array; reading one raises EListError.
class IBSBits {
public:
    virtual ~IBSBits() = default;
    virtual int Size() const = 0;
    virtual void SetSize(int size) = 0;
    virtual bool Bit(int index) const = 0;
    virtual void SetBit(int index, bool value = true) = 0;
    virtual void Toggle(int index) = 0;
    // Every bit false.
    virtual void Clear() = 0;
    virtual int CountSet() const = 0;
    // The index of the first false bit (Size() when all are set).
    virtual int OpenBit() const = 0;
    // The indexes of the set bits.
    virtual IBSIntegerSetPtr AsSet() const = 0;
};
using IBSBitsPtr = std::shared_ptr<IBSBits>;
IBSBitsPtr NewBits(int size);

} // namespace marqor
