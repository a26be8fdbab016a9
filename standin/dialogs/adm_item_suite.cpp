// "ADM Item Suite": the controls of the toolkit's dialogs. Every call is
// journaled with the item's ID ("item 5"); an unknown item, or one of a
// destroyed dialog, is ignored, and operations that return a value give 0 or
// null for it.
#include <string>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/dialogs/dialog_toolkit.h"

namespace standin {

namespace {

// The item for the journal: "item <ID>" when it is live, else its handle.
std::string ItemText(Host& host, ItemHandle item) {
  return host.dialogs().IsLive(item) ? "item " + std::to_string(item->id) : HandleText(item);
}

// Journals the call, with `more()` after the item in its arguments, and
// returns the item when it is live, else null.
template <typename More>
ItemObject* EnterItem(const char* op, ItemHandle item, More more) {
  Host* host = Host::Current();
  if (host == nullptr) return nullptr;
  host->journal().Enter(
      kADMItemSuite, op, [&] { return ItemText(*host, item) + more(); }, /*returnsCode=*/false);
  return host->dialogs().IsLive(item) ? item : nullptr;
}
ItemObject* EnterItem(const char* op, ItemHandle item) {
  return EnterItem(op, item, [] { return std::string(); });
}
// ", <value>" for the journal.
auto ValueText(int32_t value) {
  return [value] { return ", " + std::to_string(value); };
}

void ClampValue(ItemObject& item) {
  if (item.value < item.minimum) item.value = item.minimum;
  if (item.value > item.maximum) item.value = item.maximum;
}

void HOSTCALL SetNotifyProc(ItemHandle item, ADMItemNotifyProc proc) {
  if (ItemObject* live = EnterItem("SetNotifyProc", item,
                                   [proc] { return std::string(proc != nullptr ? ", proc" : ", null"); })) {
    live->notify = proc;
  }
}

void HOSTCALL DefaultNotify(ItemHandle item, NotifierHandle notifier) {
  Host* host = Host::Current();
  if (host == nullptr) return;
  host->journal().Enter(
      kADMItemSuite, "DefaultNotify", [&] { return ItemText(*host, item); }, /*returnsCode=*/false);
  // Only inside a notification of the item: the toolkit acts on what it sent.
  if (!host->dialogs().IsLive(item) || !host->dialogs().IsLive(notifier)) return;
  host->dialogs().DefaultNotify(item);
}

DialogHandle HOSTCALL GetDialog(ItemHandle item) {
  ItemObject* live = EnterItem("GetDialog", item);
  return live != nullptr ? live->dialog : nullptr;
}

void HOSTCALL SetText(ItemHandle item, const char* text) {
  ItemObject* live = EnterItem("SetText", item, [text] {
    return text != nullptr ? ", \"" + std::string(text) + "\"" : std::string(", null");
  });
  // Without memory for the new text the item keeps its old one.
  if (live != nullptr && text != nullptr) NothingOnOutOfMemory([&] { live->text = text; });
}

void HOSTCALL SetBooleanValue(ItemHandle item, HostBoolean value) {
  if (ItemObject* live = EnterItem("SetBooleanValue", item, ValueText(value))) {
    live->boolean = value != 0 ? 1 : 0;
  }
}

HostBoolean HOSTCALL GetBooleanValue(ItemHandle item) {
  ItemObject* live = EnterItem("GetBooleanValue", item);
  return live != nullptr ? live->boolean : 0;
}

void HOSTCALL SetIntValue(ItemHandle item, int32_t value) {
  if (ItemObject* live = EnterItem("SetIntValue", item, ValueText(value))) {
    live->value = value;
    ClampValue(*live);
  }
}

int32_t HOSTCALL GetIntValue(ItemHandle item) {
  ItemObject* live = EnterItem("GetIntValue", item);
  return live != nullptr ? live->value : 0;
}

// New bounds move the other bound when they would cross it, and the value
// into them.
void HOSTCALL SetMinIntValue(ItemHandle item, int32_t value) {
  if (ItemObject* live = EnterItem("SetMinIntValue", item, ValueText(value))) {
    live->minimum = value;
    if (live->maximum < value) live->maximum = value;
    ClampValue(*live);
  }
}

void HOSTCALL SetMaxIntValue(ItemHandle item, int32_t value) {
  if (ItemObject* live = EnterItem("SetMaxIntValue", item, ValueText(value))) {
    live->maximum = value;
    if (live->minimum > value) live->minimum = value;
    ClampValue(*live);
  }
}

}  // namespace

const ADMItemSuite& ADMItemSuiteTable() {
  static const ADMItemSuite table = {SetNotifyProc,   DefaultNotify,   GetDialog,   SetText,
                                     SetBooleanValue, GetBooleanValue, SetIntValue, GetIntValue,
                                     SetMinIntValue,  SetMaxIntValue};
  return table;
}

}  // namespace standin
