#include "standin/dictionary/dictionary_store.h"

#include <algorithm>
#include <new>

#include "standin/journal/handle_serials.h"

namespace standin {

namespace {
// Handles are numbers from these bases on in steps of 8: aligned like real
// pointers, recognisable in a trace, and never handed out twice.
constexpr std::uintptr_t kFirstDictionaryId = 0x5D100000u;
constexpr std::uintptr_t kFirstKeyId = 0x5E400000u;
}  // namespace

DictEntry DictEntry::Real(HostReal value) {
  DictEntry e;
  e.type = Type::kReal;
  e.real = value;
  return e;
}

DictEntry DictEntry::Integer(int32_t value) {
  DictEntry e;
  e.type = Type::kInteger;
  e.integer = value;
  return e;
}

DictEntry DictEntry::Boolean(bool value) {
  DictEntry e;
  e.type = Type::kBoolean;
  e.boolean = value;
  return e;
}

DictEntry DictEntry::String(std::string utf8) {
  DictEntry e;
  e.type = Type::kString;
  e.text = std::move(utf8);
  return e;
}

DictionaryHandle DictionaryStore::Create() {
  const std::uintptr_t id = kFirstDictionaryId + 8 * nextDictionary_++;
  dictionaries_.emplace(id, EntryList{});
  NoteNewHandle(reinterpret_cast<const void*>(id));
  return reinterpret_cast<DictionaryHandle>(id);
}

bool DictionaryStore::Dispose(DictionaryHandle dictionary) {
  return dictionaries_.erase(Id(dictionary)) != 0;
}

DictKey DictionaryStore::Key(const std::string& name) {
  auto it = keys_.find(name);
  if (it != keys_.end()) return it->second;
  const DictKey key = reinterpret_cast<DictKey>(kFirstKeyId + 8 * keyNames_.size());
  keyNames_.push_back(name);
  try {
    keys_.emplace(name, key);
  } catch (const std::bad_alloc&) {
    keyNames_.pop_back();  // no key was made
    throw;
  }
  NoteNewHandle(key);
  return key;
}

const std::string* DictionaryStore::KeyName(DictKey key) const {
  const std::uintptr_t id = Id(key);
  if (id < kFirstKeyId || (id - kFirstKeyId) % 8 != 0) return nullptr;
  const std::uintptr_t index = (id - kFirstKeyId) / 8;
  return index < keyNames_.size() ? &keyNames_[index] : nullptr;
}

DictionaryStore::EntryList* DictionaryStore::Lookup(DictionaryHandle dictionary) {
  auto it = dictionaries_.find(Id(dictionary));
  return it == dictionaries_.end() ? nullptr : &it->second;
}

const DictionaryStore::EntryList* DictionaryStore::Lookup(DictionaryHandle dictionary) const {
  auto it = dictionaries_.find(Id(dictionary));
  return it == dictionaries_.end() ? nullptr : &it->second;
}

const DictEntry* DictionaryStore::Find(DictionaryHandle dictionary, const std::string& key) const {
  const EntryList* entries = Lookup(dictionary);
  if (entries == nullptr) return nullptr;
  for (const auto& entry : *entries) {
    if (entry.first == key) return &entry.second;
  }
  return nullptr;
}

bool DictionaryStore::Set(DictionaryHandle dictionary, const std::string& key, DictEntry value) {
  EntryList* entries = Lookup(dictionary);
  if (entries == nullptr) return false;
  for (auto& entry : *entries) {
    if (entry.first == key) {
      entry.second = std::move(value);
      return true;
    }
  }
  entries->emplace_back(key, std::move(value));
  return true;
}

bool DictionaryStore::Erase(DictionaryHandle dictionary, const std::string& key) {
  EntryList* entries = Lookup(dictionary);
  if (entries == nullptr) return false;
  entries->erase(
      std::remove_if(entries->begin(), entries->end(), [&](const auto& e) { return e.first == key; }),
      entries->end());
  return true;
}

std::vector<std::pair<std::string, DictEntry>> DictionaryStore::Entries(DictionaryHandle dictionary) const {
  const EntryList* entries = Lookup(dictionary);
  return entries == nullptr ? EntryList{} : *entries;
}

}  // namespace standin
