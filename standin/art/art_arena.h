// Storage for the art store's objects: fixed-size slots in slabs, so that
// making an object, disposing of one and telling whether a pointer is a live
// object each take constant time (amortised), however many objects exist.
//
// A slab is a block aligned to its own size, so the slab of any address is
// found by a shift and one look-up in a small hash table (open addressing,
// at most half full, so a look-up mostly reads one entry). Slots of disposed-of
// objects are reused oldest first (a queue linked through the slots, so
// that disposing of an object needs no memory), which keeps a stale handle
// from naming a new object for as long as possible; slabs go back to the system only when
// the arena does. Under AddressSanitizer an empty slot is poisoned, so reading
// a disposed-of object through a stale pointer is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "standin/art/art_object.h"

namespace standin {

class ArtArena {
 public:
  ArtArena() = default;
  ~ArtArena();
  ArtArena(const ArtArena&) = delete;
  ArtArena& operator=(const ArtArena&) = delete;

  // A new object made from `args` (ArtObject's constructors: none, or an
  // object to copy). Throws std::bad_alloc when there is no memory for a
  // slab or for the object's own parts, and then leaves the arena as it was.
  template <typename... Args>
  ArtObject* Make(Args&&... args) {
    Slot* slot = Take();
    ArtObject* art;
    try {
      art = new (slot->bytes) ArtObject(std::forward<Args>(args)...);
    } catch (...) {
      Return(slot);
      throw;
    }
    slot->live = true;
    ++live_;
    return art;
  }
  // Destroys `art`, which Holds(art) must be true for; its slot is reused.
  // Never allocates.
  void Destroy(ArtObject* art);
  // True when `art` points to a live object of this arena. Never reads
  // through a pointer outside the arena's slabs.
  bool Holds(const ArtObject* art) const;
  std::size_t live() const { return live_; }

 private:
  struct Slot {
    alignas(ArtObject) unsigned char bytes[sizeof(ArtObject)];
    bool live = false;
    Slot* nextFree = nullptr;  // the next empty slot in the queue
  };
  static constexpr int kSlabShift = 18;  // 256 KiB slabs
  static constexpr std::size_t kSlabBytes = std::size_t{1} << kSlabShift;
  static constexpr std::size_t kSlotsPerSlab = kSlabBytes / sizeof(Slot);
  struct FreeSlab {
    void operator()(Slot* slab) const;
  };

  // A slab by its number (address >> kSlabShift); empty entries have no slab.
  struct SlabEntry {
    std::uintptr_t number = 0;
    Slot* slab = nullptr;
  };

  Slot* Take();
  // Puts a slot Take gave back at the front of the queue, empty.
  void Return(Slot* slot);
  void AddSlab();
  // Makes the slab table big enough for `slabs` slabs. May throw
  // std::bad_alloc, and then leaves the table as it was.
  void GrowSlabTable(std::size_t slabs);
  // Enters `slab` in the table, which has room for it.
  void IndexSlab(Slot* slab);
  static std::size_t Bucket(std::uintptr_t number, std::size_t mask) {
    return static_cast<std::size_t>((static_cast<std::uint64_t>(number) * 0x9E3779B97F4A7C15ull) >> 32) &
           mask;
  }

  std::vector<std::unique_ptr<Slot, FreeSlab>> slabs_;
  std::vector<SlabEntry> slabTable_;  // a power of two in size, or empty
  // The slab the last look-up found: successive handles mostly lie in one
  // slab. Slabs live as long as the arena, so the entry never goes stale.
  mutable SlabEntry lastFound_;
  void Queue(Slot* slot);
  Slot* freeOldest_ = nullptr;  // empty slots, oldest first, linked by nextFree
  Slot* freeNewest_ = nullptr;
  std::size_t live_ = 0;
};

}  // namespace standin
