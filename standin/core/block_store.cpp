#include "standin/core/block_store.h"

#include <cstring>
#include <new>

#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
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

namespace {

HostError HOSTCALL BlocksAllocate(uint32_t size, void** block) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kSPBlocksSuite, "AllocateBlock", [size] { return std::to_string(size); }))
    return e;
  return host->blocks().Allocate(size, block);
}

HostError HOSTCALL BlocksFree(void* block) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kSPBlocksSuite, "FreeBlock", [block] { return HandleText(block); }))
    return e;
  return host->blocks().Free(block);
}

const SPBlocksSuite kBlocksSuite = {BlocksAllocate, BlocksFree};

}  // namespace

void RegisterBlocksSuite(Host& host) {
  host.suites().Add(kSPBlocksSuite, kSPBlocksSuiteVersion, &kBlocksSuite);
}

}  // namespace standin
