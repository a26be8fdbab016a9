// "AI Dictionary Suite": typed entries under interned keys. An effect's
// parameters live in one dictionary that the host keeps with the document.
#pragma once

#include "host_types.h"

#define kDictionarySuite "AI Dictionary Suite"
enum { kDictionarySuiteVersion = 6 };

typedef struct DictionarySuite {
  // The key for `name`; the same name always gives the same key. Keys live as
  // long as the host.
  DictKey(HOSTCALL* Key)(const char* name);
  // True when the dictionary holds an entry under `key`, of any type.
  HostBoolean(HOSTCALL* IsKnown)(DictionaryHandle dictionary, DictKey key);
  // Removes the entry under `key`, if any.
  HostError(HOSTCALL* DeleteEntry)(DictionaryHandle dictionary, DictKey key);
  // Reads a real entry into *value. kHostErrWrongType, *value untouched, when
  // the entry is missing or of another type.
  HostError(HOSTCALL* GetRealEntry)(DictionaryHandle dictionary, DictKey key, HostReal* value);
  // Adds or replaces the entry with a real.
  HostError(HOSTCALL* SetRealEntry)(DictionaryHandle dictionary, DictKey key, HostReal value);
  HostError(HOSTCALL* GetIntegerEntry)(DictionaryHandle dictionary, DictKey key, int32_t* value);
  HostError(HOSTCALL* SetIntegerEntry)(DictionaryHandle dictionary, DictKey key, int32_t value);
  HostError(HOSTCALL* GetBooleanEntry)(DictionaryHandle dictionary, DictKey key, HostBoolean* value);
  HostError(HOSTCALL* SetBooleanEntry)(DictionaryHandle dictionary, DictKey key, HostBoolean value);
  // Reads a Unicode string entry into *value, a new string the caller disposes of.
  HostError(HOSTCALL* GetUnicodeStringEntry)(DictionaryHandle dictionary, DictKey key,
                                            UnicodeStringHandle* value);
  // Adds or replaces the entry with a copy of `value`; the caller keeps `value`.
  HostError(HOSTCALL* SetUnicodeStringEntry)(DictionaryHandle dictionary, DictKey key,
                                            UnicodeStringHandle value);
} DictionarySuite;
