// The plug-in's suite table, held from a host for the length of one test
// scope, as a message handler holds it for one message.
#pragma once

#include "host_api/host_api.h"
#include "standin/core/host.h"

namespace testscene {

class HeldSuites {
 public:
  // Acquires every suite of the table into its slot. Suites the stand-in does
  // not offer stay null; `result()` has the first code met.
  explicit HeldSuites(standin::Host& host);
  // Releases every slot that is set.
  ~HeldSuites();
  HeldSuites(const HeldSuites&) = delete;
  HeldSuites& operator=(const HeldSuites&) = delete;

  HostError result() const { return result_; }

 private:
  SPBasicSuite* basic_;
  HostError result_;
};

}  // namespace testscene
