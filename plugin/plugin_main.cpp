#include "plugin/plugin_main.h"

#include <cstring>

#include "blend/go_live.h"
#include "menus/about_menu.h"
#include "params/edit_parameters.h"
#include "plugin/exception_barrier.h"
#include "plugin/plugin_globals.h"
#include "plugin/plugin_lifecycle.h"

namespace {

// The handlers of messages that need the globals block. When start-up failed
// there is none: go-live and the About command then do nothing and succeed,
// and the Edit-Parameters message is refused, so the handlers can rely on the
// block.
HostError AnswerAboutCommand(void* message) {
  if (gGlobals == nullptr) return kHostNoError;
  return HandleAboutCommand(static_cast<MenuMessage*>(message));
}

HostError AnswerEditParameters(void* message) {
  if (gGlobals == nullptr) return kPluginErrNoGlobals;
  return EditParameters(static_cast<LiveEffectEditParamMessage*>(message));
}

HostError AnswerGoLive(void* message) {
  if (gGlobals == nullptr) return kHostNoError;
  return GoLive(static_cast<LiveEffectGoLiveMessage*>(message));
}

HostError AnswerUnload(void* message) { return UnloadPlugin(static_cast<SPMessageData*>(message)); }
HostError AnswerReload(void* message) { return ReloadPlugin(static_cast<SPMessageData*>(message)); }
HostError AnswerStartup(void* message) { return StartupPlugin(static_cast<SPMessageData*>(message)); }
HostError AnswerShutdown(void* message) { return ShutdownPlugin(static_cast<SPMessageData*>(message)); }

struct MessageRoute {
  const char* caller;
  const char* selector;
  HostError (*answer)(void* message);
};

// The messages the plug-in answers, tried in this order.
const MessageRoute kRoutes[] = {
    {kSPAccessCaller, kSPAccessUnloadSelector, AnswerUnload},
    {kSPAccessCaller, kSPAccessReloadSelector, AnswerReload},
    {kSPInterfaceCaller, kSPInterfaceStartupSelector, AnswerStartup},
    {kSPInterfaceCaller, kSPInterfaceShutdownSelector, AnswerShutdown},
    {kMenuCaller, kMenuGoSelector, AnswerAboutCommand},
    {kLiveEffectCaller, kLiveEffectEditParametersSelector, AnswerEditParameters},
    {kLiveEffectCaller, kLiveEffectGoLiveSelector, AnswerGoLive},
};

// Finds the message's route, comparing the caller first and then the
// selector; null for a message the plug-in does not answer.
const MessageRoute* FindRoute(const char* caller, const char* selector) {
  if (caller == nullptr || selector == nullptr) return nullptr;
  for (const MessageRoute& route : kRoutes) {
    if (std::strcmp(caller, route.caller) == 0 && std::strcmp(selector, route.selector) == 0) return &route;
  }
  return nullptr;
}

HostError DispatchMessage(const char* caller, const char* selector, void* message) {
  const MessageRoute* route = FindRoute(caller, selector);
  if (route == nullptr) return kHostNoError;
  // Every handler reads the record; without one there is nothing to answer.
  if (message == nullptr) return kHostErrBadParameter;
  return route->answer(message);
}

}  // namespace

extern "C" PLUGIN_EXPORT HostError HOSTCALL PluginMain(const char* caller, const char* selector,
                                                       void* message) {
  return ReturnCodeInsteadOfThrowing([&] { return DispatchMessage(caller, selector, message); });
}
