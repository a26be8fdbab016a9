#include "standin/menus/menu_store.h"

#include <algorithm>

#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/journal/handle_serials.h"

namespace standin {

const std::vector<std::string>& MenuStore::HostGroupNames() {
  static const std::vector<std::string> names = {
      kAboutMenuGroup, "Open Recent Files", "Preferences", "Edit", "Object", "Effect", "Window", "Help"};
  return names;
}

MenuStore::MenuStore() {
  for (const std::string& name : HostGroupNames()) AddGroup(name, 0, nullptr)->hostOwned = true;
}

MenuGroupObject* MenuStore::AddGroup(const std::string& name, int32_t options, MenuItemObject* openedBy) {
  if (FindGroup(name) != nullptr) return nullptr;
  if (openedBy != nullptr && (!IsLive(openedBy) || openedBy->submenu != nullptr)) return nullptr;
  auto group = std::make_unique<MenuGroupObject>();
  group->name = name;
  group->options = options;
  group->openedBy = openedBy;
  NoteNewHandle(group.get());
  // The item opens the group only once the store holds it.
  groups_.push_back(std::move(group));
  if (openedBy != nullptr) openedBy->submenu = groups_.back().get();
  return groups_.back().get();
}

MenuItemObject* MenuStore::AddItem(PluginRef owner, const std::string& name, MenuGroupObject* group,
                                   const std::string& text, int32_t options) {
  if (!IsLive(group)) return nullptr;
  auto item = std::make_unique<MenuItemObject>();
  item->owner = owner;
  item->name = name;
  item->group = group;
  item->text = text;
  item->options = options;
  NoteNewHandle(item.get());
  items_.push_back(std::move(item));
  return items_.back().get();
}

MenuGroupObject* MenuStore::FindGroup(const std::string& name) const {
  for (const auto& group : groups_) {
    if (group->name == name) return group.get();
  }
  return nullptr;
}

std::vector<MenuItemObject*> MenuStore::ItemsOf(const MenuGroupObject* group) const {
  std::vector<MenuItemObject*> found;
  for (const auto& item : items_) {
    if (item->group == group) found.push_back(item.get());
  }
  return found;
}

bool MenuStore::IsLive(const MenuGroupObject* group) const {
  return group != nullptr &&
         std::any_of(groups_.begin(), groups_.end(), [group](const auto& g) { return g.get() == group; });
}

bool MenuStore::IsLive(const MenuItemObject* item) const {
  return item != nullptr &&
         std::any_of(items_.begin(), items_.end(), [item](const auto& i) { return i.get() == item; });
}

void RegisterMenuSuites(Host& host) {
  host.suites().Add(kMenuSuite, kMenuSuiteVersion, &MenuSuiteTable());
  host.suites().Add(kADMBasicSuite, kADMBasicSuiteVersion, &ADMBasicSuiteTable());
}

}  // namespace standin
