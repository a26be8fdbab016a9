// The exception that carries a host error code out of the host string
// operations. It is the only way the plug-in reports a host failure by
// throwing; everything else returns the code.
#pragma once

#include <exception>

#include "host_api/host_errors.h"

namespace ai {

// A host failure: the 32-bit code the host returned. what() is the standard
// exception's default description; the code is the information.
class Error : public std::exception {
 public:
  explicit Error(HostError code) noexcept : code_(code) {}
  HostError code() const noexcept { return code_; }

 private:
  HostError code_;
};

// Throws Error(code) when code is not 0; returns otherwise.
inline void ThrowIfError(HostError code) {
  if (code != kHostNoError) throw Error(code);
}

}  // namespace ai
