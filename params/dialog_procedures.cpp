#include "params/dialog_procedures.h"

#include <new>

#include "params/effect_parameters.h"
#include "params/number_text.h"
#include "plugin/ai_error.h"
#include "plugin/exception_barrier.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"

namespace {

// The Edit-Parameters message being served, or null outside the handler.
LiveEffectEditParamMessage* ServedMessage() { return gGlobals != nullptr ? gGlobals->editMessage : nullptr; }

// Writes `rate` into the served message's dictionary and asks the host to
// execute the effect with it; the update's result is dropped. May throw
// ai::Error from the write, before the update.
void PreviewRate(HostReal rate) {
  LiveEffectEditParamMessage* message = ServedMessage();
  if (message == nullptr) return;
  WriteParameters(message->parameters, rate);
  (void)sLiveEffect->UpdateParameters(message->context);
}

// The handler's dialog value, through the dialog's user data; null when the
// dialog has none.
HostReal* DialogValue(DialogHandle dialog) { return static_cast<HostReal*>(sADMDialog->GetUserData(dialog)); }

HostError SetUpDialog(DialogHandle dialog) {
  const HostReal* value = DialogValue(dialog);
  if (value == nullptr) return kHostErrBadParameter;
  const HostReal v = *value;

  // The slider. (The host's toolkit takes one further setting here that
  // nothing the plug-in does depends on; this toolkit has no such setting.)
  const ItemHandle slider = sADMDialog->GetItem(dialog, kViscositySlider);
  sADMItem->SetNotifyProc(slider, NotifySlider);
  sADMItem->SetMinIntValue(slider, kRateMinimum);
  sADMItem->SetMaxIntValue(slider, kRateMaximum);
  const int32_t n = TruncateRate(v);
  sADMItem->SetIntValue(slider, n);

  // The value text shows n as it is, "0" included.
  char text[kNumberTextSize];
  FormatDecimal(n, text);
  sADMItem->SetText(sADMDialog->GetItem(dialog, kValueText), text);

  const ItemHandle preview = sADMDialog->GetItem(dialog, kPreviewCheckBox);
  sADMItem->SetBooleanValue(preview, 1);
  sADMItem->SetNotifyProc(preview, NotifyPreview);

  sADMItem->SetNotifyProc(sADMDialog->GetItem(dialog, kOkButton), NotifyOk);
  sADMItem->SetNotifyProc(sADMDialog->GetItem(dialog, kCancelButton), NotifyCancel);

  // The first preview, with the value as stored, not rounded to the slider.
  PreviewRate(v);
  return kHostNoError;
}

void RespondToSlider(ItemHandle slider, NotifierHandle notifier) {
  if (!sADMNotifier->IsNotifierType(notifier, kADMIntermediateChangedNotifier) &&
      !sADMNotifier->IsNotifierType(notifier, kADMUserChangedNotifier)) {
    return;
  }
  const DialogHandle dialog = sADMItem->GetDialog(slider);
  const int32_t n = sADMItem->GetIntValue(slider);
  SetNumberText(dialog, n, kValueText, false);
  // Only a completed change is executed, and only while the preview is on.
  if (sADMNotifier->IsNotifierType(notifier, kADMUserChangedNotifier) &&
      sADMItem->GetBooleanValue(sADMDialog->GetItem(dialog, kPreviewCheckBox)) != 0) {
    PreviewRate(static_cast<HostReal>(n));
  }
}

void RespondToPreview(ItemHandle preview, NotifierHandle notifier) {
  const DialogHandle dialog = sADMItem->GetDialog(preview);
  if (sADMItem->GetBooleanValue(preview) != 0) {
    SetNumberText(dialog, 0, kOpeningValueText, false);
    RespondToSlider(sADMDialog->GetItem(dialog, kViscositySlider), notifier);
    return;
  }
  // Back to the look before the dialog opened: the stored rate, or 0.0 (no
  // effect) for an application that had none.
  const HostReal openingRate = gGlobals != nullptr ? gGlobals->openingRate : 0.0f;
  if (openingRate > 0.0f) SetNumberText(dialog, TruncateRate(openingRate), kOpeningValueText, true);
  PreviewRate(openingRate);
}

void AcceptSliderValue(ItemHandle button, NotifierHandle notifier) {
  const DialogHandle dialog = sADMItem->GetDialog(button);
  const int32_t n = sADMItem->GetIntValue(sADMDialog->GetItem(dialog, kViscositySlider));
  if (HostReal* value = DialogValue(dialog)) *value = static_cast<HostReal>(n);
  sADMItem->DefaultNotify(button, notifier);
}

}  // namespace

HostError HOSTCALL InitEditDialog(DialogHandle dialog) {
  return ReturnCodeInsteadOfThrowing([dialog] { return SetUpDialog(dialog); });
}

// The notify procedures drop what they catch: a notification has no result.

void HOSTCALL NotifySlider(ItemHandle item, NotifierHandle notifier) {
  try {
    RespondToSlider(item, notifier);
  } catch (...) {
  }
}

void HOSTCALL NotifyPreview(ItemHandle item, NotifierHandle notifier) {
  try {
    RespondToPreview(item, notifier);
  } catch (...) {
  }
}

void HOSTCALL NotifyOk(ItemHandle item, NotifierHandle notifier) {
  try {
    AcceptSliderValue(item, notifier);
  } catch (...) {
  }
}

void HOSTCALL NotifyCancel(ItemHandle item, NotifierHandle notifier) {
  sADMItem->DefaultNotify(item, notifier);
}
