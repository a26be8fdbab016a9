// The stand-in's SPBasicSuite: suites by name and version, with a count of
// outstanding acquisitions per suite.
#pragma once

#include <map>
#include <string>
#include <string_view>
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
  // A suite's name and version, owned or viewed; compared name first.
  using Key = std::pair<std::string, int32_t>;
  using KeyView = std::pair<std::string_view, int32_t>;
  struct KeyLess {
    using is_transparent = void;
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
      const int order = std::string_view(a.first).compare(std::string_view(b.first));
      return order < 0 || (order == 0 && a.second < b.second);
    }
  };

  // A suite's table and the count of its name's acquisitions (a node of
  // outstanding_, which never moves).
  struct Entry {
    const void* table;
    int* outstanding;
  };

  SPBasicSuite basic_;
  std::map<Key, Entry, KeyLess> tables_;
  std::map<std::string, int, std::less<>> outstanding_;  // by name, over all versions
};

}  // namespace standin
