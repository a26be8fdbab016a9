// Menus as the host keeps them: groups with their names, items with their
// text, groups hung as submenus from items, the items' automatic updates
// ("AI Menu Suite"), and the About boxes shown ("ADM Basic Suite").
//
// The store owns every group and item; nothing is ever removed, so a handle
// stays valid as long as the store. IsLive tells whether a pointer is a
// handle the store gave out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_api/host_api.h"

struct MenuItemObject;

// A menu group: what MenuGroupHandle points to.
struct MenuGroupObject {
  std::string name;
  int32_t options = 0;
  MenuItemObject* openedBy = nullptr;  // the item it hangs from as a submenu; null for a top group
  bool hostOwned = false;              // one of the host's own groups
};

// A menu item: what MenuItemHandle points to.
struct MenuItemObject {
  PluginRef owner = nullptr;  // the plug-in that added it; null for the host's
  std::string name;           // the optional name given to AddMenuItem
  MenuGroupObject* group = nullptr;
  std::string text;  // UTF-8
  int32_t options = 0;
  MenuGroupObject* submenu = nullptr;  // the group it opens, or null
};

namespace standin {

class Host;

// One UpdateMenuItemAutomatically call: the item, the action and three pairs
// of criteria, as given.
struct AutomaticUpdate {
  MenuItemObject* item = nullptr;
  int32_t action = 0;
  int32_t ifMenuFlags = 0;
  int32_t ifNotMenuFlags = 0;
  int32_t ifArtFlags = 0;
  int32_t ifNotArtFlags = 0;
  int32_t ifDocFlags = 0;
  int32_t ifNotDocFlags = 0;
};

// One About box as shown: its title and text, byte for byte.
struct AboutBoxShown {
  std::string title;
  std::string text;
};

class MenuStore {
 public:
  // The host's own groups, in their fixed order: "About" first.
  static const std::vector<std::string>& HostGroupNames();

  // Starts with the host's own groups.
  MenuStore();

  // A new group `name` at the end of the group order, opened by `openedBy`
  // when that is not null (the item must not open a group yet). Null when a
  // group of that name exists, or `openedBy` is not a live item or already
  // opens a group.
  MenuGroupObject* AddGroup(const std::string& name, int32_t options, MenuItemObject* openedBy);
  // A new item with `text` at the end of `group`. Null when the group is not
  // live.
  MenuItemObject* AddItem(PluginRef owner, const std::string& name, MenuGroupObject* group,
                          const std::string& text, int32_t options);

  // The group named exactly `name`, or null.
  MenuGroupObject* FindGroup(const std::string& name) const;
  // The groups in their order, and the items in the order they were added.
  const std::vector<std::unique_ptr<MenuGroupObject>>& groups() const { return groups_; }
  const std::vector<std::unique_ptr<MenuItemObject>>& items() const { return items_; }
  // The items of `group`, in order.
  std::vector<MenuItemObject*> ItemsOf(const MenuGroupObject* group) const;
  bool IsLive(const MenuGroupObject* group) const;
  bool IsLive(const MenuItemObject* item) const;

  void RecordAutomaticUpdate(const AutomaticUpdate& update) { automaticUpdates_.push_back(update); }
  const std::vector<AutomaticUpdate>& automaticUpdates() const { return automaticUpdates_; }

  void RecordAboutBox(AboutBoxShown shown) { aboutBoxes_.push_back(std::move(shown)); }
  const std::vector<AboutBoxShown>& aboutBoxes() const { return aboutBoxes_; }

 private:
  std::vector<std::unique_ptr<MenuGroupObject>> groups_;
  std::vector<std::unique_ptr<MenuItemObject>> items_;
  std::vector<AutomaticUpdate> automaticUpdates_;
  std::vector<AboutBoxShown> aboutBoxes_;
};

// The suites' function tables (menu_suite.cpp, adm_basic_suite.cpp).
const MenuSuite& MenuSuiteTable();
const ADMBasicSuite& ADMBasicSuiteTable();

// Registers "AI Menu Suite" and "ADM Basic Suite".
void RegisterMenuSuites(Host& host);

}  // namespace standin
