// Parameter dictionaries ("AI Dictionary Suite" version 6): interned keys and typed entries.
//
// The store owns every dictionary; the host creates them (an effect's
// parameter dictionary, a test's fixture) and the plug-in reaches them through
// handles. Keys are interned: the same name always gives the same key, and
// keys live as long as the store. Handles of both kinds are opaque numbers
// that are never reused, so a stale one is recognised as unknown.
//
// A string entry is kept as UTF-8 text inside the dictionary; it is not a host
// string and does not count among the live strings. Reading one out makes a
// new host string that the reader disposes of.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host_api/host_api.h"

namespace standin {

class Host;

// The value of one dictionary entry.
struct DictEntry {
  enum class Type { kReal, kInteger, kBoolean, kString };
  Type type = Type::kReal;
  HostReal real = 0.0f;
  int32_t integer = 0;
  bool boolean = false;
  std::string text;  // UTF-8

  static DictEntry Real(HostReal value);
  static DictEntry Integer(int32_t value);
  static DictEntry Boolean(bool value);
  static DictEntry String(std::string utf8);
};

class DictionaryStore {
 public:
  // A new empty dictionary.
  DictionaryHandle Create();
  // Removes a dictionary and its entries; false for an unknown handle.
  bool Dispose(DictionaryHandle dictionary);
  bool IsLive(DictionaryHandle dictionary) const { return dictionaries_.count(Id(dictionary)) != 0; }
  int Live() const { return static_cast<int>(dictionaries_.size()); }

  // The key for `name`, made on first use. Throws std::bad_alloc when there
  // is no memory for a new key, and then makes none.
  DictKey Key(const std::string& name);
  // The name of a key this store made, or null for any other handle.
  const std::string* KeyName(DictKey key) const;

  // The entry under `key`, or null when there is none or the dictionary is
  // unknown. The pointer is valid until the dictionary next changes.
  const DictEntry* Find(DictionaryHandle dictionary, const std::string& key) const;
  // Adds the entry, or replaces the value of the one under `key` in its place.
  // False for an unknown dictionary. Throws std::bad_alloc when there is no
  // memory for a new entry, and then leaves the dictionary as it was.
  bool Set(DictionaryHandle dictionary, const std::string& key, DictEntry entry);
  // Removes the entry under `key` if there is one. False for an unknown
  // dictionary.
  bool Erase(DictionaryHandle dictionary, const std::string& key);
  // The entries in the order they were first added; empty for an unknown
  // dictionary.
  std::vector<std::pair<std::string, DictEntry>> Entries(DictionaryHandle dictionary) const;

 private:
  using EntryList = std::vector<std::pair<std::string, DictEntry>>;
  static std::uintptr_t Id(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }
  EntryList* Lookup(DictionaryHandle dictionary);
  const EntryList* Lookup(DictionaryHandle dictionary) const;

  std::map<std::uintptr_t, EntryList> dictionaries_;
  std::uintptr_t nextDictionary_ = 0;
  std::map<std::string, DictKey> keys_;
  std::vector<std::string> keyNames_;  // by key number
};

// Registers "AI Dictionary Suite".
void RegisterDictionarySuite(Host& host);

}  // namespace standin
