// The host's side of a plug-in's life: it holds the plug-in's entry point and
// sends it the lifecycle messages ("SP Interface" Startup/Shutdown, "SP
// Access" Unload/Reload) and the menu message "AI Menu"/"AI Go".
//
// Every message carries the globals pointer the host keeps for the plug-in
// (Host::pluginGlobals()), and whatever the plug-in leaves in the message's
// globals field is kept for the next message. That is how the plug-in's
// globals block survives an Unload: the plug-in parks its address in the
// field and takes it back on Reload.
#pragma once

#include "host_api/host_api.h"

namespace standin {

class Host;
class PluginFile;

class PluginSession {
 public:
  // Makes `entryPoint` the plug-in the host talks to; the EffectHost sends
  // its effect messages through it too. With a `file` (not owned; it must
  // outlive the session), an Unload the plug-in accepts takes its code out
  // of memory and the Reload loads it again; without one the code stays.
  PluginSession(Host& host, PluginMainProc entryPoint, PluginFile* file = nullptr);

  HostError Startup();
  HostError Shutdown();
  // After an accepted Unload the plug-in's code is out of memory until the
  // Reload; any other message in between fails with kHostErrBadParameter.
  // A Reload whose code cannot be loaded returns kHostErrBadParameter and
  // sends nothing.
  HostError Unload();
  HostError Reload();
  // The user chose `item`, a menu item the plug-in added.
  HostError ChooseMenuItem(MenuItemHandle item);

  // Sends `message` (a record starting with SPMessageData) as caller /
  // selector. The record's header is filled here; the globals field the
  // plug-in leaves is kept. Returns the plug-in's code.
  HostError Send(const char* caller, const char* selector, SPMessageData* message);

  // Messages sent, and the code of the last one.
  int messagesSent() const { return messagesSent_; }
  HostError lastResult() const { return lastResult_; }

 private:
  Host& host_;
  void SetEntryPoint(PluginMainProc entryPoint);

  PluginMainProc entryPoint_;
  PluginFile* file_;
  int messagesSent_ = 0;
  HostError lastResult_ = kHostNoError;
};

}  // namespace standin
