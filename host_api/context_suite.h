// "AI Context Suite": the application context a plug-in works in while it
// shows its own dialogs.
#pragma once

#include "host_types.h"

#define kContextSuite "AI Context Suite"
enum { kContextSuiteVersion = 4 };

typedef struct ContextSuite {
  // Pushes the context for `self` and stores a handle for the pop in *context.
  HostError(HOSTCALL* PushAppContext)(PluginRef self, AppContextHandle* context);
  // Pops the context pushed with `context`; pushes and pops nest.
  HostError(HOSTCALL* PopAppContext)(AppContextHandle context);
} ContextSuite;
