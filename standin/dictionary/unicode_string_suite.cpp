// "AI Unicode String Suite" version 6 over the host's StringStore. Each
// function records the call in the journal first and returns an injected code
// without doing anything else. A string without memory for it is not made:
// kHostErrOutOfMemory, and *string untouched.
#include <string>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/suite_registry.h"
#include "standin/dictionary/string_store.h"

namespace standin {

namespace {

// The bytes as a quoted string, printable ASCII as it is and every other byte
// as \xNN, so that an argument check in a test reads like the C source.
std::string BytesText(const char* bytes, int32_t length) {
  if (bytes == nullptr || length < 0) return "null";
  std::string text = "\"";
  for (int32_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '"' || byte == '\\') {
      text += '\\';
      text += static_cast<char>(byte);
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += static_cast<char>(byte);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text + "\"";
}

HostError HOSTCALL MakeFromBytes(UnicodeStringHandle* string, const char* bytes, int32_t length,
                                 int32_t encoding) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return BytesText(bytes, length) + ", " + std::to_string(length) + ", " + std::to_string(encoding);
  };
  if (HostError e = host->journal().Enter(kUnicodeStringSuite, "MakeFromBytes", args)) return e;
  return CodeOnOutOfMemory([&] { return host->strings().MakeFromBytes(bytes, length, encoding, string); });
}

HostError HOSTCALL Copy(UnicodeStringHandle* string, UnicodeStringHandle source) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kUnicodeStringSuite, "Copy", [source] { return HandleText(source); }))
    return e;
  return CodeOnOutOfMemory([&] { return host->strings().Copy(source, string); });
}

void HOSTCALL Dispose(UnicodeStringHandle string) {
  Host* host = Host::Current();
  if (host == nullptr) return;
  host->journal().Enter(
      kUnicodeStringSuite, "Dispose", [string] { return HandleText(string); }, /*returnsCode=*/false);
  host->strings().Dispose(string);
}

const UnicodeStringSuite kUnicodeStringSuiteTable = {MakeFromBytes, Copy, Dispose};

}  // namespace

void RegisterUnicodeStringSuite(Host& host) {
  host.suites().Add(kUnicodeStringSuite, kUnicodeStringSuiteVersion, &kUnicodeStringSuiteTable);
}

}  // namespace standin
