// Host memory blocks with live-block accounting.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "host_api/host_api.h"

namespace standin {

class BlockStore {
 public:
  HostError Allocate(uint32_t size, void** block);
  // kHostErrBadParameter for a pointer that is not a live block.
  HostError Free(void* block);
  int Live() const { return static_cast<int>(blocks_.size()); }
  bool IsLive(const void* block) const { return blocks_.count(block) != 0; }

 private:
  std::map<const void*, std::unique_ptr<unsigned char[]>> blocks_;
};

// Registers "SP Blocks Suite".
void RegisterBlocksSuite(class Host& host);

}  // namespace standin
