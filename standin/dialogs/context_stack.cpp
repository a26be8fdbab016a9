#include "standin/dialogs/context_stack.h"

#include "standin/journal/handle_serials.h"

namespace standin {

AppContextHandle ContextStack::Push() {
  // Numbers from this base on in steps of 8: never null, never reused, and
  // apart from every other handle the host makes.
  constexpr std::uintptr_t kFirstAppContextId = 0x5A000000u;
  stack_.push_back(reinterpret_cast<AppContextHandle>(kFirstAppContextId + 8 * next_++));
  NoteNewHandle(stack_.back());
  return stack_.back();
}

bool ContextStack::Pop(AppContextHandle context) {
  if (stack_.empty() || stack_.back() != context) return false;
  stack_.pop_back();
  return true;
}

}  // namespace standin
