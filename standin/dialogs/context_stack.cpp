#include "standin/dialogs/context_stack.h"

#include "standin/core/host.h"

namespace standin {

void RegisterContextSuite(Host& /*host*/) {}

}  // namespace standin
