#include "foundation/object_lists.h"

namespace marqor {

namespace {

class TBSNotifyEventList final : public IBSNotifyEventList {
public:
    int Count() const override { return static_cast<int>(events_.size()); }
    void AddEvent(TBSNotifyEvent event) override { events_.push_back(std::move(event)); }
    void RemoveEvent(const void* data, int code) override {
        for (auto it = events_.rbegin(); it != events_.rend(); ++it)
            if (it->data == data && it->code == code) {
                events_.erase(std::next(it).base());
                return;
            }
    }
    void CallAll(void* sender) override {
        const auto snapshot = events_;
        for (const auto& e : snapshot)
            if (e.handler)
                e.handler(sender);
    }

private:
    std::vector<TBSNotifyEvent> events_;
};

class TBSBits final : public IBSBits {
public:
    explicit TBSBits(int size) : bits_(static_cast<std::size_t>(std::max(size, 0))) {}

    int Size() const override { return static_cast<int>(bits_.size()); }
    void SetSize(int size) override { bits_.resize(static_cast<std::size_t>(std::max(size, 0))); }
    bool Bit(int index) const override {
        if (index < 0 || index >= Size())
            throw EListError(index);
        return bits_[static_cast<std::size_t>(index)];
    }
    void SetBit(int index, bool value) override {
        if (index < 0)
            throw EListError(index);
        if (index >= Size())
            bits_.resize(static_cast<std::size_t>(index) + 1);
        bits_[static_cast<std::size_t>(index)] = value;
    }
    void Toggle(int index) override { SetBit(index, !(index < Size() && Bit(index))); }
    void Clear() override { std::fill(bits_.begin(), bits_.end(), false); }
    int CountSet() const override {
        return static_cast<int>(std::count(bits_.begin(), bits_.end(), true));
    }
    int OpenBit() const override {
        const auto it = std::find(bits_.begin(), bits_.end(), false);
        return static_cast<int>(it - bits_.begin());
    }
    IBSIntegerSetPtr AsSet() const override {
        std::vector<std::int32_t> set;
        for (std::size_t i = 0; i < bits_.size(); ++i)
            if (bits_[i])
                set.push_back(static_cast<std::int32_t>(i));
        auto result = NewIntegerSet();
        result->AddAll(set);
        return result;
    }

private:
    std::vector<bool> bits_;
};

} // namespace

IBSNotifyEventListPtr NewNotifyEventList() {
    return std::make_shared<TBSNotifyEventList>();
}

IBSBitsPtr NewBits(int size) {
    return std::make_shared<TBSBits>(size);
}

} // namespace marqor
