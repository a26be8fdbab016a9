// "AI Dictionary Suite" version 6 over the host's DictionaryStore. Each
// function records the call in the journal first; those that return a code
// then return an injected one without doing anything else. An unknown
// dictionary, key or string handle, or a null out-pointer, gives
// kHostErrBadParameter; a missing entry or one of another type gives
// kHostErrWrongType with the out-value untouched. Without memory for a new
// entry, key or string a call gives kHostErrOutOfMemory (Key: null) and the
// dictionary stays as it was.
#include <cstdio>
#include <string>
#include <utility>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/suite_registry.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/dictionary/string_store.h"

namespace standin {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "#dictionary, "key"" for the journal; an unknown key shows as its handle.
std::string EntryText(Host& host, DictionaryHandle dictionary, DictKey key) {
  const std::string* name = host.dictionaries().KeyName(key);
  return HandleText(dictionary) + ", " + (name != nullptr ? Quoted(*name) : HandleText(key));
}

std::string RealText(HostReal value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

// The entry's key name when both handles are known, else null.
const std::string* KnownEntry(Host& host, DictionaryHandle dictionary, DictKey key) {
  if (!host.dictionaries().IsLive(dictionary)) return nullptr;
  return host.dictionaries().KeyName(key);
}

// One Get*Entry operation: records the call as `op`, finds the entry under
// `key` and, when it has type `type`, stores take(host, entry) in *value.
template <typename Value, typename Take>
HostError GetEntry(const char* op, DictionaryHandle dictionary, DictKey key, Value* value,
                   DictEntry::Type type, Take take) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kDictionarySuite, op, [&] { return EntryText(*host, dictionary, key); }))
    return e;
  const std::string* name = KnownEntry(*host, dictionary, key);
  if (name == nullptr || value == nullptr) return kHostErrBadParameter;
  const DictEntry* entry = host->dictionaries().Find(dictionary, *name);
  if (entry == nullptr || entry->type != type) return kHostErrWrongType;
  return CodeOnOutOfMemory([&] {
    *value = take(*host, *entry);
    return HostError{kHostNoError};
  });
}

// Adds or replaces the entry; without memory for it the dictionary stays as
// it was.
HostError WriteEntry(Host& host, DictionaryHandle dictionary, DictKey key, DictEntry entry) {
  const std::string* name = KnownEntry(host, dictionary, key);
  if (name == nullptr) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] {
    host.dictionaries().Set(dictionary, *name, std::move(entry));
    return HostError{kHostNoError};
  });
}

// One Set*Entry operation for a plain value: records the call as `op` with
// `valueText()`, then adds or replaces the entry.
template <typename ValueText>
HostError SetEntry(const char* op, DictionaryHandle dictionary, DictKey key, ValueText valueText,
                   DictEntry entry) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] { return EntryText(*host, dictionary, key) + ", " + valueText(); };
  if (HostError e = host->journal().Enter(kDictionarySuite, op, args)) return e;
  return WriteEntry(*host, dictionary, key, std::move(entry));
}

DictKey HOSTCALL Key(const char* name) {
  Host* host = Host::Current();
  if (host == nullptr) return nullptr;
  host->journal().Enter(
      kDictionarySuite, "Key", [&] { return name != nullptr ? Quoted(name) : std::string("null"); },
      /*returnsCode=*/false);
  // Without memory for a new key there is none: null, which every other
  // call refuses.
  return ValueOnOutOfMemory(DictKey{nullptr},
                            [&] { return name != nullptr ? host->dictionaries().Key(name) : nullptr; });
}

HostBoolean HOSTCALL IsKnown(DictionaryHandle dictionary, DictKey key) {
  Host* host = Host::Current();
  if (host == nullptr) return 0;
  host->journal().Enter(
      kDictionarySuite, "IsKnown", [&] { return EntryText(*host, dictionary, key); },
      /*returnsCode=*/false);
  const std::string* name = KnownEntry(*host, dictionary, key);
  return name != nullptr && host->dictionaries().Find(dictionary, *name) != nullptr;
}

HostError HOSTCALL DeleteEntry(DictionaryHandle dictionary, DictKey key) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kDictionarySuite, "DeleteEntry",
                                          [&] { return EntryText(*host, dictionary, key); }))
    return e;
  const std::string* name = KnownEntry(*host, dictionary, key);
  if (name == nullptr) return kHostErrBadParameter;
  host->dictionaries().Erase(dictionary, *name);
  return kHostNoError;
}

HostError HOSTCALL GetRealEntry(DictionaryHandle dictionary, DictKey key, HostReal* value) {
  return GetEntry("GetRealEntry", dictionary, key, value, DictEntry::Type::kReal,
                  [](Host&, const DictEntry& entry) { return entry.real; });
}

HostError HOSTCALL SetRealEntry(DictionaryHandle dictionary, DictKey key, HostReal value) {
  return SetEntry(
      "SetRealEntry", dictionary, key, [value] { return RealText(value); }, DictEntry::Real(value));
}

HostError HOSTCALL GetIntegerEntry(DictionaryHandle dictionary, DictKey key, int32_t* value) {
  return GetEntry("GetIntegerEntry", dictionary, key, value, DictEntry::Type::kInteger,
                  [](Host&, const DictEntry& entry) { return entry.integer; });
}

HostError HOSTCALL SetIntegerEntry(DictionaryHandle dictionary, DictKey key, int32_t value) {
  return SetEntry(
      "SetIntegerEntry", dictionary, key, [value] { return std::to_string(value); },
      DictEntry::Integer(value));
}

HostError HOSTCALL GetBooleanEntry(DictionaryHandle dictionary, DictKey key, HostBoolean* value) {
  return GetEntry("GetBooleanEntry", dictionary, key, value, DictEntry::Type::kBoolean,
                  [](Host&, const DictEntry& entry) { return HostBoolean{entry.boolean ? 1 : 0}; });
}

HostError HOSTCALL SetBooleanEntry(DictionaryHandle dictionary, DictKey key, HostBoolean value) {
  return SetEntry(
      "SetBooleanEntry", dictionary, key, [value] { return std::to_string(value); },
      DictEntry::Boolean(value != 0));
}

// The caller disposes of the new string.
HostError HOSTCALL GetUnicodeStringEntry(DictionaryHandle dictionary, DictKey key,
                                         UnicodeStringHandle* value) {
  return GetEntry("GetUnicodeStringEntry", dictionary, key, value, DictEntry::Type::kString,
                  [](Host& host, const DictEntry& entry) { return host.strings().Make(entry.text); });
}

HostError HOSTCALL SetUnicodeStringEntry(DictionaryHandle dictionary, DictKey key,
                                         UnicodeStringHandle value) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] { return EntryText(*host, dictionary, key) + ", " + HandleText(value); };
  if (HostError e = host->journal().Enter(kDictionarySuite, "SetUnicodeStringEntry", args)) return e;
  // The dictionary keeps a copy of the text; the caller keeps its string.
  const std::string* text = host->strings().Text(value);
  if (text == nullptr) return kHostErrBadParameter;
  return CodeOnOutOfMemory([&] { return WriteEntry(*host, dictionary, key, DictEntry::String(*text)); });
}

const DictionarySuite kDictionarySuiteTable = {
    Key,
    IsKnown,
    DeleteEntry,
    GetRealEntry,
    SetRealEntry,
    GetIntegerEntry,
    SetIntegerEntry,
    GetBooleanEntry,
    SetBooleanEntry,
    GetUnicodeStringEntry,
    SetUnicodeStringEntry,
};

}  // namespace

void RegisterDictionarySuite(Host& host) {
  host.suites().Add(kDictionarySuite, kDictionarySuiteVersion, &kDictionarySuiteTable);
}

}  // namespace standin
