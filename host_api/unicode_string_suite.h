// "AI Unicode String Suite": host-owned Unicode strings.
#pragma once

#include "host_types.h"

#define kUnicodeStringSuite "AI Unicode String Suite"
enum { kUnicodeStringSuiteVersion = 6 };

// Encodings of MakeFromBytes.
enum { kPlatformEncoding = 0 };  // the platform's 8-bit code page (Windows-1252)

typedef struct UnicodeStringSuite {
  // Makes a new string from `length` bytes of `bytes` in `encoding` and
  // stores it in *string. The caller disposes of it.
  HostError(HOSTCALL* MakeFromBytes)(UnicodeStringHandle* string, const char* bytes, int32_t length,
                                    int32_t encoding);
  // Makes a new string equal to `source` and stores it in *string.
  HostError(HOSTCALL* Copy)(UnicodeStringHandle* string, UnicodeStringHandle source);
  // Disposes of a string; the handle becomes invalid.
  void(HOSTCALL* Dispose)(UnicodeStringHandle string);
} UnicodeStringSuite;
