#include "tests/support/refused_allocations.h"

#include <cstdlib>
#include <new>

namespace {
// Allocations still allowed; negative while every one is.
long gAllowed = -1;
long gAsked = 0;
}  // namespace

namespace refusal {

void RefuseAll() { RefuseAfter(0); }
void RefuseAfter(long allowed) {
  gAsked = 0;
  gAllowed = allowed;
}
void Allow() { gAllowed = -1; }
long Asked() { return gAsked; }

}  // namespace refusal

void* operator new(std::size_t size) {
  ++gAsked;
  if (gAllowed == 0) throw std::bad_alloc();
  if (gAllowed > 0) --gAllowed;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
// GCC takes these for a mismatch of new and free; they are the pair above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop
