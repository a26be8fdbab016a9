#include "plugin/host_unicode_string.h"

#include <cstring>
#include <utility>

#include "plugin/ai_error.h"
#include "plugin/suite_table.h"

namespace {

// A string operation needs the suite held by the running handler; without it
// the call would go through a null table.
const UnicodeStringSuite& HeldUnicodeStringSuite() {
  if (sUnicodeString == nullptr) throw ai::Error(kHostErrSuiteNotFound);
  return *sUnicodeString;
}

}  // namespace

HostUnicodeString::HostUnicodeString(const char* text, int32_t encoding) : handle_(nullptr) {
  if (text == nullptr) return;
  const UnicodeStringSuite& suite = HeldUnicodeStringSuite();
  // The handle is taken only when the host reports success: a failed call's
  // out-parameter means nothing.
  UnicodeStringHandle made = nullptr;
  ai::ThrowIfError(suite.MakeFromBytes(&made, text, static_cast<int32_t>(std::strlen(text)), encoding));
  handle_ = made;
}

HostUnicodeString::HostUnicodeString(const HostUnicodeString& source) : handle_(nullptr) {
  if (source.handle_ == nullptr) return;
  const UnicodeStringSuite& suite = HeldUnicodeStringSuite();
  UnicodeStringHandle made = nullptr;
  ai::ThrowIfError(suite.Copy(&made, source.handle_));
  handle_ = made;
}

HostUnicodeString::HostUnicodeString(HostUnicodeString&& other) noexcept : handle_(other.handle_) {
  other.handle_ = nullptr;
}

HostUnicodeString& HostUnicodeString::operator=(const HostUnicodeString& source) {
  if (this == &source) return *this;
  HostUnicodeString copy(source);
  std::swap(handle_, copy.handle_);
  return *this;  // `copy` now disposes of the string this object held
}

HostUnicodeString& HostUnicodeString::operator=(HostUnicodeString&& other) noexcept {
  if (this == &other) return *this;
  Dispose();
  handle_ = other.handle_;
  other.handle_ = nullptr;
  return *this;
}

HostUnicodeString::~HostUnicodeString() { Dispose(); }

void HostUnicodeString::Dispose() noexcept {
  if (handle_ == nullptr) return;
  // Without the suite the string cannot be handed back; the host's own
  // accounting then shows it as never disposed of.
  if (sUnicodeString != nullptr) sUnicodeString->Dispose(handle_);
  handle_ = nullptr;
}
