// The SVG `transform` attribute.
#pragma once

#include <string_view>

#include "cli/svg/svg_matrix.h"

namespace morvelin {

// The matrix of a transform list: matrix(a b c d e f), translate(x [y]),
// scale(x [y]), rotate(angle [cx cy]), skewX(angle), skewY(angle), separated
// by white space or commas and applied as SVG does, the rightmost first.
// Angles are in degrees. An empty list is the identity. Throws SvgDataError
// with the offset of the first fault.
SvgMatrix ParseTransform(std::string_view text);

}  // namespace morvelin
