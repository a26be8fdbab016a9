// The Edit-Parameters dialog's procedures, which the host's dialog toolkit
// calls while the dialog is built and while its modal loop runs.
//
// The toolkit calls them with nothing but the dialog, or an item and a
// notifier, so they find the message being served (its parameter dictionary
// and parameter context) and the opening rate in the globals block, which the
// edit-parameters handler fills before it creates the dialog. They use the
// suites the handler holds. Outside a handler (no edit message) they write
// nothing and ask for no update.
//
// No exception leaves them: the parameter writer throws ai::Error when the
// host cannot make the display string; the init procedure returns its code,
// and the notify procedures drop it (they have no way to report it) and skip
// the update that would have followed the write.
#pragma once

#include "host_api/host_api.h"
#include "resources/resource_texts.h"

// The dialog's item IDs, as the dialog template gives them.
enum EditDialogItem {
  kOkButton = MORVELIN_ITEM_OK_ID,
  kCancelButton = MORVELIN_ITEM_CANCEL_ID,
  kValueText = MORVELIN_ITEM_VALUE_ID,
  kViscositySlider = MORVELIN_ITEM_SLIDER_ID,
  kPreviewCheckBox = MORVELIN_ITEM_PREVIEW_ID,
  kOpeningValueText = MORVELIN_ITEM_OPENING_ID,
};

// Init procedure: sets up the slider (bounds 1..100, the dialog value
// truncated), the value text, the ticked preview box and the notify
// procedures, then writes the dialog value unrounded and asks the host to
// execute the effect with it. The dialog's user data is the address of the
// handler's dialog value. Returns 0, or the code of an ai::Error (any other
// exception gives kPluginErrUnexpected, no user data kHostErrBadParameter).
HostError HOSTCALL InitEditDialog(DialogHandle dialog);

// Slider: every intermediate or user change shows the slider's value in the
// value text; a user change with the preview ticked also writes that value
// and executes the effect. Notifications of other types change nothing.
void HOSTCALL NotifySlider(ItemHandle item, NotifierHandle notifier);

// Preview check box, for any notification. Ticked: empties the opening-value
// text and answers as the slider does with the same notifier. Unticked:
// shows the opening rate in parentheses when it is above 0, and writes it and
// executes the effect with it whatever it is.
void HOSTCALL NotifyPreview(ItemHandle item, NotifierHandle notifier);

// OK button: stores the slider's value into the handler's dialog value, then
// lets the toolkit end the modal loop with the button's ID.
void HOSTCALL NotifyOk(ItemHandle item, NotifierHandle notifier);

// Cancel button: lets the toolkit end the modal loop with the button's ID.
void HOSTCALL NotifyCancel(ItemHandle item, NotifierHandle notifier);
