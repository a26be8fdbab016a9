// The stand-in host's journal of suite calls and its fault injection.
//
// Every suite function of the stand-in calls Journal::Enter first. Enter
// records the call (suite, operation, key arguments) and returns the error
// code a test asked to inject for it, or 0; a suite function that gets a
// non-zero code returns it at once without doing anything else.
//
// Entering a call costs constant time (amortised): while the journal neither
// records nor has faults to match, it only counts the call, and the argument
// text of the lazy form of Enter is never made.
//
// Entering never throws. When there is no memory to record a call, a call
// that returns a code is refused with kHostErrOutOfMemory (so that every
// call the host performed is in the journal); one without a code goes
// ahead unrecorded and is counted in lost().
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "host_api/host_types.h"
#include "standin/journal/handle_serials.h"

namespace standin {

struct JournalEntry {
  std::string suite;       // e.g. "AI Art Suite"
  std::string op;          // e.g. "DuplicateArt"
  std::string args;        // key arguments, as text
  bool returnsCode;        // the operation returns a host error code
  HostError injected = 0;  // the code injected for this call, 0 if none
};

// A message the host sent the plug-in (PluginMain's caller and selector),
// placed before the calls the plug-in made while it handled the message.
struct JournalMessage {
  std::string caller;     // e.g. "SP Interface"
  std::string selector;   // e.g. "Startup"
  std::size_t before;     // the index of the first entry made while it ran
  bool returned = false;  // false while the plug-in is still handling it
  HostError result = 0;   // the code the plug-in returned
};

class Journal {
 public:
  // Records a call and returns the injected code (0 when none applies).
  // Operations that return no code are recorded but never fail.
  HostError Enter(const char* suite, const char* op, std::string args, bool returnsCode = true) noexcept;
  // The same, with the arguments' text made by `makeArgs()` only when the
  // journal uses it: while recording, or to match a fault that names part of
  // the arguments.
  template <typename MakeArgs, typename = std::enable_if_t<std::is_invocable_r_v<std::string, MakeArgs&>>>
  HostError Enter(const char* suite, const char* op, MakeArgs&& makeArgs, bool returnsCode = true) noexcept {
    if (!recording_ && faults_.empty() && failAt_.empty()) {
      ++calls_;
      return 0;
    }
    std::string args;
    if (NeedsArgs()) {
      try {
        args = makeArgs();
      } catch (const std::bad_alloc&) {
        return Unrecorded(returnsCode);
      }
    }
    return Enter(suite, op, std::move(args), returnsCode);
  }

  // Makes the nth call (counting from 1) of `op` whose arguments contain
  // `argsContain` return `code`. nth 0 makes every such call fail.
  void FailNth(const std::string& op, int nth, HostError code, const std::string& argsContain = "");
  // Makes the call that will be entry `index` of the journal (counting from 0
  // since the last Clear) return `code`.
  void FailAt(std::size_t index, HostError code);
  void ClearFaults();

  // Sends the plug-in a message through `send()` and returns its code,
  // recording the message before the calls the plug-in makes while handling
  // it, and then the code. Messages take no entry index (FailAt, Count and
  // Ops see only suite calls); while recording is off they are not kept.
  template <typename Send>
  HostError Message(const char* caller, const char* selector, Send&& send) {
    const std::size_t mark = BeginMessage(caller, selector);
    const std::size_t clears = clears_;
    const HostError result = send();
    if (clears == clears_) EndMessage(mark, result);  // a Clear meanwhile forgot it
    return result;
  }

  // With recording off, calls are counted and faults still apply, but no
  // entry is kept (for long runs such as benchmarks).
  void SetRecording(bool recording) { recording_ = recording; }
  bool recording() const { return recording_; }

  const std::vector<JournalEntry>& entries() const { return entries_; }
  const std::vector<JournalMessage>& messages() const { return messages_; }
  // Forgets the entries and messages (not the faults); indices of FailAt
  // count from here.
  void Clear();
  // Number of recorded calls of `op`.
  int Count(const std::string& op) const;
  // The operations in call order, optionally only those of `suite`.
  std::vector<std::string> Ops(const std::string& suite = "") const;
  // One line per entry: "suite.op(args)" and " -> injected code" when
  // failed, the arguments as PrintableText writes them; before the entries
  // of each message, a line `message "caller" "selector" returned code`.
  std::string Dump() const;
  // Calls without a code that went ahead unrecorded for want of memory.
  int lost() const { return lost_; }

  // The serial numbers by which entries name handles (see HandleText).
  HandleSerials& handles() { return handles_; }

 private:
  struct Fault {
    std::string op;
    std::string argsContain;
    int nth;
    HostError code;
    int seen;
  };
  // The index of the message's record, or kNotKept while not recording.
  std::size_t BeginMessage(const char* caller, const char* selector);
  void EndMessage(std::size_t mark, HostError result);
  static constexpr std::size_t kNotKept = static_cast<std::size_t>(-1);
  // True when Enter reads the arguments' text.
  bool NeedsArgs() const;
  // A call entered without memory to record it: counted, and refused with
  // kHostErrOutOfMemory when it returns a code.
  HostError Unrecorded(bool returnsCode) noexcept;

  std::vector<JournalEntry> entries_;
  std::vector<JournalMessage> messages_;
  std::size_t clears_ = 0;  // Clear calls so far
  std::size_t calls_ = 0;   // calls entered since the last Clear
  int lost_ = 0;
  bool recording_ = true;
  std::vector<Fault> faults_;
  std::vector<std::pair<std::size_t, HostError>> failAt_;
  HandleSerials handles_;
};

// Text of a four-character code, e.g. "'STOP'", or the decimal number.
std::string CodeText(HostError code);

}  // namespace standin
