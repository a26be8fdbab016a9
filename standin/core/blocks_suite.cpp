// "SP Blocks Suite": blocks of memory from the host's BlockStore. Each
// function records the call in the journal first and returns an injected code
// without doing anything else.
#include <string>

#include "standin/core/block_store.h"
#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/journal/handle_serials.h"

namespace standin {

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
