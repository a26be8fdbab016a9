#include "standin/core/plugin_session.h"

#include "standin/core/host.h"
#include "standin/effects/effect_host.h"

namespace standin {

PluginSession::PluginSession(Host& host, PluginMainProc entryPoint) : host_(host), entryPoint_(entryPoint) {
  host_.effects().SetEntryPoint(entryPoint);
}

HostError PluginSession::Startup() {
  SPMessageData message{};
  return Send(kSPInterfaceCaller, kSPInterfaceStartupSelector, &message);
}

HostError PluginSession::Shutdown() {
  SPMessageData message{};
  return Send(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message);
}

HostError PluginSession::Unload() {
  SPMessageData message{};
  return Send(kSPAccessCaller, kSPAccessUnloadSelector, &message);
}

HostError PluginSession::Reload() {
  SPMessageData message{};
  return Send(kSPAccessCaller, kSPAccessReloadSelector, &message);
}

HostError PluginSession::ChooseMenuItem(MenuItemHandle item) {
  MenuMessage message{};
  message.menuItem = item;
  return Send(kMenuCaller, kMenuGoSelector, &message.d);
}

HostError PluginSession::Send(const char* caller, const char* selector, SPMessageData* message) {
  if (entryPoint_ == nullptr || message == nullptr) return kHostErrBadParameter;
  *message = host_.MessageHeader();
  lastResult_ = entryPoint_(caller, selector, message);
  ++messagesSent_;
  host_.pluginGlobals() = message->globals;
  return lastResult_;
}

}  // namespace standin
