// "AI Real Math Suite" of the stand-in. Both operations return a value, not a
// code: they are journalled but cannot be made to fail, and a null point gives
// 0.
#include <cmath>

#include "standin/art/art_suites.h"
#include "standin/core/host.h"

namespace standin {

namespace {

void Record(const char* op, const HostPoint* a, const HostPoint* b) {
  if (Host* host = Host::Current()) {
    host->journal().Enter(
        kRealMathSuite, op, [&] { return PointText(a) + ", " + PointText(b); },
        /*returnsCode=*/false);
  }
}

HostReal HOSTCALL PointDistance(const HostPoint* a, const HostPoint* b) {
  Record("PointDistance", a, b);
  if (a == nullptr || b == nullptr) return 0.0f;
  // The differences and squares in double from the float coordinates; only
  // the root is rounded to a float.
  const double dh = static_cast<double>(b->h) - a->h;
  const double dv = static_cast<double>(b->v) - a->v;
  return static_cast<HostReal>(std::sqrt(dh * dh + dv * dv));
}

HostReal HOSTCALL PointAngle(const HostPoint* a, const HostPoint* b) {
  Record("PointAngle", a, b);
  if (a == nullptr || b == nullptr) return 0.0f;
  // atan2 in double, rounded to a float once.
  const double dh = static_cast<double>(b->h) - a->h;
  const double dv = static_cast<double>(b->v) - a->v;
  return static_cast<HostReal>(std::atan2(dv, dh));
}

const RealMathSuite kRealMathSuiteTable = {PointDistance, PointAngle};

}  // namespace

const RealMathSuite& StandinRealMathSuite() { return kRealMathSuiteTable; }

}  // namespace standin
