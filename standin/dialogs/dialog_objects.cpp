#include "standin/dialogs/dialog_objects.h"

ItemObject* DialogObject::Find(int32_t id) const {
  for (const auto& item : items) {
    if (item->id == id) return item.get();
  }
  return nullptr;
}
