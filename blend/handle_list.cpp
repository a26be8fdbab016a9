#include "blend/handle_list.h"

#include <cstdint>
#include <cstdlib>

namespace {
int gLiveLists = 0;
void* (*gAllocate)(std::size_t) = nullptr;
}  // namespace

HostError AllocateHandleList(uint32_t entries, ArtHandle** list) {
  *list = nullptr;
  constexpr uint32_t kEntrySize = sizeof(ArtHandle);
  // The product must fit in 32 bits, as the host's sizes do.
  if (entries != 0 && entries > UINT32_MAX / kEntrySize) return kHostErrOutOfMemory;
  const uint32_t bytes = entries * kEntrySize;
  // A zero-sized list still gets a distinct block, so that success always
  // means a non-null list.
  void* memory = gAllocate != nullptr ? gAllocate(bytes == 0 ? 1 : bytes) : std::malloc(bytes == 0 ? 1 : bytes);
  if (memory == nullptr) return kHostErrOutOfMemory;
  *list = static_cast<ArtHandle*>(memory);
  ++gLiveLists;
  return kHostNoError;
}

void FreeHandleList(ArtHandle** list) {
  if (*list == nullptr) return;
  std::free(*list);
  *list = nullptr;
  --gLiveLists;
}

int LiveHandleLists() { return gLiveLists; }

void SetHandleListAllocator(void* (*allocate)(std::size_t bytes)) { gAllocate = allocate; }
