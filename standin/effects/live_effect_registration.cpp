#include "standin/effects/live_effect_registration.h"

#include <string>
#include <utility>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/effects/effect_host.h"
#include "standin/journal/handle_serials.h"

namespace standin {

namespace {

std::string Quoted(const char* text) { return text == nullptr ? "null" : std::string("\"") + text + "\""; }

// The Effect menu's submenu `category`, made (an item in the host's "Effect"
// group opening a group of that name) when it does not exist yet. Null when
// it cannot be made.
MenuGroupObject* EffectCategoryGroup(Host& host, const std::string& category) {
  MenuStore& menus = host.menus();
  if (MenuGroupObject* existing = menus.FindGroup(category)) return existing;
  MenuItemObject* opener = menus.AddItem(nullptr, "", menus.FindGroup("Effect"), category, 0);
  if (opener == nullptr) return nullptr;
  return menus.AddGroup(category, 0, opener);
}

}  // namespace

LiveEffectObject* EffectRegistry::Add(const LiveEffectInfo& info) {
  if (info.name == nullptr || Find(info.name) != nullptr) return nullptr;
  auto effect = std::make_unique<LiveEffectObject>();
  effect->owner = info.self;
  effect->name = info.name;
  effect->title = info.title != nullptr ? info.title : "";
  effect->majorVersion = info.majorVersion;
  effect->minorVersion = info.minorVersion;
  effect->prefersAsInput = info.prefersAsInput;
  effect->styleFlags = info.styleFlags;
  NoteNewHandle(effect.get());
  effects_.push_back(std::move(effect));
  return effects_.back().get();
}

LiveEffectObject* EffectRegistry::Find(const std::string& name) const {
  for (const auto& effect : effects_) {
    if (effect->name == name) return effect.get();
  }
  return nullptr;
}

bool EffectRegistry::IsLive(const LiveEffectObject* effect) const {
  for (const auto& known : effects_) {
    if (known.get() == effect) return true;
  }
  return false;
}

HostError HOSTCALL AddLiveEffect(const LiveEffectInfo* info, LiveEffectHandle* effect) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    if (info == nullptr) return std::string("null");
    return Quoted(info->name) + ", " + Quoted(info->title) + ", " + std::to_string(info->majorVersion) + "." +
           std::to_string(info->minorVersion) + ", " + std::to_string(info->prefersAsInput) + ", " +
           std::to_string(info->styleFlags);
  };
  if (HostError e = host->journal().Enter(kLiveEffectSuite, "AddLiveEffect", args)) return e;
  if (info == nullptr || effect == nullptr || info->self != host->self()) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    LiveEffectObject* added = host->effects().registry().Add(*info);
    if (added == nullptr) return HostError{kHostErrBadParameter};
    *effect = added;
    host->effects().SetRegisteredEffect(added);
    return HostError{kHostNoError};
  });
}

HostError HOSTCALL AddLiveEffectMenuItem(LiveEffectHandle effect, const char* menuName,
                                         const LiveEffectMenuInfo* info, MenuItemHandle* menuItem,
                                         MenuGroupHandle* menuGroup) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    std::string text = HandleText(effect) + ", " + Quoted(menuName);
    if (info != nullptr) {
      text +=
          ", " + Quoted(info->category) + ", " + Quoted(info->title) + ", " + std::to_string(info->options);
    }
    return text;
  };
  if (HostError e = host->journal().Enter(kLiveEffectSuite, "AddLiveEffectMenuItem", args)) return e;
  if (!host->effects().registry().IsLive(effect) || effect->hasMenuItem || menuName == nullptr ||
      info == nullptr || info->category == nullptr || info->title == nullptr || menuItem == nullptr) {
    return kHostErrBadParameter;
  }
  // Without memory the effect gets no item (its category's submenu may
  // stay, empty, for the next try to find).
  return CodeOnOutOfMemory([&] {
    MenuGroupObject* group = EffectCategoryGroup(*host, info->category);
    if (group == nullptr) return HostError{kHostErrBadParameter};
    std::string name = menuName;
    std::string category = info->category;
    std::string title = info->title;
    MenuItemObject* item = host->menus().AddItem(effect->owner, menuName, group, info->title, info->options);
    effect->hasMenuItem = true;
    effect->menuItem = item;
    effect->menuName = std::move(name);
    effect->category = std::move(category);
    effect->menuTitle = std::move(title);
    effect->menuOptions = info->options;
    *menuItem = item;
    if (menuGroup != nullptr) *menuGroup = group;
    return HostError{kHostNoError};
  });
}

}  // namespace standin
