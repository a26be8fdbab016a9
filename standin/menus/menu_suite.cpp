// "AI Menu Suite": every call is journaled, then its handles and pointers are
// checked (kHostErrBadParameter for a bad one) before the store changes. A
// change without memory for it gives kHostErrOutOfMemory and leaves the
// store as it was.
#include <string>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/dictionary/string_store.h"
#include "standin/menus/menu_store.h"

namespace standin {

namespace {

std::string Quoted(const char* text) { return text == nullptr ? "null" : std::string("\"") + text + "\""; }

// The item text as the journal shows it: the string's text when it is live.
std::string ItemTextArg(Host& host, const MenuItemInfo* info) {
  if (info == nullptr) return "null";
  const std::string* text = host.strings().Text(info->itemText);
  return Quoted(info->groupName) + ", " +
         (text != nullptr ? "\"" + *text + "\"" : HandleText(info->itemText));
}

HostError HOSTCALL AddMenuItem(PluginRef self, const char* name, const MenuItemInfo* info, int32_t options,
                               MenuItemHandle* item) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return Quoted(name) + ", " + ItemTextArg(*host, info) + ", " + std::to_string(options);
  };
  if (HostError e = host->journal().Enter(kMenuSuite, "AddMenuItem", args)) return e;
  if (self != host->self() || info == nullptr || info->groupName == nullptr || item == nullptr) {
    return kHostErrBadParameter;
  }
  MenuStore& menus = host->menus();
  MenuGroupObject* group = menus.FindGroup(info->groupName);
  const std::string* text = host->strings().Text(info->itemText);
  if (group == nullptr || text == nullptr) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    *item = menus.AddItem(self, name != nullptr ? name : "", group, *text, options);
    return HostError{kHostNoError};
  });
}

HostError HOSTCALL AddMenuGroupAsSubMenu(const char* groupName, int32_t options, MenuItemHandle item,
                                         MenuGroupHandle* group) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return Quoted(groupName) + ", " + std::to_string(options) + ", " + HandleText(item);
  };
  if (HostError e = host->journal().Enter(kMenuSuite, "AddMenuGroupAsSubMenu", args)) return e;
  MenuStore& menus = host->menus();
  if (groupName == nullptr || group == nullptr || !menus.IsLive(item)) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    MenuGroupObject* added = menus.AddGroup(groupName, options, item);
    // A group of that name exists already, or the item opens one.
    if (added == nullptr) return HostError{kHostErrBadParameter};
    *group = added;
    return HostError{kHostNoError};
  });
}

HostError HOSTCALL CountMenuGroups(int32_t* count) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kMenuSuite, "CountMenuGroups", "")) return e;
  if (count == nullptr) return kHostErrBadParameter;
  *count = static_cast<int32_t>(host->menus().groups().size());
  return kHostNoError;
}

HostError HOSTCALL GetNthMenuGroup(int32_t index, MenuGroupHandle* group) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kMenuSuite, "GetNthMenuGroup", [index] { return std::to_string(index); }))
    return e;
  const auto& groups = host->menus().groups();
  if (group == nullptr || index < 0 || static_cast<std::size_t>(index) >= groups.size()) {
    return kHostErrBadParameter;
  }
  *group = groups[static_cast<std::size_t>(index)].get();
  return kHostNoError;
}

HostError HOSTCALL GetMenuGroupName(MenuGroupHandle group, const char** name) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kMenuSuite, "GetMenuGroupName", [group] { return HandleText(group); }))
    return e;
  if (name == nullptr || !host->menus().IsLive(group)) return kHostErrBadParameter;
  *name = group->name.c_str();  // owned by the store, valid as long as it
  return kHostNoError;
}

HostError HOSTCALL UpdateMenuItemAutomatically(MenuItemHandle item, int32_t action, int32_t ifMenuFlags,
                                               int32_t ifNotMenuFlags, int32_t ifArtFlags,
                                               int32_t ifNotArtFlags, int32_t ifDocFlags,
                                               int32_t ifNotDocFlags) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    std::string text = HandleText(item);
    for (int32_t value :
         {action, ifMenuFlags, ifNotMenuFlags, ifArtFlags, ifNotArtFlags, ifDocFlags, ifNotDocFlags}) {
      text += ", " + std::to_string(value);
    }
    return text;
  };
  if (HostError e = host->journal().Enter(kMenuSuite, "UpdateMenuItemAutomatically", args)) return e;
  if (!host->menus().IsLive(item)) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    host->menus().RecordAutomaticUpdate(AutomaticUpdate{item, action, ifMenuFlags, ifNotMenuFlags, ifArtFlags,
                                                        ifNotArtFlags, ifDocFlags, ifNotDocFlags});
    return HostError{kHostNoError};
  });
}

const MenuSuite kMenuSuiteTable = {AddMenuItem,     AddMenuGroupAsSubMenu, CountMenuGroups,
                                   GetNthMenuGroup, GetMenuGroupName,      UpdateMenuItemAutomatically};

}  // namespace

const MenuSuite& MenuSuiteTable() { return kMenuSuiteTable; }

}  // namespace standin
