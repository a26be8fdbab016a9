// Registration of live effects and their Effect-menu items: the stand-in's
// AddLiveEffect and AddLiveEffectMenuItem.
#pragma once

#include <string>

#include "host_api/host_api.h"

namespace standin {

// What the plug-in registered.
struct RegisteredEffect {
  std::string name;
  std::string title;
  int32_t majorVersion = 0;
  int32_t minorVersion = 0;
  int32_t prefersAsInput = 0;
  int32_t styleFlags = 0;
  // Its menu item, once added.
  bool hasMenuItem = false;
  std::string menuName;
  std::string category;
  std::string menuTitle;
  int32_t menuOptions = 0;
};

HostError HOSTCALL AddLiveEffect(const LiveEffectInfo* info, LiveEffectHandle* effect);
HostError HOSTCALL AddLiveEffectMenuItem(LiveEffectHandle effect, const char* menuName,
                                         const LiveEffectMenuInfo* info, MenuItemHandle* menuItem,
                                         MenuGroupHandle* menuGroup);

}  // namespace standin
