// The names of the files a run has staged, in a fixed table that a signal
// handler may read: taking or giving back a slot allocates nothing, and a
// handler sees a slot's name only once `used` is set.
#pragma once

#include <csignal>
#include <cstddef>
#include <string>

namespace morvelin {

template <typename Char, std::size_t Length>
class StagedNames {
 public:
  static constexpr int kSlots = 16;

  // The slot now holding `name`, or -1 when the table is full or the name
  // too long (the file is then removed by OutputFiles only, not on a signal).
  int Hold(const std::basic_string<Char>& name) {
    if (name.size() >= Length) return -1;
    for (int i = 0; i < kSlots; ++i) {
      if (slots_[i].used) continue;
      name.copy(slots_[i].name, name.size());
      slots_[i].name[name.size()] = Char();
      slots_[i].used = 1;
      return i;
    }
    return -1;
  }
  void Release(int slot) {
    if (slot >= 0) slots_[slot].used = 0;
  }
  // Calls remove(name) for each name held; safe in a signal handler when
  // `remove` is.
  template <typename Remove>
  void ForEachHeld(Remove remove) const {
    for (const Slot& slot : slots_) {
      if (slot.used) remove(slot.name);
    }
  }

 private:
  struct Slot {
    volatile sig_atomic_t used;
    Char name[Length];
  };
  Slot slots_[kSlots];
};

}  // namespace morvelin
