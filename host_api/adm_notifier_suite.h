// "ADM Notifier Suite": what a notification is about.
#pragma once

#include "host_types.h"

#define kADMNotifierSuite "ADM Notifier Suite"
enum { kADMNotifierSuiteVersion = 2 };

// A value changes while the user still drags it.
#define kADMIntermediateChangedNotifier "ADM Intermediate Changed Notifier"
// The user completed a change (released the slider, clicked the control).
#define kADMUserChangedNotifier "ADM User Changed Notifier"

typedef struct ADMNotifierSuite {
  // True when the notification is of type `type`.
  HostBoolean(HOSTCALL* IsNotifierType)(NotifierHandle notifier, const char* type);
} ADMNotifierSuite;
