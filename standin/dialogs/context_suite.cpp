// "AI Context Suite": pushes and pops of application contexts, journaled and
// open to fault injection. A push for a plug-in the host did not load, or
// without a place for the handle, and a pop of a context that is not the top
// one (unknown, popped already, or popped out of order) give
// kHostErrBadParameter and change nothing.
#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/suite_registry.h"
#include "standin/dialogs/context_stack.h"

namespace standin {

namespace {

HostError HOSTCALL PushAppContext(PluginRef self, AppContextHandle* context) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kContextSuite, "PushAppContext", [self] { return HandleText(self); }))
    return e;
  if (self != host->self() || context == nullptr) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    *context = host->contexts().Push();
    return HostError{kHostNoError};
  });
}

HostError HOSTCALL PopAppContext(AppContextHandle context) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kContextSuite, "PopAppContext", [context] { return HandleText(context); }))
    return e;
  return host->contexts().Pop(context) ? kHostNoError : kHostErrBadParameter;
}

const ContextSuite kContextSuiteTable = {PushAppContext, PopAppContext};

}  // namespace

void RegisterContextSuite(Host& host) {
  host.suites().Add(kContextSuite, kContextSuiteVersion, &kContextSuiteTable);
}

}  // namespace standin
