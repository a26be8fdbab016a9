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
  slabs_.emplace_back(slab);
  slabByNumber_.emplace(reinterpret_cast<std::uintptr_t>(slab) >> kSlabShift, slab);
  for (std::size_t i = 0; i < kSlotsPerSlab; ++i) {
    ASAN_POISON_MEMORY_REGION(slab[i].bytes, sizeof slab[i].bytes);
    free_.push_back(&slab[i]);
  }
}

ArtArena::Slot* ArtArena::Take() {
  if (free_.empty()) AddSlab();
  Slot* slot = free_.front();
  free_.pop_front();
  ASAN_UNPOISON_MEMORY_REGION(slot->bytes, sizeof slot->bytes);
  return slot;
}

void ArtArena::Destroy(ArtObject* art) {
  Slot* slot = reinterpret_cast<Slot*>(reinterpret_cast<unsigned char*>(art));
  art->~ArtObject();
  slot->live = false;
  --live_;
  ASAN_POISON_MEMORY_REGION(slot->bytes, sizeof slot->bytes);
  free_.push_back(slot);
}

bool ArtArena::Holds(const ArtObject* art) const {
  const auto address = reinterpret_cast<std::uintptr_t>(art);
  const auto found = slabByNumber_.find(address >> kSlabShift);
  if (found == slabByNumber_.end()) return false;
  const std::uintptr_t offset = address - reinterpret_cast<std::uintptr_t>(found->second);
  if (offset % sizeof(Slot) != 0 || offset / sizeof(Slot) >= kSlotsPerSlab) return false;
  return found->second[offset / sizeof(Slot)].live;
}

}  // namespace standin
