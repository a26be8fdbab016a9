// The stand-in's SPBasicSuite: suites by name and version, with a count of
// outstanding acquisitions per suite.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "host_api/host_api.h"

namespace standin {

class SuiteRegistry {
 public:
  SuiteRegistry();

  // Makes `table` available as suite `name` at `version`. The table must
  // outlive the registry.
  void Add(const char* name, int32_t version, const void* table);

  // What SPBasicSuite::AcquireSuite/ReleaseSuite do, without the journal.
  HostError Acquire(const char* name, int32_t version, const void** suite);
  HostError Release(const char* name, int32_t version);

  // Acquisitions of `name` not yet released; all suites when name is empty.
  int Outstanding(const std::string& name = "") const;

  SPBasicSuite* basic() { return &basic_; }

 private:
  SPBasicSuite basic_;
  std::map<std::pair<std::string, int32_t>, const void*> tables_;
  std::map<std::string, int> outstanding_;
};

}  // namespace standin
