#include "standin/core/block_store.h"

#include <cstring>
#include <new>

#include "standin/journal/handle_serials.h"

namespace standin {

HostError BlockStore::Allocate(uint32_t size, void** block) {
  if (block == nullptr) return kHostErrBadParameter;
  // Zero-sized requests still get a distinct block.
  std::unique_ptr<unsigned char[]> memory(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
  if (!memory) return kHostErrOutOfMemory;
  // New blocks hold a pattern, not zeros, so that a field read before it is
  // written shows up.
  std::memset(memory.get(), 0xCD, size == 0 ? 1 : size);
  void* const made = memory.get();
  // The block is handed out only once the store holds it; without memory
  // for its entry it is freed again.
  try {
    blocks_.emplace(made, std::move(memory));
  } catch (const std::bad_alloc&) {
    return kHostErrOutOfMemory;
  }
  NoteNewHandle(made);
  *block = made;
  return kHostNoError;
}

HostError BlockStore::Free(void* block) {
  auto it = blocks_.find(block);
  if (it == blocks_.end()) return kHostErrBadParameter;
  blocks_.erase(it);
  return kHostNoError;
}

}  // namespace standin
