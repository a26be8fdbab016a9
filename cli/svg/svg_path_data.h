// SVG path data (the `d` attribute) as subpaths.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "cli/svg/svg_curves.h"
#include "cli/svg/svg_errors.h"

namespace morvelin {

// Reads every command (M L H V C S Q T A Z, absolute and relative, with
// implicit repeats: further coordinates after M/m are lines). Quadratics and
// arcs become cubics. Empty or all-white-space data gives no subpaths. Throws
// SvgDataError with the offset of the first fault: data not starting with a
// move, an unknown command, a missing or malformed number or flag.
std::vector<DSubpath> ParsePathData(std::string_view data);

// Reads path data as SVG renders it: up to the first fault. The subpaths of
// every command before the fault are returned (a command whose numbers are
// incomplete adds nothing), and the fault goes to *error; without a fault
// *error is left empty.
std::vector<DSubpath> ParsePathDataUpToError(std::string_view data, std::optional<SvgDataError>* error);

}  // namespace morvelin
