// Arrays of art handles on the plug-in's own heap, for the lists the effect's
// execution builds during one message.
#pragma once

#include <cstddef>

#include "host_api/host_api.h"

// Allocates room for `entries` handles into *list. The byte size is computed
// as entries * sizeof(ArtHandle) in unsigned 32-bit arithmetic; a size that
// does not fit, or a failed allocation, gives kHostErrOutOfMemory and leaves
// *list null. The contents are not cleared.
HostError AllocateHandleList(uint32_t entries, ArtHandle** list);

// Frees a list from AllocateHandleList and sets *list to null; a null list
// is skipped.
void FreeHandleList(ArtHandle** list);

// Lists allocated and not yet freed (for checks that nothing leaks).
int LiveHandleLists();

// Replaces the allocator (std::malloc by default) so tests can make an
// allocation fail; null restores the default.
void SetHandleListAllocator(void* (*allocate)(std::size_t bytes));
