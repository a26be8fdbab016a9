// Suite functions are called from the plug-in through a C interface, which
// no exception may cross. Their work runs through these: running out of
// memory becomes kHostErrOutOfMemory for a function that returns a code, and
// the function's answer for "nothing" for one that does not. The stores make
// each change whole or throw before changing anything, so a refused call
// leaves the host as it was.
#pragma once

#include <new>
#include <stdexcept>

#include "host_api/host_errors.h"

namespace standin {

template <typename Body>
HostError CodeOnOutOfMemory(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return kHostErrOutOfMemory;
  } catch (const std::length_error&) {  // a size no allocation can hold
    return kHostErrOutOfMemory;
  }
}

template <typename Result, typename Body>
Result ValueOnOutOfMemory(Result nothing, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return nothing;
  } catch (const std::length_error&) {
    return nothing;
  }
}

template <typename Body>
void NothingOnOutOfMemory(Body&& body) noexcept {
  try {
    body();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
}

}  // namespace standin
