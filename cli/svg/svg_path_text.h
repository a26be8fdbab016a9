// Host path segments written as SVG path data.
#pragma once

#include <string>
#include <vector>

#include "host_api/path_suite.h"

namespace morvelin {

// Absolute path data for one contour: "M x y", then for each piece "L x y"
// when both of its handles are retracted, otherwise "C x1 y1 x2 y2 x y"; a
// closed contour ends with "Z", its closing piece written out before the Z
// when it is curved. Each number is the shortest decimal that reads back as
// the same 32-bit float. No segments give "".
std::string PathDataText(const std::vector<PathSegment>& segments, bool closed);

}  // namespace morvelin
