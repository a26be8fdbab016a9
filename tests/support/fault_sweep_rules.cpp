#include "tests/support/fault_sweep_rules.h"

#include <string>

#include "plugin/suite_table.h"

namespace faultsweep {

using standin::JournalEntry;

Expected Fails(HostError code, const char* why) {
  Expected e;
  e.result = code;
  e.why = why;
  return e;
}

namespace {

// Positions in a clean run's journal.

bool IsTableAcquisition(const std::vector<JournalEntry>& clean, std::size_t index) {
  // Every handler that acquires begins with the whole table.
  return clean[index].op == "AcquireSuite" && index < static_cast<std::size_t>(HostSuiteTable::kCount);
}

// Whether a release is one of the table's: those are the message's last
// releases; an earlier one is the About object's own.
bool IsTableRelease(const std::vector<JournalEntry>& clean, std::size_t index) {
  int later = 0;
  for (std::size_t i = index; i < clean.size(); ++i) later += clean[i].op == "ReleaseSuite" ? 1 : 0;
  return later <= HostSuiteTable::kCount;
}

std::size_t FirstIndexOf(const std::vector<JournalEntry>& clean, const std::string& op) {
  for (std::size_t i = 0; i < clean.size(); ++i) {
    if (clean[i].op == op) return i;
  }
  return clean.size();
}

Expected ExpectAtStartup(const std::vector<JournalEntry>& clean, std::size_t index) {
  const std::string& op = clean[index].op;
  Expected e = Fails(kInjected, "a failed registration keeps the block");
  e.block = true;
  if (IsTableAcquisition(clean, index)) {
    e = Fails(kInjected, "a failed acquisition allocates no block");
    e.block = false;
  } else if (op == "AllocateBlock") {
    e = Fails(kInjected, "no block, nothing registered");
    e.block = false;
  } else if (op == "GetIndexString") {
    e = Fails(kHostNoError, "the string fetches are not examined");
    e.block = true;
  } else if (op == "ReleaseSuite") {
    e = Fails(kHostNoError, "release results are dropped");
    e.block = true;
    if (!IsTableRelease(clean, index)) e.strandedSuites = 1;
  }
  return e;
}

Expected ExpectAtGoLive(const std::vector<JournalEntry>& clean, std::size_t index) {
  const std::string& op = clean[index].op;
  Expected e = Fails(kInjected, "from the template on, the code is returned");
  if (IsTableAcquisition(clean, index)) {
    e = Fails(kInjected, "a failed acquisition is returned");
    e.artAsDrawn = true;
  } else if (op == "ReleaseSuite") {
    e = Fails(kHostNoError, "the release's result is dropped");
  } else if (op == "DisposeArt") {
    e = Fails(kHostNoError, "a refused removal of the unused template leaves it; the unite runs");
  } else if (index < FirstIndexOf(clean, "DuplicateArt")) {
    // A failed read of the rate counts as no rate; a failure in either walk
    // as too few paths.
    e = Fails(kHostNoError, "a failed rate read or walk leaves the art");
    e.artAsDrawn = true;
  }
  return e;
}

Expected ExpectAtEditParameters(const std::vector<JournalEntry>& clean, std::size_t index,
                                HostError cleanResult) {
  const std::string& op = clean[index].op;
  const std::size_t create = FirstIndexOf(clean, "Create");
  const std::size_t modal = FirstIndexOf(clean, "DisplayAsModal");
  const std::size_t pop = FirstIndexOf(clean, "PopAppContext");
  Expected e = Fails(cleanResult, "updates, parameter sets, nested executions and the release are dropped");
  if (IsTableAcquisition(clean, index)) {
    e = Fails(kInjected, "a failed acquisition shows nothing");
    e.dialogShown = false;
  } else if (op == "PushAppContext") {
    e = Fails(kInjected, "no context, no dialog");
    e.dialogShown = false;
  } else if (op == "Create") {
    e = Fails(kPluginErrNoDialog, "the host built no dialog");
    e.dialogShown = false;
  } else if (op == "MakeFromBytes" && index > create && index < modal) {
    // The init procedure's first write fails: the host destroys the dialog.
    e = Fails(kPluginErrNoDialog, "the init procedure failed");
    e.dialogShown = false;
  } else if (op == "PopAppContext") {
    e = Fails(kInjected, "a failed pop is returned, without write-back or cancel");
    e.strandedContexts = 1;
  } else if (op == "MakeFromBytes" && index > pop) {
    e = Fails(kInjected, "OK's write throws; the entry point returns its code");
  }
  return e;
}

Expected ExpectAtAbout(const std::vector<JournalEntry>& clean, std::size_t index) {
  const std::string& op = clean[index].op;
  Expected e = Fails(kHostNoError, "the release's result is dropped");
  e.aboutShown = true;
  if (IsTableAcquisition(clean, index)) {
    e = Fails(kInjected, "a failed acquisition shows nothing");
    e.aboutShown = false;
  } else if (op == "AcquireSuite") {
    e = Fails(kHostNoError, "without the ADM Basic suite the box is not shown");
    e.aboutShown = false;
  } else if (op == "ReleaseSuite" && !IsTableRelease(clean, index)) {
    e.strandedSuites = 1;
  }
  return e;
}

Expected ExpectAtShutdown(const std::vector<JournalEntry>& clean, std::size_t index) {
  Expected e = Fails(kHostNoError, "shut-down never fails");
  e.block = false;
  if (clean[index].op == "FreeBlock") e.strandedBlocks = 1;
  return e;
}

}  // namespace

Expected ExpectAt(Message message, HostError cleanResult, const std::vector<JournalEntry>& clean,
                  std::size_t index) {
  switch (message) {
    case Message::kStartup: return ExpectAtStartup(clean, index);
    case Message::kGoLive: return ExpectAtGoLive(clean, index);
    case Message::kEditParameters: return ExpectAtEditParameters(clean, index, cleanResult);
    case Message::kAbout: return ExpectAtAbout(clean, index);
    case Message::kShutdown: return ExpectAtShutdown(clean, index);
  }
  return Expected{};
}

}  // namespace faultsweep
