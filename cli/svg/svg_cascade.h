// The paint of one element: its own declarations over what it inherits.
#pragma once

#include <vector>

#include "cli/svg/svg_css.h"
#include "cli/svg/svg_element.h"
#include "cli/svg/svg_paint.h"

namespace morvelin {

struct ElementStyle {
  SvgPaintState paint;  // what children inherit and a path is painted with
  double opacity = 1;   // the element's own opacity (not inherited)
  bool hidden = false;  // display: none
  // Declarations of the `style` attribute that are neither paint properties
  // nor opacity, in their order.
  std::vector<CssDeclaration> otherStyle;
};

// Applies, over `inherited`, the element's presentation attributes, then the
// matching style sheet rules, then its `style` attribute: later ones win.
// Throws SvgUnmodelled for values the path style cannot hold.
ElementStyle CascadeStyle(const SvgElement& element, const StyleSheet& sheet, const SvgPaintState& inherited);

}  // namespace morvelin
