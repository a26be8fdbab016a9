// "ADM Dialog Suite": creating dialogs from the plug-in's templates, the modal
// loop and the dialogs' items. Every call is journaled. Create returns a
// handle rather than a code, so a code injected for it means "no dialog": it
// returns null and runs no init procedure. An unknown or destroyed dialog is
// ignored, and operations that return a value give 0 or null for it. Without
// memory for a dialog, Create gives null, and a modal loop that runs out
// ends as if closed (0).
#include <string>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/resource_table.h"
#include "standin/dialogs/dialog_toolkit.h"

namespace standin {

namespace {

std::string Quoted(const char* text) { return text == nullptr ? "null" : std::string("\"") + text + "\""; }

// Builds the dialog and runs its init procedure. Null when the plug-in is
// not the one the host loaded, there is no template `resourceID`, or the
// init procedure fails (the dialog is destroyed again then).
DialogHandle HOSTCALL Create(PluginRef self, const char* name, int32_t resourceID, int32_t style,
                             ADMDialogInitProc initProc, void* userData, int32_t options) {
  Host* host = Host::Current();
  if (host == nullptr) return nullptr;
  const auto args = [&] {
    return HandleText(self) + ", " + Quoted(name) + ", " + std::to_string(resourceID) + ", " +
           std::to_string(style) + ", " + HandleText(userData) + ", " + std::to_string(options);
  };
  if (host->journal().Enter(kADMDialogSuite, "Create", args) != kHostNoError) return nullptr;
  if (self != host->self()) return nullptr;
  const DialogTemplate* dialogTemplate = host->resources().FindDialog(resourceID);
  if (dialogTemplate == nullptr) return nullptr;
  DialogToolkit& toolkit = host->dialogs();
  DialogObject* dialog = ValueOnOutOfMemory(static_cast<DialogObject*>(nullptr), [&] {
    return toolkit.Build(*dialogTemplate, self, name, userData);
  });
  if (dialog == nullptr) return nullptr;
  if (initProc != nullptr && initProc(dialog) != kHostNoError) {
    toolkit.Destroy(dialog);
    return nullptr;
  }
  return dialog;
}

int32_t HOSTCALL DisplayAsModal(DialogHandle dialog) {
  Host* host = Host::Current();
  if (host == nullptr) return 0;
  host->journal().Enter(
      kADMDialogSuite, "DisplayAsModal", [dialog] { return HandleText(dialog); }, /*returnsCode=*/false);
  DialogToolkit& toolkit = host->dialogs();
  if (!toolkit.IsLive(dialog)) return 0;
  return ValueOnOutOfMemory(int32_t{0}, [&] { return toolkit.RunModal(dialog); });
}

void HOSTCALL Destroy(DialogHandle dialog) {
  Host* host = Host::Current();
  if (host == nullptr) return;
  host->journal().Enter(
      kADMDialogSuite, "Destroy", [dialog] { return HandleText(dialog); }, /*returnsCode=*/false);
  host->dialogs().Destroy(dialog);
}

void* HOSTCALL GetUserData(DialogHandle dialog) {
  Host* host = Host::Current();
  if (host == nullptr) return nullptr;
  host->journal().Enter(
      kADMDialogSuite, "GetUserData", [dialog] { return HandleText(dialog); }, /*returnsCode=*/false);
  return host->dialogs().IsLive(dialog) ? dialog->userData : nullptr;
}

ItemHandle HOSTCALL GetItem(DialogHandle dialog, int32_t itemID) {
  Host* host = Host::Current();
  if (host == nullptr) return nullptr;
  host->journal().Enter(
      kADMDialogSuite, "GetItem", [&] { return HandleText(dialog) + ", " + std::to_string(itemID); },
      /*returnsCode=*/false);
  return host->dialogs().IsLive(dialog) ? dialog->Find(itemID) : nullptr;
}

}  // namespace

const ADMDialogSuite& ADMDialogSuiteTable() {
  static const ADMDialogSuite table = {Create, DisplayAsModal, Destroy, GetUserData, GetItem};
  return table;
}

}  // namespace standin
