// "ADM Item Suite": the controls of a dialog.
#pragma once

#include "host_types.h"

#define kADMItemSuite "ADM Item Suite"
enum { kADMItemSuiteVersion = 7 };

// Called for each notification of an item.
typedef void(HOSTCALL* ADMItemNotifyProc)(ItemHandle item, NotifierHandle notifier);

typedef struct ADMItemSuite {
  // Replaces the item's notify procedure.
  void(HOSTCALL* SetNotifyProc)(ItemHandle item, ADMItemNotifyProc proc);
  // The toolkit's own handling of the notification: on a push button it ends
  // the modal loop with the button's ID.
  void(HOSTCALL* DefaultNotify)(ItemHandle item, NotifierHandle notifier);
  // The dialog that holds the item.
  DialogHandle(HOSTCALL* GetDialog)(ItemHandle item);
  // Replaces the item's text with a copy of `text`.
  void(HOSTCALL* SetText)(ItemHandle item, const char* text);
  // The check state of a check box.
  void(HOSTCALL* SetBooleanValue)(ItemHandle item, HostBoolean value);
  HostBoolean(HOSTCALL* GetBooleanValue)(ItemHandle item);
  // The position of a slider, kept within its bounds.
  void(HOSTCALL* SetIntValue)(ItemHandle item, int32_t value);
  int32_t(HOSTCALL* GetIntValue)(ItemHandle item);
  // The bounds of a slider.
  void(HOSTCALL* SetMinIntValue)(ItemHandle item, int32_t value);
  void(HOSTCALL* SetMaxIntValue)(ItemHandle item, int32_t value);
} ADMItemSuite;
