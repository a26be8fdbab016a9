#include "plugin/plugin_lifecycle.h"

#include <cstring>

#include "menus/about_menu.h"
#include "menus/register_live_effect.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"

namespace {

// Allocates the globals block from the host and hands its address to the
// host. The block is zeroed at once, so that no field is ever read before it
// was written (24 bytes on the 32-bit host).
HostError AllocateGlobals(SPMessageData* message) {
  void* block = nullptr;
  const HostError error = message->basic->AllocateBlock(sizeof(PluginGlobals), &block);
  if (error != kHostNoError) return error;
  std::memset(block, 0, sizeof(PluginGlobals));
  gGlobals = static_cast<PluginGlobals*>(block);
  message->globals = gGlobals;
  return kHostNoError;
}

// The last step of start-up, on every path: no suite stays held, and no
// dialog is running yet.
void FinishStartup(SPMessageData* message) {
  ReleaseAllSuites(message->basic);  // a failed release cannot be helped here
  if (gGlobals != nullptr) gGlobals->inDialog = 0;
}

}  // namespace

HostError StartupPlugin(SPMessageData* message) {
  HostError error = AcquireAllSuites(message->basic);
  try {
    if (error == kHostNoError) error = AllocateGlobals(message);
    if (error == kHostNoError) error = RegisterAboutMenuItem(message);
    if (error == kHostNoError) error = RegisterLiveEffect(message);
  } catch (...) {
    FinishStartup(message);
    throw;
  }
  FinishStartup(message);
  return error;
}

HostError ShutdownPlugin(SPMessageData* message) {
  if (gGlobals == nullptr) return kHostNoError;
  message->basic->FreeBlock(gGlobals);  // the block is gone for the plug-in either way
  gGlobals = nullptr;
  message->globals = nullptr;
  return kHostNoError;
}

HostError UnloadPlugin(SPMessageData* message) {
  message->globals = gGlobals;
  return kHostNoError;
}

HostError ReloadPlugin(SPMessageData* message) {
  gGlobals = static_cast<PluginGlobals*>(message->globals);
  return kHostNoError;
}
