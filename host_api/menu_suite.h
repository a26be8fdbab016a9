// "AI Menu Suite": menu groups and items.
#pragma once

#include "host_types.h"

#define kMenuSuite "AI Menu Suite"
enum { kMenuSuiteVersion = 9 };

// The host's own About menu group.
#define kAboutMenuGroup "About"

// Options of AddMenuGroupAsSubMenu.
enum { kMenuGroupSortedAlphabetically = 1 };

// A plain menu item: the group it goes into and its text. The host copies
// what it needs during AddMenuItem; the record's owner keeps the string.
typedef struct MenuItemInfo {
  const char* groupName;
  UnicodeStringHandle itemText;
} MenuItemInfo;

typedef struct MenuSuite {
  // Adds an item; stores it in *item. `name` may be null.
  HostError(HOSTCALL* AddMenuItem)(PluginRef self, const char* name, const MenuItemInfo* info, int32_t options,
                                  MenuItemHandle* item);
  // Creates group `groupName` as a submenu opened by `item`; stores it in *group.
  HostError(HOSTCALL* AddMenuGroupAsSubMenu)(const char* groupName, int32_t options, MenuItemHandle item,
                                            MenuGroupHandle* group);
  // Stores the number of menu groups in *count.
  HostError(HOSTCALL* CountMenuGroups)(int32_t* count);
  // Stores group `index` (from 0) in *group.
  HostError(HOSTCALL* GetNthMenuGroup)(int32_t index, MenuGroupHandle* group);
  // Stores the group's name in *name; the host owns the string.
  HostError(HOSTCALL* GetMenuGroupName)(MenuGroupHandle group, const char** name);
  // Asks the host to enable, disable or check `item` by itself according to
  // the document's state: an action, then three pairs of criteria.
  HostError(HOSTCALL* UpdateMenuItemAutomatically)(MenuItemHandle item, int32_t action, int32_t ifMenuFlags,
                                                  int32_t ifNotMenuFlags, int32_t ifArtFlags,
                                                  int32_t ifNotArtFlags, int32_t ifDocFlags,
                                                  int32_t ifNotDocFlags);
} MenuSuite;
