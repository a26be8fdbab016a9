#include "cli/svg/svg_paint.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "cli/svg/svg_number.h"

namespace morvelin {

namespace {

constexpr std::string_view kPaintProperties[] = {"fill",
                                                 "stroke",
                                                 "stroke-width",
                                                 "fill-opacity",
                                                 "stroke-opacity",
                                                 "fill-rule",
                                                 "stroke-linejoin",
                                                 "stroke-linecap",
                                                 "stroke-miterlimit",
                                                 "stroke-dasharray",
                                                 "stroke-dashoffset"};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<SvgPaint> ParsePaint(std::string_view text) {
  text = TrimSpaces(text);
  if (text == "none") return SvgPaint{SvgPaint::kNone, {}, {}};
  if (EqualsNoCase(text, "currentColor")) return SvgPaint{SvgPaint::kCurrentColor, {}, {}};
  if (text.substr(0, 4) == "url(") return SvgPaint{SvgPaint::kReference, {}, std::string(text)};
  const auto color = ParseColor(text);
  if (!color) return std::nullopt;
  return SvgPaint{SvgPaint::kColor, *color, {}};
}

// A length that must not be negative, in user units. Relative units are
// valid SVG the path style cannot hold.
std::optional<double> NonNegativeLength(std::string_view name, std::string_view text) {
  bool relative = false;
  const auto length = ParseLength(text, &relative);
  if (relative) throw SvgUnmodelled{std::string(name)};
  if (!length || *length < 0) return std::nullopt;
  return length;
}

std::optional<std::vector<double>> ParseDashes(std::string_view text) {
  text = TrimSpaces(text);
  if (text == "none") return std::vector<double>{};
  std::vector<double> dashes;
  std::string piece;
  auto flush = [&]() {
    if (piece.empty()) return true;
    const auto length = NonNegativeLength("stroke-dasharray", piece);
    piece.clear();
    if (!length) return false;
    dashes.push_back(*length);
    return true;
  };
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!flush()) return std::nullopt;
    } else {
      piece += c;
    }
  }
  if (!flush() || dashes.empty()) return std::nullopt;
  // An odd list repeats to make it even; all zeros draws a solid line.
  if (dashes.size() % 2 == 1) dashes.insert(dashes.end(), dashes.begin(), dashes.end());
  if (std::all_of(dashes.begin(), dashes.end(), [](double d) { return d == 0; })) dashes.clear();
  if (dashes.size() > 32) throw SvgUnmodelled{"stroke-dasharray"};
  return dashes;
}

HostColor PaintColor(const SvgPaint& paint, const SvgColor& current, double opacity) {
  SvgColor color = paint.kind == SvgPaint::kCurrentColor ? current
                   : paint.kind == SvgPaint::kReference  ? kReferenceGrey
                                                         : paint.color;
  HostColor host = ToHostColor(color);
  // Opacities multiply in double and are rounded once to the float.
  host.opacity = static_cast<HostReal>(opacity * color.alpha);
  return host;
}

}  // namespace

bool IsPaintProperty(std::string_view name) {
  return std::find(std::begin(kPaintProperties), std::end(kPaintProperties), name) !=
         std::end(kPaintProperties);
}

std::optional<double> ParseOpacity(std::string_view text) {
  text = TrimSpaces(text);
  const bool percent = !text.empty() && text.back() == '%';
  if (percent) text.remove_suffix(1);
  const auto value = ParseNumber(text);
  if (!value) return std::nullopt;
  return std::clamp(percent ? *value / 100 : *value, 0.0, 1.0);
}

void ApplyPaintProperty(SvgPaintState& state, std::string_view name, std::string_view value) {
  value = TrimSpaces(value);
  if (value == "inherit") return;
  if (name == "fill" || name == "stroke") {
    if (auto paint = ParsePaint(value)) (name == "fill" ? state.fill : state.stroke) = std::move(*paint);
  } else if (name == "color") {
    if (auto color = ParseColor(value)) state.color = *color;
  } else if (name == "fill-opacity" || name == "stroke-opacity") {
    if (auto opacity = ParseOpacity(value))
      (name == "fill-opacity" ? state.fillOpacity : state.strokeOpacity) = *opacity;
  } else if (name == "stroke-width") {
    if (auto width = NonNegativeLength(name, value)) state.strokeWidth = *width;
  } else if (name == "fill-rule") {
    if (value == "nonzero" || value == "evenodd") state.evenOdd = value == "evenodd";
  } else if (name == "stroke-linejoin") {
    if (value == "miter") state.lineJoin = kLineJoinMiter;
    if (value == "round") state.lineJoin = kLineJoinRound;
    if (value == "bevel") state.lineJoin = kLineJoinBevel;
  } else if (name == "stroke-linecap") {
    if (value == "butt") state.lineCap = kLineCapButt;
    if (value == "round") state.lineCap = kLineCapRound;
    if (value == "square") state.lineCap = kLineCapSquare;
  } else if (name == "stroke-miterlimit") {
    const auto limit = ParseNumber(value);
    if (limit && *limit >= 1) state.miterLimit = *limit;
  } else if (name == "stroke-dasharray") {
    if (auto dashes = ParseDashes(value)) state.dashes = std::move(*dashes);
  } else if (name == "stroke-dashoffset") {
    bool relative = false;
    const auto offset = ParseLength(value, &relative);
    if (relative) throw SvgUnmodelled{std::string(name)};
    if (offset) state.dashOffset = *offset;
  }
}

PathStyle ToPathStyle(const SvgPaintState& state, double opacity, double lengthScale) {
  PathStyle style{};
  style.fillPaint = state.fill.kind != SvgPaint::kNone;
  style.fillColor = PaintColor(state.fill, state.color, state.fillOpacity * opacity);
  style.evenOddFill = state.evenOdd;
  style.strokePaint = state.stroke.kind != SvgPaint::kNone;
  style.strokeColor = PaintColor(state.stroke, state.color, state.strokeOpacity * opacity);
  // Lengths are scaled in double and rounded once.
  style.strokeWidth = static_cast<HostReal>(state.strokeWidth * lengthScale);
  style.miterLimit = static_cast<HostReal>(state.miterLimit);
  style.dashOffset = static_cast<HostReal>(state.dashOffset * lengthScale);
  style.dashCount = static_cast<int32_t>(state.dashes.size());
  for (std::size_t i = 0; i < state.dashes.size(); ++i) {
    style.dashes[i] = static_cast<HostReal>(state.dashes[i] * lengthScale);
  }
  style.lineCap = state.lineCap;
  style.lineJoin = state.lineJoin;
  return style;
}

HostColor ToHostColor(const SvgColor& color) {
  // Each 8-bit channel k becomes the float nearest k/255; ColorText turns it
  // back into k.
  return HostColor{static_cast<HostReal>(color.red / 255.0), static_cast<HostReal>(color.green / 255.0),
                   static_cast<HostReal>(color.blue / 255.0), 1};
}

std::string ColorText(const HostColor& color) {
  auto channel = [](HostReal value) {
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), 0.0, 1.0) * 255.0));
  };
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", channel(color.red), channel(color.green),
                channel(color.blue));
  return text;
}

}  // namespace morvelin
