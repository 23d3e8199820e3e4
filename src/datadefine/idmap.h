// A map from integer ids to small values, kept flat (open addressing with
// linear probing): no allocation per id, for the meta-type trees, whose ids
// come by the hundred thousand and are looked up once per row and per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace strataloom {

template <class Value>
class IdMap {
  public:
    explicit IdMap(std::size_t expected = 0) { Resize(expected); }

    // The value of id; null when id has none.
    const Value* Find(int id) const {
        for (std::size_t i = Home(id);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (!slot.used) return nullptr;
            if (slot.id == id) return &slot.value;
        }
    }
    Value* Find(int id) { return const_cast<Value*>(std::as_const(*this).Find(id)); }

    // The value of id, made from value when id has none yet; second tells
    // whether it was made. The pointer holds until the next Insert.
    std::pair<Value*, bool> Insert(int id, const Value& value) {
        if (2 * (used_ + 1) > slots_.size()) Resize(2 * used_ + 2);
        for (std::size_t i = Home(id);; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.used && slot.id == id) return {&slot.value, false};
            if (!slot.used) {
                slot = Slot{id, true, value};
                ++used_;
                return {&slot.value, true};
            }
        }
    }

    std::size_t Size() const { return used_; }

  private:
    struct Slot {
        int id = 0;
        bool used = false;
        Value value{};
    };

    std::size_t Home(int id) const {
        const std::uint64_t key = static_cast<std::uint32_t>(id);
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    // At most half the slots used, a power of two of them.
    void Resize(std::size_t expected) {
        std::size_t capacity = 8;
        unsigned bits = 3;
        while (capacity < 2 * expected) {
            capacity *= 2;
            ++bits;
        }
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        mask_ = capacity - 1;
        shift_ = 64 - bits;
        used_ = 0;
        for (const Slot& slot : old) {
            if (slot.used) Insert(slot.id, slot.value);
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::size_t mask_ = 0;
    unsigned shift_ = 64;
};

}  // namespace strataloom
