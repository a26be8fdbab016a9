// Application contexts ("AI Context Suite"): a stack of pushes that must be
// popped in reverse order. Handles are numbers that are never reused, so a
// stale one is recognised.
#pragma once

#include <cstdint>
#include <vector>

#include "host_api/host_api.h"

namespace standin {

class Host;

class ContextStack {
 public:
  // Contexts pushed and not popped.
  int Pushed() const { return static_cast<int>(stack_.size()); }
  // A new context on top of the stack.
  AppContextHandle Push();
  // Pops `context` when it is the top one; false (nothing changes) otherwise.
  bool Pop(AppContextHandle context);
  // The top context, or null.
  AppContextHandle Top() const { return stack_.empty() ? nullptr : stack_.back(); }

 private:
  std::vector<AppContextHandle> stack_;
  std::uintptr_t next_ = 0;
};

// Registers "AI Context Suite".
void RegisterContextSuite(Host& host);

}  // namespace standin
