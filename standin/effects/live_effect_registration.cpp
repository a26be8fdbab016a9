#include "standin/effects/live_effect_registration.h"

#include "standin/core/host.h"
#include "standin/effects/effect_host.h"

namespace standin {

// Minimal registration; the menu side is completed with the Menu suite.
HostError HOSTCALL AddLiveEffect(const LiveEffectInfo* info, LiveEffectHandle* effect) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const std::string args = info != nullptr && info->name != nullptr ? std::string("\"") + info->name + "\"" : "null";
  if (HostError e = host->journal().Enter(kLiveEffectSuite, "AddLiveEffect", args)) return e;
  if (info == nullptr || effect == nullptr || info->name == nullptr) return kHostErrBadParameter;
  *effect = reinterpret_cast<LiveEffectHandle>(static_cast<std::uintptr_t>(0xEFFEC7));
  host->effects().SetRegisteredEffect(*effect);
  return kHostNoError;
}

HostError HOSTCALL AddLiveEffectMenuItem(LiveEffectHandle effect, const char* menuName,
                                         const LiveEffectMenuInfo* info, MenuItemHandle* menuItem,
                                         MenuGroupHandle* /*menuGroup*/) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kLiveEffectSuite, "AddLiveEffectMenuItem",
                                          HandleText(effect) + ", \"" + (menuName ? menuName : "") + "\"")) {
    return e;
  }
  if (effect == nullptr || effect != host->effects().registeredEffect() || info == nullptr || menuItem == nullptr) {
    return kHostErrBadParameter;
  }
  *menuItem = reinterpret_cast<MenuItemHandle>(static_cast<std::uintptr_t>(0x3E7E));
  return kHostNoError;
}

}  // namespace standin
