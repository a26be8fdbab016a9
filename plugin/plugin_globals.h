// The globals block: the plug-in's only memory that lives from one host
// message to the next. It is allocated from the host at start-up, its address
// is parked with the host across Unload/Reload, and it is freed at shut-down.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host_api/host_api.h"

struct PluginGlobals {
  LiveEffectHandle effect;                   // the live effect registered at start-up
  MenuItemHandle aboutMenuItem;              // our item in the About group; null until added
  LiveEffectEditParamMessage* editMessage;   // the Edit-Parameters message being served, or null
  uint8_t inDialog;                          // 1 while the Edit-Parameters dialog runs
  uint8_t alignment[3];
  HostReal openingRate;                      // stored "rate" when the dialog opened, or 0.0
  AppContextHandle* context;                 // the pushed application context, or null
};

#if HOST_API_32BIT
static_assert(sizeof(PluginGlobals) == 24, "the globals block is 24 bytes");
static_assert(offsetof(PluginGlobals, inDialog) == 12, "in-dialog flag at 12");
static_assert(offsetof(PluginGlobals, openingRate) == 16, "opening rate at 16");
#endif

// The current globals block, or null before start-up and after shut-down.
extern PluginGlobals* gGlobals;
