// "ADM Basic Suite": the plug-in's string resources and the About box.
#pragma once

#include <stddef.h>

#include "host_types.h"

#define kADMBasicSuite "ADM Basic Suite"
enum { kADMBasicSuiteVersion = 10 };

typedef void(HOSTCALL* ADMReservedProc)(void);

typedef struct ADMBasicSuite {
  // Copies string `index` of string list `listID` from the plug-in's
  // resources into buffer[0..maxLength-1], zero-terminated and cut to fit.
  // Index i is the string whose resource ID is listID + i. Returns 0, or an
  // error leaving the buffer untouched when there is no such string.
  HostError(HOSTCALL* GetIndexString)(PluginRef self, int32_t listID, int32_t index, char* buffer,
                                     int32_t maxLength);
  // Operations of the host's toolkit the plug-in does not call.
  ADMReservedProc reserved[46];
  // Shows the About box with `title` and `text`; returns when it is closed.
  // Function 47 of the table, counting from 0.
  void(HOSTCALL* AboutBox)(const char* title, const char* text);
} ADMBasicSuite;

static_assert(offsetof(ADMBasicSuite, AboutBox) == 47 * sizeof(void (*)(void)), "about box is function 47");
