// Registration of live effects and their Effect-menu items: the stand-in's
// AddLiveEffect and AddLiveEffectMenuItem, and the registry that keeps what
// was registered. The effect last registered is the one the EffectHost
// applies.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_api/host_api.h"
#include "standin/menus/menu_store.h"

// A registered effect: what LiveEffectHandle points to. The texts are copies
// of what the registration records held.
struct LiveEffectObject {
  PluginRef owner = nullptr;
  std::string name;
  std::string title;  // empty when the record gave none
  int32_t majorVersion = 0;
  int32_t minorVersion = 0;
  int32_t prefersAsInput = 0;
  int32_t styleFlags = 0;
  // Its menu item, once added.
  bool hasMenuItem = false;
  MenuItemObject* menuItem = nullptr;
  std::string menuName;
  std::string category;
  std::string menuTitle;
  int32_t menuOptions = 0;
};

namespace standin {

using RegisteredEffect = LiveEffectObject;

class EffectRegistry {
 public:
  // Keeps a new effect made from `info`. Null when `info` has no name or an
  // effect of that name exists: names identify effects.
  LiveEffectObject* Add(const LiveEffectInfo& info);
  // The effect named `name`, or null.
  LiveEffectObject* Find(const std::string& name) const;
  bool IsLive(const LiveEffectObject* effect) const;
  // The effects in the order they were registered.
  const std::vector<std::unique_ptr<LiveEffectObject>>& effects() const { return effects_; }

 private:
  std::vector<std::unique_ptr<LiveEffectObject>> effects_;
};

// The suite functions. AddLiveEffect keeps the effect in the registry and
// makes it the EffectHost's registered effect. AddLiveEffectMenuItem adds the
// item `info->title` to the Effect menu's submenu `info->category` (made on
// first use); kHostErrBadParameter for an effect that is not registered or
// already has its item, or a missing record, text or out-pointer.
HostError HOSTCALL AddLiveEffect(const LiveEffectInfo* info, LiveEffectHandle* effect);
HostError HOSTCALL AddLiveEffectMenuItem(LiveEffectHandle effect, const char* menuName,
                                         const LiveEffectMenuInfo* info, MenuItemHandle* menuItem,
                                         MenuGroupHandle* menuGroup);

}  // namespace standin
