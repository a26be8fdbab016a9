#include "cli/svg/svg_shape_element.h"

#include <algorithm>
#include <string>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_number.h"
#include "cli/svg/svg_path_data.h"
#include "cli/svg/svg_shapes.h"

namespace morvelin {

namespace {

struct ShapeAttributes {
  std::string_view element;
  std::string_view geometry[6];  // unused entries empty
};

const ShapeAttributes kShapes[] = {
    {"path", {"d"}},
    {"circle", {"cx", "cy", "r"}},
    {"ellipse", {"cx", "cy", "rx", "ry"}},
    {"rect", {"x", "y", "width", "height", "rx", "ry"}},
    {"line", {"x1", "y1", "x2", "y2"}},
    {"polyline", {"points"}},
    {"polygon", {"points"}},
};

const ShapeAttributes* FindShape(std::string_view element) {
  for (const ShapeAttributes& shape : kShapes) {
    if (shape.element == element) return &shape;
  }
  return nullptr;
}

std::optional<std::vector<DSubpath>> PathSubpaths(const SvgElement& element) {
  const std::string data = element.Value("d");
  // Drawn up to the first fault, as SVG renders path data.
  std::optional<SvgDataError> error;
  std::vector<DSubpath> subpaths = ParsePathDataUpToError(data, &error);
  if (error) {
    error->problem += "; the path is drawn up to there";
    element.WarnInValue("d", *error);
  }
  if (subpaths.empty()) return std::nullopt;
  return subpaths;
}

std::optional<std::vector<DSubpath>> CircleSubpaths(const SvgElement& element) {
  const double r = element.Length("r", 0);
  if (r <= 0) return std::nullopt;
  return std::vector<DSubpath>{EllipseSubpath(element.Length("cx", 0), element.Length("cy", 0), r, r)};
}

std::optional<std::vector<DSubpath>> EllipseSubpaths(const SvgElement& element) {
  // A missing radius takes the other one's value.
  if (!element.Has("rx") && !element.Has("ry")) return std::nullopt;
  const double rx = element.Length("rx", element.Length("ry", 0));
  const double ry = element.Length("ry", rx);
  if (rx <= 0 || ry <= 0) return std::nullopt;
  return std::vector<DSubpath>{EllipseSubpath(element.Length("cx", 0), element.Length("cy", 0), rx, ry)};
}

std::optional<std::vector<DSubpath>> RectSubpaths(const SvgElement& element) {
  const double width = element.Length("width", 0), height = element.Length("height", 0);
  if (width <= 0 || height <= 0) return std::nullopt;
  // Corner radii: a missing one takes the other's value; negative ones count
  // as missing; each is at most half its side.
  double rx = element.Length("rx", -1), ry = element.Length("ry", -1);
  if (rx < 0) rx = ry;
  if (ry < 0) ry = rx;
  rx = std::clamp(rx, 0.0, width / 2);
  ry = std::clamp(ry, 0.0, height / 2);
  return std::vector<DSubpath>{
      RectSubpath(element.Length("x", 0), element.Length("y", 0), width, height, rx, ry)};
}

std::optional<std::vector<DSubpath>> LineSubpaths(const SvgElement& element) {
  const DPoint from{element.Length("x1", 0), element.Length("y1", 0)};
  const DPoint to{element.Length("x2", 0), element.Length("y2", 0)};
  return std::vector<DSubpath>{PolylineSubpath({from, to}, false)};
}

std::optional<std::vector<DSubpath>> PolySubpaths(const SvgElement& element, bool closed) {
  const std::string text = element.Value("points");
  NumberScanner scanner(text);
  std::vector<double> numbers;
  scanner.SkipSpaces();
  // As SVG renders a point list: up to the first fault, and without the
  // last coordinate of an odd count.
  while (!scanner.AtEnd()) {
    const auto value = scanner.Number();
    if (!value) {
      element.WarnInValue(
          "points", SvgDataError{scanner.offset(), "expected a number; the points before it are drawn"});
      break;
    }
    numbers.push_back(*value);
    scanner.SkipSeparator();
  }
  if (numbers.size() % 2 != 0) {
    element.WarnInValue("points",
                        SvgDataError{scanner.offset(), "odd number of coordinates; the last is dropped"});
    numbers.pop_back();
  }
  if (numbers.empty()) return std::nullopt;
  std::vector<DPoint> points;
  for (std::size_t i = 0; i < numbers.size(); i += 2) points.push_back(DPoint{numbers[i], numbers[i + 1]});
  return std::vector<DSubpath>{PolylineSubpath(points, closed)};
}

}  // namespace

bool IsShapeElement(std::string_view element) { return FindShape(element) != nullptr; }

bool IsGeometryAttribute(std::string_view element, std::string_view attribute) {
  const ShapeAttributes* shape = FindShape(element);
  if (shape == nullptr) return false;
  return !attribute.empty() && std::find(std::begin(shape->geometry), std::end(shape->geometry), attribute) !=
                                   std::end(shape->geometry);
}

std::optional<std::vector<DSubpath>> ShapeSubpaths(const SvgElement& element) {
  const std::string_view name = element.name();
  if (name == "path") return PathSubpaths(element);
  if (name == "circle") return CircleSubpaths(element);
  if (name == "ellipse") return EllipseSubpaths(element);
  if (name == "rect") return RectSubpaths(element);
  if (name == "line") return LineSubpaths(element);
  if (name == "polyline") return PolySubpaths(element, false);
  if (name == "polygon") return PolySubpaths(element, true);
  return std::nullopt;
}

}  // namespace morvelin
