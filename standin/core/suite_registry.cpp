#include "standin/core/suite_registry.h"

#include "standin/core/block_store.h"
#include "standin/core/host.h"

namespace standin {

namespace {

const char kBasic[] = "SP Basic Suite";

std::string SuiteArgs(const char* name, int32_t version) {
  return std::string("\"") + (name ? name : "(null)") + "\", " + std::to_string(version);
}

HostError HOSTCALL AcquireSuite(const char* name, int32_t version, const void** suite) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kBasic, "AcquireSuite", [&] { return SuiteArgs(name, version); }))
    return e;
  return host->suites().Acquire(name, version, suite);
}

HostError HOSTCALL ReleaseSuite(const char* name, int32_t version) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kBasic, "ReleaseSuite", [&] { return SuiteArgs(name, version); }))
    return e;
  return host->suites().Release(name, version);
}

HostError HOSTCALL AllocateBlock(uint32_t size, void** block) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kBasic, "AllocateBlock", [&] { return std::to_string(size); }))
    return e;
  return host->blocks().Allocate(size, block);
}

HostError HOSTCALL FreeBlock(void* block) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kBasic, "FreeBlock", [&] { return HandleText(block); })) return e;
  return host->blocks().Free(block);
}

}  // namespace

SuiteRegistry::SuiteRegistry() : basic_{AcquireSuite, ReleaseSuite, AllocateBlock, FreeBlock} {}

void SuiteRegistry::Add(const char* name, int32_t version, const void* table) {
  tables_[{name, version}] = Entry{table, &outstanding_[name]};
}

// Look-ups take the caller's name as a view: no string is made per call,
// and one look-up finds both the table and the count.
HostError SuiteRegistry::Acquire(const char* name, int32_t version, const void** suite) {
  if (name == nullptr || suite == nullptr) return kHostErrBadParameter;
  auto it = tables_.find(KeyView{name, version});
  if (it == tables_.end()) return kHostErrSuiteNotFound;
  *suite = it->second.table;
  ++*it->second.outstanding;
  return kHostNoError;
}

HostError SuiteRegistry::Release(const char* name, int32_t version) {
  if (name == nullptr) return kHostErrSuiteNotFound;
  auto it = tables_.find(KeyView{name, version});
  if (it == tables_.end()) return kHostErrSuiteNotFound;
  if (*it->second.outstanding == 0) return kHostErrBadParameter;
  --*it->second.outstanding;
  return kHostNoError;
}

int SuiteRegistry::Outstanding(const std::string& name) const {
  int n = 0;
  for (const auto& [suite, count] : outstanding_) {
    if (name.empty() || suite == name) n += count;
  }
  return n;
}

}  // namespace standin
