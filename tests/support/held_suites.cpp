#include "tests/support/held_suites.h"

#include "plugin/suite_table.h"

namespace testscene {

HeldSuites::HeldSuites(standin::Host& host) : basic_(host.basic()), result_(AcquireAllSuites(basic_)) {}

HeldSuites::~HeldSuites() { ReleaseAllSuites(basic_); }

}  // namespace testscene
