#include "params/edit_parameters.h"

#include "params/dialog_procedures.h"
#include "params/effect_parameters.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"
#include "resources/resource_texts.h"

namespace {

// The name the dialog is created under.
constexpr char kDialogName[] = "Morvelin";

// The last step of the handler, on every way out (an ai::Error from the
// final write included): the globals fields it owns are cleared and every
// suite is given back; the release's result cannot change the outcome.
class EditCleanup {
 public:
  explicit EditCleanup(SPBasicSuite* basic) : basic_(basic) {}
  ~EditCleanup() {
    gGlobals->inDialog = 0;
    gGlobals->editMessage = nullptr;
    gGlobals->context = nullptr;
    (void)ReleaseAllSuites(basic_);
  }
  EditCleanup(const EditCleanup&) = delete;
  EditCleanup& operator=(const EditCleanup&) = delete;

 private:
  SPBasicSuite* basic_;
};

// The rate the dialog starts at and the one unticking the preview restores:
// both the stored "rate", or 50.0 and 0.0 when there is none.
void ReadOpeningRate(DictionaryHandle parameters, HostReal* dialogValue, HostReal* openingRate) {
  HostReal stored = 0.0f;
  if (ReadStoredRate(parameters, &stored)) {
    *dialogValue = stored;
    *openingRate = stored;
  } else {
    *dialogValue = static_cast<HostReal>(kRateDefault);
    *openingRate = 0.0f;
  }
}

// Pops the context pushed for the dialog, when it is still pushed. Returns
// the pop's code; on success the globals no longer point at the handle.
HostError PopDialogContext() {
  if (gGlobals->context == nullptr) return kHostNoError;
  if (HostError error = sContext->PopAppContext(*gGlobals->context)) return error;
  gGlobals->context = nullptr;
  return kHostNoError;
}

// Asks the host to execute the effect once more after the dialog has gone.
// The host may do so at once, nested in this call; that go-live must use the
// suites this handler still holds, as the preview's did, because acquiring
// and releasing them itself would empty the shared slots, and this handler's
// own release would then give nothing back. So the in-dialog flag is set
// again for the length of the call. The update's result is dropped.
void UpdateWithHeldSuites(ParamContext context) {
  gGlobals->inDialog = 1;
  (void)sLiveEffect->UpdateParameters(context);
  gGlobals->inDialog = 0;
}

}  // namespace

HostError EditParameters(LiveEffectEditParamMessage* message) {
  const EditCleanup cleanup(message->d.basic);
  if (HostError error = AcquireAllSuites(message->d.basic)) return error;

  HostReal dialogValue = 0.0f;
  HostReal openingRate = 0.0f;
  ReadOpeningRate(message->parameters, &dialogValue, &openingRate);
  message->allowPreview = 1;

  // From here the dialog's procedures, and the go-live calls nested in the
  // dialog, find the message and know that the dialog holds the suites.
  gGlobals->editMessage = message;
  gGlobals->openingRate = openingRate;
  gGlobals->inDialog = 1;

  AppContextHandle context = nullptr;
  if (HostError error = sContext->PushAppContext(message->d.self, &context)) return error;
  gGlobals->context = &context;

  const DialogHandle dialog = sADMDialog->Create(message->d.self, kDialogName, MORVELIN_DIALOG_ID, 0,
                                                 InitEditDialog, &dialogValue, 0);
  if (dialog == nullptr) {
    // No dialog was shown: nothing is written back. The context goes; a
    // failed pop is the more specific report.
    gGlobals->inDialog = 0;
    if (HostError error = PopDialogContext()) return error;
    return kPluginErrNoDialog;
  }
  const int32_t itemID = sADMDialog->DisplayAsModal(dialog);
  sADMDialog->Destroy(dialog);
  gGlobals->inDialog = 0;
  const bool accepted = itemID == kOkButton;

  // A failed pop ends the edit with its code: no write-back, no cancel.
  if (HostError error = PopDialogContext()) return error;

  // Cancelled: the dictionary keeps whatever the preview wrote last.
  if (!accepted) return kHostErrCancelled;

  WriteParameters(message->parameters, dialogValue);
  UpdateWithHeldSuites(message->context);
  return kHostNoError;
}
