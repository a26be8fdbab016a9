#include "standin/journal/journal.h"

#include <cstdint>
#include <new>
#include <sstream>

#include "host_api/host_errors.h"
#include "standin/text/printable_text.h"

namespace standin {

HostError Journal::Unrecorded(bool returnsCode) noexcept {
  ++calls_;
  if (returnsCode) return kHostErrOutOfMemory;
  ++lost_;
  return 0;
}

HostError Journal::Enter(const char* suite, const char* op, std::string args, bool returnsCode) noexcept {
  const std::size_t index = calls_++;
  HostError injected = 0;
  if (returnsCode) {
    for (auto& at : failAt_) {
      if (at.first == index) injected = at.second;
    }
    for (auto& fault : faults_) {
      if (fault.op != op) continue;
      if (!fault.argsContain.empty() && args.find(fault.argsContain) == std::string::npos) continue;
      ++fault.seen;
      if (injected == 0 && (fault.nth == 0 || fault.seen == fault.nth)) injected = fault.code;
    }
  }
  if (recording_) {
    try {
      entries_.push_back(JournalEntry{suite, op, std::move(args), returnsCode, injected});
    } catch (const std::bad_alloc&) {
      // The call keeps its index, so that FailAt still names the calls after it.
      if (injected != 0) return injected;
      if (returnsCode) return kHostErrOutOfMemory;
      ++lost_;
    }
  }
  return injected;
}

bool Journal::NeedsArgs() const {
  if (recording_) return true;
  for (const auto& fault : faults_) {
    if (!fault.argsContain.empty()) return true;
  }
  return false;
}

void Journal::FailNth(const std::string& op, int nth, HostError code, const std::string& argsContain) {
  faults_.push_back(Fault{op, argsContain, nth, code, 0});
}

void Journal::FailAt(std::size_t index, HostError code) { failAt_.emplace_back(index, code); }

void Journal::ClearFaults() {
  faults_.clear();
  failAt_.clear();
}

std::size_t Journal::BeginMessage(const char* caller, const char* selector) {
  if (!recording_) return kNotKept;
  messages_.push_back(JournalMessage{caller, selector, entries_.size()});
  return messages_.size() - 1;
}

void Journal::EndMessage(std::size_t mark, HostError result) {
  if (mark >= messages_.size()) return;  // not kept
  messages_[mark].returned = true;
  messages_[mark].result = result;
}

void Journal::Clear() {
  entries_.clear();
  messages_.clear();
  ++clears_;
  calls_ = 0;
}

int Journal::Count(const std::string& op) const {
  int n = 0;
  for (const auto& e : entries_) n += e.op == op ? 1 : 0;
  return n;
}

std::vector<std::string> Journal::Ops(const std::string& suite) const {
  std::vector<std::string> ops;
  for (const auto& e : entries_) {
    if (suite.empty() || e.suite == suite) ops.push_back(e.op);
  }
  return ops;
}

std::string Journal::Dump() const {
  std::ostringstream out;
  std::size_t nextMessage = 0;
  // The messages that began before entry `index` was made.
  const auto messagesBefore = [&](std::size_t index) {
    for (; nextMessage < messages_.size() && messages_[nextMessage].before <= index; ++nextMessage) {
      const JournalMessage& m = messages_[nextMessage];
      out << "message \"" << PrintableText(m.caller) << "\" \"" << PrintableText(m.selector) << '"';
      if (m.returned) {
        out << " returned " << CodeText(m.result) << '\n';
      } else {
        out << " (not returned yet)\n";
      }
    }
  };
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    messagesBefore(i);
    const JournalEntry& e = entries_[i];
    // Arguments may hold text from a drawing; whatever made them, the
    // journal prints nothing a terminal acts on.
    out << e.suite << '.' << e.op << '(' << PrintableText(e.args) << ')';
    if (e.injected != 0) out << " -> " << CodeText(e.injected);
    out << '\n';
  }
  messagesBefore(entries_.size());
  return out.str();
}

std::string CodeText(HostError code) {
  const auto u = static_cast<uint32_t>(code);
  char c[4] = {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
               static_cast<char>(u)};
  bool printable = true;
  for (char ch : c) printable = printable && ch >= 0x20 && ch < 0x7F;
  if (printable && code != 0) return std::string("'") + std::string(c, 4) + "'";
  return std::to_string(code);
}

}  // namespace standin
