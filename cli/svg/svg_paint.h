// SVG paint properties: their inheritance from element to element and the
// host path style they give a path.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/svg/svg_color.h"
#include "host_api/path_style_suite.h"

namespace morvelin {

struct SvgPaint {
  enum Kind { kNone, kColor, kCurrentColor, kReference };
  Kind kind = kNone;
  SvgColor color;    // kColor
  std::string text;  // kReference: the paint as written, e.g. "url(#shade) red"
};

// The colour that stands in for a paint server (gradient, pattern), which the
// host's path style cannot hold: a neutral grey.
constexpr SvgColor kReferenceGrey{128, 128, 128, 1};

// The paint properties in effect at one element, with SVG's initial values:
// filled black, not stroked, stroke width 1, miter joins, butt caps, miter
// limit 4, non-zero winding, no dashes. Lengths are in the element's own user
// units. All of them are inherited by children.
struct SvgPaintState {
  SvgPaint fill{SvgPaint::kColor, SvgColor{}, {}};
  SvgPaint stroke;
  double fillOpacity = 1;
  double strokeOpacity = 1;
  double strokeWidth = 1;
  bool evenOdd = false;
  int32_t lineJoin = kLineJoinMiter;
  int32_t lineCap = kLineCapButt;
  double miterLimit = 4;
  std::vector<double> dashes;
  double dashOffset = 0;
  SvgColor color;  // the `color` property, which currentColor uses
};

// Thrown for a valid value the host's path style cannot hold (a stroke width
// relative to the font or viewport, more than 32 dashes); the element is then
// kept as it is written, unmodelled.
struct SvgUnmodelled {
  std::string property;
};

// True for the properties ApplyPaintProperty models: fill, stroke,
// stroke-width, fill-opacity, stroke-opacity, fill-rule, stroke-linejoin,
// stroke-linecap, stroke-miterlimit, stroke-dasharray, stroke-dashoffset.
bool IsPaintProperty(std::string_view name);

// Applies one declared property to `state`. Invalid values, and "inherit",
// leave the inherited value, as SVG renderers do. Properties other than the
// paint properties and `color` are ignored. May throw SvgUnmodelled.
void ApplyPaintProperty(SvgPaintState& state, std::string_view name, std::string_view value);

// An opacity value: a number or a percentage, clamped to 0..1.
std::optional<double> ParseOpacity(std::string_view text);

// The host path style of a path painted as `state` says, with the element's
// own `opacity` folded into both colours and every length scaled by
// `lengthScale` (the scale of the transform applied to the path's
// coordinates).
PathStyle ToPathStyle(const SvgPaintState& state, double opacity, double lengthScale);

// A host colour's channels as "#rrggbb" (each rounded to the nearest step).
std::string ColorText(const HostColor& color);
// The host colour channels of an SVG colour; opacity 1.
HostColor ToHostColor(const SvgColor& color);

}  // namespace morvelin
