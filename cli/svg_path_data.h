// SVG path data (the `d` attribute) as subpaths.
#pragma once

#include <string_view>
#include <vector>

#include "cli/svg_curves.h"

namespace morvelin {

// Reads every command (M L H V C S Q T A Z, absolute and relative, with
// implicit repeats: further coordinates after M/m are lines). Quadratics and
// arcs become cubics. Empty or all-white-space data gives no subpaths. Throws
// SvgDataError with the offset of the first fault: data not starting with a
// move, an unknown command, a missing or malformed number or flag.
std::vector<DSubpath> ParsePathData(std::string_view data);

}  // namespace morvelin
