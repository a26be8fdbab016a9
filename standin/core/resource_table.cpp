#include "standin/core/resource_table.h"

#include <set>
#include <utility>

namespace standin {

const DialogItemTemplate* DialogTemplate::FindItem(int32_t itemID) const {
  for (const DialogItemTemplate& item : items) {
    if (item.id == itemID) return &item;
  }
  return nullptr;
}

void ResourceTable::AddString(int32_t id, std::string text) { strings_[id] = std::move(text); }

void ResourceTable::RemoveString(int32_t id) { strings_.erase(id); }

const std::string* ResourceTable::FindString(int32_t id) const {
  const auto found = strings_.find(id);
  return found == strings_.end() ? nullptr : &found->second;
}

bool ResourceTable::SetDialog(DialogTemplate dialog) {
  std::set<int32_t> ids;
  for (const DialogItemTemplate& item : dialog.items) {
    if (!ids.insert(item.id).second) return false;
  }
  const int32_t id = dialog.id;
  dialogs_[id] = std::move(dialog);
  return true;
}

const DialogTemplate* ResourceTable::FindDialog(int32_t id) const {
  const auto found = dialogs_.find(id);
  return found == dialogs_.end() ? nullptr : &found->second;
}

}  // namespace standin
