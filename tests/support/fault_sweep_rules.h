// The fault sweep's rule for expected outcomes: for each message the plug-in
// answers and each host call of a clean run of it, what the message returns
// and leaves behind when that one call fails. Every sweep (in-process, or
// through another way of loading the plug-in) asks these functions, so that
// a new host call or a changed failure path is described in one place.
//
// Adding a host call to the plug-in: the sweep fails that call like every
// other. When the handler passes its code on unchanged (the rule's default
// for go-live and start-up), nothing needs to be added here; when the handler
// drops the code or turns it into another outcome, add that case to the
// message's function in fault_sweep_rules.cpp with the reason.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "host_api/host_api.h"
#include "standin/journal/journal.h"

namespace faultsweep {

// The code every sweep injects.
constexpr HostError kInjected = HOST_FOURCC('F', 'A', 'I', 'L');

enum class Message { kStartup, kGoLive, kEditParameters, kAbout, kShutdown };

// What the result of one failing run must be, and what it leaves behind.
struct Expected {
  HostError result = kHostNoError;
  const char* why = "";
  std::optional<bool> block;       // whether the plug-in holds a globals block afterwards
  std::optional<bool> aboutShown;  // whether the About box appeared
  bool artAsDrawn = false;         // go-live left the input art exactly as drawn
  bool dialogShown = true;         // Edit-Parameters ran its modal loop
  // What the host keeps because it refused to take it back and the plug-in
  // does not ask again: a suite the About object gave back, the block at
  // shut-down, the dialog's context.
  int strandedSuites = 0;
  int strandedBlocks = 0;
  int strandedContexts = 0;
};

// An outcome with `code` as the result and nothing else expected.
Expected Fails(HostError code, const char* why);

// The outcome of `message` when call `index` of its clean run `clean` fails
// with kInjected; `cleanResult` is what the clean run returned.
Expected ExpectAt(Message message, HostError cleanResult, const std::vector<standin::JournalEntry>& clean,
                  std::size_t index);

}  // namespace faultsweep
