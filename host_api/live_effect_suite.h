// "AI Live Effect Suite": registering a live effect and its menu item, and
// asking the host to execute an effect again with new parameters.
#pragma once

#include "host_types.h"

#define kLiveEffectSuite "AI Live Effect Suite"
enum { kLiveEffectSuiteVersion = 4 };

// Registration record of a live effect; read during AddLiveEffect only.
typedef struct LiveEffectInfo {
  PluginRef self;          // the registering plug-in
  const char* name;        // unique name of the effect
  const char* title;       // display title
  int32_t majorVersion;    // version of the effect's parameters
  int32_t minorVersion;
  int32_t prefersAsInput;  // kind of input art wanted (flags)
  int32_t styleFlags;      // kind of effect (flags)
} LiveEffectInfo;

// Menu record of a live effect; read during AddLiveEffectMenuItem only.
typedef struct LiveEffectMenuInfo {
  const char* category;  // submenu of the Effect menu
  const char* title;     // text of the item
  int32_t options;
} LiveEffectMenuInfo;

typedef struct LiveEffectSuite {
  // Registers an effect and stores its handle in *effect, valid for the
  // host's session. Returns 0 or a host code.
  HostError(HOSTCALL* AddLiveEffect)(const LiveEffectInfo* info, LiveEffectHandle* effect);
  // Adds the effect's item to the Effect menu. Stores the item in *menuItem and,
  // when menuGroup is not null, its group in *menuGroup. Returns 0 or a code.
  HostError(HOSTCALL* AddLiveEffectMenuItem)(LiveEffectHandle effect, const char* menuName,
                                            const LiveEffectMenuInfo* info, MenuItemHandle* menuItem,
                                            MenuGroupHandle* menuGroup);
  // Executes the effect of `context` again with its dictionary's current
  // content; go-live messages may arrive before it returns.
  HostError(HOSTCALL* UpdateParameters)(ParamContext context);
} LiveEffectSuite;
