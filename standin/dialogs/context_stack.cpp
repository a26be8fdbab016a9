#include "standin/dialogs/context_stack.h"

namespace standin {

AppContextHandle ContextStack::Push() {
  // Numbers from 1, so that null is never a context.
  stack_.push_back(reinterpret_cast<AppContextHandle>(++next_));
  return stack_.back();
}

bool ContextStack::Pop(AppContextHandle context) {
  if (stack_.empty() || stack_.back() != context) return false;
  stack_.pop_back();
  return true;
}

}  // namespace standin
