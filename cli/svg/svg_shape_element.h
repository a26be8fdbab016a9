// The geometry of the drawing elements: `path` and the basic shapes.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "cli/svg/svg_curves.h"
#include "cli/svg/svg_element.h"

namespace morvelin {

// True for path, circle, ellipse, rect, line, polyline and polygon.
bool IsShapeElement(std::string_view element);

// True when `attribute` holds geometry of `element` (d, cx, r, points...):
// the geometry goes into the path; the attribute is not kept.
bool IsGeometryAttribute(std::string_view element, std::string_view attribute);

// The subpaths of a shape element in its own user units; nothing when the
// element does not render (a path without data, a zero or negative radius,
// width or height). Throws SvgError for bad path data, numbers or lengths,
// SvgUnmodelled for lengths relative to the font or viewport.
std::optional<std::vector<DSubpath>> ShapeSubpaths(const SvgElement& element);

}  // namespace morvelin
