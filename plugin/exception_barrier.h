// The barrier that keeps exceptions out of the host: every function the host
// calls that may see an exception runs its body through it.
#pragma once

#include <new>

#include "host_api/host_api.h"
#include "plugin/ai_error.h"

// Runs `body` (returning a host code) and turns any exception it throws into a
// code: ai::Error gives its own code (kPluginErrUnexpected for a code of 0,
// which would read as success), std::bad_alloc kHostErrOutOfMemory, anything
// else kPluginErrUnexpected.
template <typename Body>
HostError ReturnCodeInsteadOfThrowing(Body&& body) noexcept {
  try {
    return body();
  } catch (const ai::Error& error) {
    return error.code() != kHostNoError ? error.code() : kPluginErrUnexpected;
  } catch (const std::bad_alloc&) {
    return kHostErrOutOfMemory;
  } catch (...) {
    return kPluginErrUnexpected;
  }
}
