#include "standin/art/art_arena.h"

#include <cstdlib>

// Empty slots are marked off-limits to AddressSanitizer where the build has
// it; elsewhere (the Win32 and WebAssembly builds) the marks do nothing.
#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif
#ifdef _WIN32
#include <malloc.h>
#endif

namespace standin {

void ArtArena::FreeSlab::operator()(Slot* slab) const {
  ASAN_UNPOISON_MEMORY_REGION(slab, kSlabBytes);
  for (std::size_t i = 0; i < kSlotsPerSlab; ++i) slab[i].~Slot();
#ifdef _WIN32
  _aligned_free(slab);
#else
  std::free(slab);
#endif
}

ArtArena::~ArtArena() {
  for (const auto& slab : slabs_) {
    for (std::size_t i = 0; i < kSlotsPerSlab; ++i) {
      Slot& slot = slab.get()[i];
      if (slot.live) Destroy(reinterpret_cast<ArtObject*>(slot.bytes));
    }
  }
}

void ArtArena::AddSlab() {
#ifdef _WIN32
  // msvcrt has no aligned_alloc; its aligned blocks go back through _aligned_free.
  void* memory = _aligned_malloc(kSlabBytes, kSlabBytes);
#else
  void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
#endif
  if (memory == nullptr) throw std::bad_alloc();
  Slot* slab = static_cast<Slot*>(memory);
  for (std::size_t i = 0; i < kSlotsPerSlab; ++i) new (&slab[i]) Slot();
  // Owned from here on, so that a list or table that cannot grow frees it;
  // both grow before the slab is entered in them, so neither is left with
  // half an entry.
  std::unique_ptr<Slot, FreeSlab> owned(slab);
  slabs_.reserve(slabs_.size() + 1);
  GrowSlabTable(slabs_.size() + 1);
  slabs_.push_back(std::move(owned));
  IndexSlab(slab);
  for (std::size_t i = 0; i < kSlotsPerSlab; ++i) {
    ASAN_POISON_MEMORY_REGION(slab[i].bytes, sizeof slab[i].bytes);
    Queue(&slab[i]);
  }
}

void ArtArena::GrowSlabTable(std::size_t slabs) {
  if (2 * slabs <= slabTable_.size()) return;
  // Grows to keep the table at most half full, and places every slab anew.
  std::vector<SlabEntry> table(slabTable_.empty() ? 16 : 2 * slabTable_.size());
  slabTable_.swap(table);
  for (const auto& held : slabs_) IndexSlab(held.get());
}

void ArtArena::IndexSlab(Slot* slab) {
  const std::uintptr_t number = reinterpret_cast<std::uintptr_t>(slab) >> kSlabShift;
  const std::size_t mask = slabTable_.size() - 1;
  std::size_t i = Bucket(number, mask);
  while (slabTable_[i].slab != nullptr) i = (i + 1) & mask;
  slabTable_[i] = SlabEntry{number, slab};
}

void ArtArena::Queue(Slot* slot) {
  slot->nextFree = nullptr;
  (freeNewest_ != nullptr ? freeNewest_->nextFree : freeOldest_) = slot;
  freeNewest_ = slot;
}

void ArtArena::Return(Slot* slot) {
  ASAN_POISON_MEMORY_REGION(slot->bytes, sizeof slot->bytes);
  slot->nextFree = freeOldest_;
  freeOldest_ = slot;
  if (freeNewest_ == nullptr) freeNewest_ = slot;
}

ArtArena::Slot* ArtArena::Take() {
  if (freeOldest_ == nullptr) AddSlab();
  Slot* slot = freeOldest_;
  freeOldest_ = slot->nextFree;
  if (freeOldest_ == nullptr) freeNewest_ = nullptr;
  ASAN_UNPOISON_MEMORY_REGION(slot->bytes, sizeof slot->bytes);
  return slot;
}

void ArtArena::Destroy(ArtObject* art) {
  Slot* slot = reinterpret_cast<Slot*>(reinterpret_cast<unsigned char*>(art));
  art->~ArtObject();
  slot->live = false;
  --live_;
  ASAN_POISON_MEMORY_REGION(slot->bytes, sizeof slot->bytes);
  Queue(slot);
}

bool ArtArena::Holds(const ArtObject* art) const {
  if (slabTable_.empty()) return false;
  const auto address = reinterpret_cast<std::uintptr_t>(art);
  const std::uintptr_t number = address >> kSlabShift;
  Slot* slab = nullptr;
  if (number == lastFound_.number && lastFound_.slab != nullptr) {
    slab = lastFound_.slab;
  } else {
    const std::size_t mask = slabTable_.size() - 1;
    for (std::size_t i = Bucket(number, mask); slabTable_[i].slab != nullptr; i = (i + 1) & mask) {
      if (slabTable_[i].number == number) {
        slab = slabTable_[i].slab;
        break;
      }
    }
    if (slab == nullptr) return false;
    lastFound_ = SlabEntry{number, slab};
  }
  const std::uintptr_t offset = address - reinterpret_cast<std::uintptr_t>(slab);
  if (offset % sizeof(Slot) != 0 || offset / sizeof(Slot) >= kSlotsPerSlab) return false;
  return slab[offset / sizeof(Slot)].live;
}

}  // namespace standin
