// HostUnicodeString: owns one host Unicode string ("AI Unicode String Suite"
// version 6, through the suite table's sUnicodeString slot).
//
// The one field is the handle, null when the object owns no string. Whoever
// holds a HostUnicodeString owns its handle: the destructor disposes of it.
// Other code may pass handle() to the host for the length of a call (a
// dictionary entry, a menu record); the host copies what it keeps.
#pragma once

#include "host_api/host_api.h"

class HostUnicodeString {
 public:
  // Makes a host string from the C string `text` in `encoding` (0, the
  // platform's 8-bit code page, is the one the plug-in uses). A null `text`
  // gives a string that owns nothing, without a host call. Throws ai::Error
  // with the host's code when the host cannot make the string.
  HostUnicodeString(const char* text, int32_t encoding);

  // Makes a new host string equal to `source`; each object then owns its own
  // handle. A source that owns nothing gives a copy that owns nothing, without
  // a host call. Throws ai::Error with the host's code on failure.
  HostUnicodeString(const HostUnicodeString& source);

  // Takes over the handle of `other`, which is left owning nothing.
  HostUnicodeString(HostUnicodeString&& other) noexcept;

  // Replaces this string by a copy of `source`. The copy is made first, so a
  // failure throws ai::Error and leaves this object unchanged.
  HostUnicodeString& operator=(const HostUnicodeString& source);

  // Disposes of this object's string and takes over the handle of `other`,
  // which is left owning nothing.
  HostUnicodeString& operator=(HostUnicodeString&& other) noexcept;

  // Disposes of the host string when the handle is not null.
  ~HostUnicodeString();

  // The owned handle, or null. The object keeps ownership.
  UnicodeStringHandle handle() const { return handle_; }

 private:
  void Dispose() noexcept;

  UnicodeStringHandle handle_;
};
