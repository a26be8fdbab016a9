// The bridge between two circles on arbitrary floats: centres, radii, the
// rate fraction and the handle cap are read as raw 32-bit patterns, so NaN,
// infinities, zero, subnormal and huge values all occur.
//
// Checked on every input: no crash or sanitizer report; a bridge, when one
// is made, has all twelve points finite, its corner flags clear and the
// handles that must be retracted equal to their anchors; with moderate inputs
// its anchors lie on their circles. A second run with point math answered
// from the input (any float, as a host could return) must keep the same
// guarantees.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "blend/bridge_geometry.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

float RawFloat(FuzzedDataProvider& input) {
  const uint32_t bits = input.ConsumeIntegral<uint32_t>();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool Finite(HostPoint p) { return std::isfinite(p.h) && std::isfinite(p.v); }

bool Same(HostPoint a, HostPoint b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void RequireWellFormed(const BridgeOutline& outline) {
  for (const PathSegment& segment : outline.segments) {
    Require(Finite(segment.p) && Finite(segment.in) && Finite(segment.out));
    Require(segment.corner == 0);
  }
  // Segments 0 and 2 start a curve (their in handles are retracted), 1 and 3
  // end one (their out handles are retracted).
  Require(Same(outline.segments[0].in, outline.segments[0].p));
  Require(Same(outline.segments[1].out, outline.segments[1].p));
  Require(Same(outline.segments[2].in, outline.segments[2].p));
  Require(Same(outline.segments[3].out, outline.segments[3].p));
}

bool Moderate(const BlendCircle& c) {
  return std::fabs(c.centre.h) <= 1e4f && std::fabs(c.centre.v) <= 1e4f && c.radius >= 1e-2f &&
         c.radius <= 1e4f;
}

// Each anchor is PolarOffset(centre, angle, radius): float rounding of the
// cosine, the sine and the sum keeps it within a few ulps of the circle.
void RequireAnchorsOnCircles(const BridgeOutline& outline, const BlendCircle& first,
                             const BlendCircle& second) {
  const BlendCircle* owner[4] = {&first, &second, &second, &first};
  for (int i = 0; i < 4; ++i) {
    const BlendCircle& c = *owner[i];
    const double dh = static_cast<double>(outline.segments[i].p.h) - c.centre.h;
    const double dv = static_cast<double>(outline.segments[i].p.v) - c.centre.v;
    const double scale = c.radius + std::fabs(c.centre.h) + std::fabs(c.centre.v);
    Require(std::fabs(std::hypot(dh, dv) - c.radius) <= 1e-5 * scale);
  }
}

// Point math that answers from a list of floats taken from the input, as a
// host's Real Math suite could answer anything; zero when the list runs out.
std::vector<float> gAnswers;
std::size_t gNextAnswer = 0;
HostReal NextAnswer(const HostPoint*, const HostPoint*) {
  return gNextAnswer < gAnswers.size() ? gAnswers[gNextAnswer++] : 0.0f;
}
const PointMath kAnsweringMath = {&NextAnswer, &NextAnswer};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  BlendCircle first;
  BlendCircle second;
  if (input.ConsumeBool()) {
    // Circles from two bounds rectangles, as the host layer makes them.
    HostRect bounds[2];
    for (HostRect& r : bounds) {
      r.left = RawFloat(input);
      r.top = RawFloat(input);
      r.right = RawFloat(input);
      r.bottom = RawFloat(input);
    }
    first = CircleFromBounds(bounds[0]);
    second = CircleFromBounds(bounds[1]);
  } else {
    for (BlendCircle* c : {&first, &second}) {
      c->centre.h = RawFloat(input);
      c->centre.v = RawFloat(input);
      c->radius = RawFloat(input);
    }
  }
  const HostReal a = RawFloat(input);
  const HostReal b = RawFloat(input);

  if (auto outline = ComputeBridgeOutline(first, second, a, b)) {
    RequireWellFormed(*outline);
    if (Moderate(first) && Moderate(second) && std::fabs(a) <= 1e3f && std::fabs(b) <= 1e3f) {
      RequireAnchorsOnCircles(*outline, first, second);
    }
  }

  gAnswers.clear();
  gNextAnswer = 0;
  for (int i = 0; i < 3; ++i) gAnswers.push_back(RawFloat(input));
  if (auto outline = ComputeBridgeOutline(first, second, a, b, kAnsweringMath)) RequireWellFormed(*outline);
  return 0;
}
