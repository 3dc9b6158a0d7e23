#pragma once
// The ring of the last 50 current rows, for stepping back.
#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel {

class ChangeHistory {
public:
    static constexpr int kSlots = 50;

    // Writes the slot at the position and moves on, overwriting the oldest value.
    void push(std::int32_t row) {
        slots_[index(pos_)] = row;
        pos_ = pos_ == kSlots ? 1 : pos_ + 1;
    }
    // The slot a step back reads: the one before the position.
    int previousSlot() const { return pos_ == 1 ? kSlots : pos_ - 1; }
    std::int32_t slot(int number) const { return slots_[index(number)]; }
    int position() const { return pos_; }
    void setPosition(int number) { pos_ = number; }

private:
    // Slots are numbered 1..kSlots.
    static std::size_t index(int number) { return static_cast<std::size_t>(number - 1); }

    std::array<std::int32_t, kSlots> slots_{};  // 0 is an empty slot
    int pos_ = 1;                               // 1..kSlots
};

}  // namespace ostrel
