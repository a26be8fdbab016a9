#include "standin/core/plugin_session.h"

#include "standin/core/host.h"
#include "standin/core/plugin_file.h"
#include "standin/effects/effect_host.h"

namespace standin {

PluginSession::PluginSession(Host& host, PluginMainProc entryPoint, PluginFile* file)
    : host_(host), entryPoint_(nullptr), file_(file) {
  SetEntryPoint(entryPoint);
}

void PluginSession::SetEntryPoint(PluginMainProc entryPoint) {
  entryPoint_ = entryPoint;
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
  const HostError result = Send(kSPAccessCaller, kSPAccessUnloadSelector, &message);
  // A plug-in that refuses the Unload stays in memory.
  if (result == kHostNoError && file_ != nullptr) {
    SetEntryPoint(nullptr);
    file_->Unload();
  }
  return result;
}

HostError PluginSession::Reload() {
  if (entryPoint_ == nullptr && file_ != nullptr) {
    SetEntryPoint(file_->Load());
    if (entryPoint_ == nullptr) return lastResult_ = kHostErrBadParameter;
  }
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
  lastResult_ =
      host_.journal().Message(caller, selector, [&] { return entryPoint_(caller, selector, message); });
  ++messagesSent_;
  host_.pluginGlobals() = message->globals;
  return lastResult_;
}

}  // namespace standin
