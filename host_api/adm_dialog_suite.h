// "ADM Dialog Suite": modal dialogs built from the plug-in's dialog template.
#pragma once

#include "host_types.h"

#define kADMDialogSuite "ADM Dialog Suite"
enum { kADMDialogSuiteVersion = 10 };

// Called once with the new dialog, inside Create, before any modal loop.
typedef HostError(HOSTCALL* ADMDialogInitProc)(DialogHandle dialog);

typedef struct ADMDialogSuite {
  // Builds dialog `resourceID` from the plug-in's resources, runs `initProc`
  // on it and returns it, or null when it cannot be built. `userData` is kept
  // for GetUserData.
  DialogHandle(HOSTCALL* Create)(PluginRef self, const char* name, int32_t resourceID, int32_t style,
                                 ADMDialogInitProc initProc, void* userData, int32_t options);
  // Runs the modal loop until a button's DefaultNotify ends it; returns that
  // button's item ID (2 when the window is closed otherwise).
  int32_t(HOSTCALL* DisplayAsModal)(DialogHandle dialog);
  // Destroys the dialog and its items; their handles become invalid.
  void(HOSTCALL* Destroy)(DialogHandle dialog);
  // The user data given to Create.
  void*(HOSTCALL* GetUserData)(DialogHandle dialog);
  // The item with `itemID`, or null.
  ItemHandle(HOSTCALL* GetItem)(DialogHandle dialog, int32_t itemID);
} ADMDialogSuite;
