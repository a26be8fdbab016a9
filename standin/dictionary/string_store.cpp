#include "standin/dictionary/string_store.h"

#include <utility>

#include "standin/dictionary/windows_1252.h"
#include "standin/journal/handle_serials.h"

namespace standin {

namespace {
// Handles are numbers from here on in steps of 8: aligned like real pointers,
// recognisable in a trace, and never handed out twice.
constexpr std::uintptr_t kFirstStringId = 0x57200000u;
}  // namespace

HostError StringStore::MakeFromBytes(const char* bytes, int32_t length, int32_t encoding,
                                     UnicodeStringHandle* string) {
  if (string == nullptr || length < 0 || (bytes == nullptr && length != 0)) return kHostErrBadParameter;
  if (encoding != kPlatformEncoding) return kHostErrBadParameter;
  *string = Make(Windows1252ToUtf8(bytes, static_cast<std::size_t>(length)));
  return kHostNoError;
}

HostError StringStore::Copy(UnicodeStringHandle source, UnicodeStringHandle* string) {
  const std::string* text = Text(source);
  if (text == nullptr || string == nullptr) return kHostErrBadParameter;
  *string = Make(*text);
  return kHostNoError;
}

UnicodeStringHandle StringStore::Make(std::string utf8) {
  const std::uintptr_t id = kFirstStringId + 8 * nextId_++;
  strings_.emplace(id, std::move(utf8));
  ++made_;
  NoteNewHandle(reinterpret_cast<const void*>(id));
  return reinterpret_cast<UnicodeStringHandle>(id);
}

bool StringStore::Dispose(UnicodeStringHandle string) {
  if (strings_.erase(Id(string)) == 0) {
    ++badDisposes_;
    return false;
  }
  return true;
}

const std::string* StringStore::Text(UnicodeStringHandle string) const {
  auto it = strings_.find(Id(string));
  return it == strings_.end() ? nullptr : &it->second;
}

}  // namespace standin
