// Host Unicode strings ("AI Unicode String Suite" version 6), kept as UTF-8,
// with live-string accounting so that a leak or a double dispose is caught.
//
// The store owns every string. A handle is an opaque number that is never
// reused, so a handle that was disposed of stays unknown for good and a second
// dispose of it is caught rather than hitting a newer string.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host_api/host_api.h"

namespace standin {

class Host;

class StringStore {
 public:
  // Makes a string from `length` bytes of `bytes` in `encoding` into *string.
  // Only kPlatformEncoding (Windows-1252) is known. kHostErrBadParameter, and
  // *string untouched, for another encoding, a null out-pointer, a negative
  // length or null bytes with a non-zero length.
  HostError MakeFromBytes(const char* bytes, int32_t length, int32_t encoding, UnicodeStringHandle* string);
  // Makes a string equal to `source` into *string. kHostErrBadParameter for a
  // source that is not a live string or a null out-pointer.
  HostError Copy(UnicodeStringHandle source, UnicodeStringHandle* string);
  // Makes a live string holding `utf8`, for host operations that hand a new
  // string to the plug-in; the receiver disposes of it.
  UnicodeStringHandle Make(std::string utf8);
  // Disposes of a live string and returns true. A handle that is not live
  // (never made, or already disposed of) changes nothing, is counted as a bad
  // dispose and gives false.
  bool Dispose(UnicodeStringHandle string);

  bool IsLive(UnicodeStringHandle string) const { return strings_.count(Id(string)) != 0; }
  // The UTF-8 text of a live string, or null. For the stand-in and tests only;
  // the plug-in has no way to read a string back.
  const std::string* Text(UnicodeStringHandle string) const;

  // Strings made and not yet disposed of.
  int Live() const { return static_cast<int>(strings_.size()); }
  // Disposes of handles that were not live.
  int BadDisposes() const { return badDisposes_; }
  // Strings made since the store was created.
  int Made() const { return made_; }

 private:
  static std::uintptr_t Id(UnicodeStringHandle string) { return reinterpret_cast<std::uintptr_t>(string); }

  std::map<std::uintptr_t, std::string> strings_;
  std::uintptr_t nextId_ = 0;
  int badDisposes_ = 0;
  int made_ = 0;
};

// Registers "AI Unicode String Suite".
void RegisterUnicodeStringSuite(Host& host);

}  // namespace standin
