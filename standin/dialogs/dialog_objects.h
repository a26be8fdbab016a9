// The stand-in's dialogs, items and notifications: what DialogHandle,
// ItemHandle and NotifierHandle point to.
//
// The DialogToolkit owns every dialog and item and frees none of them before
// it goes away: a destroyed dialog (and its items) is only marked, so that a
// stale handle is recognised as such and never points into freed memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host_api/host_api.h"

// What an item is for the scripted user, from its template's class and style.
enum class ItemRole { kPushButton, kCheckBox, kStaticText, kSlider, kOther };

struct DialogObject;

// One control of a dialog. Every item keeps a text, a boolean and an integer
// value with bounds; its role decides which of them the user changes.
struct ItemObject {
  DialogObject* dialog = nullptr;
  int32_t id = 0;
  ItemRole role = ItemRole::kOther;
  std::string text;
  HostBoolean boolean = 0;
  // The integer value stays within [minimum, maximum].
  int32_t value = 0;
  int32_t minimum = 0;
  int32_t maximum = 100;
  ADMItemNotifyProc notify = nullptr;
};

// One dialog built from a template of the plug-in's resources.
struct DialogObject {
  PluginRef owner = nullptr;
  std::string name;
  int32_t resourceID = 0;
  std::string caption;
  void* userData = nullptr;
  // In template order.
  std::vector<std::unique_ptr<ItemObject>> items;
  bool destroyed = false;
  // True while DisplayAsModal runs on the dialog; `endedWith` is the item ID
  // that ends the loop, 0 while it goes on.
  bool modal = false;
  int32_t endedWith = 0;

  // The item with `id`, or null.
  ItemObject* Find(int32_t id) const;
};

// One notification, alive while it is being delivered.
struct NotifierObject {
  std::string type;
};
