// The effect applied inside an SVG document the way an Inkscape extension
// applies it: to the selected objects, leaving the rest of the document as
// it was read.
//
// The result is one group
//   <g class="morvelin-effect" data-morvelin-viscosity="V">
//     <path class="morvelin-outline" .../>   (one per outline)
//     <g class="morvelin-sources" style="display:none"> the sources </g>
//   </g>
// placed where the topmost selected object stood (paint order). The sources
// are the selected elements themselves, moved, with their ids and attributes;
// one moved out of another group takes the transforms of the groups it left
// along (prepended to its own transform), so it stays where it was drawn.
// A selected effect group (or anything inside one) stands for its sources:
// running again recomputes from them and replaces the group. With nothing
// selected, the art is the whole drawing: every shape and group in the root
// and in visible layers, effect groups included.
//
// The outline is what `morvelin apply` makes of the same objects: the
// sources are read into the stand-in host by the tool's importer, the
// plug-in's effect is executed on them, and the outline paths are written by
// the tool's exporter; their coordinates are those of the drawing's root, so
// an outline inside a transformed layer carries the inverse transform.
//
// Only the effect group and the moved sources change; every other node
// (ids, layers, sodipodi: and inkscape: attributes, units, viewBox, text,
// comments) is written back from the parsed document as read.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace morvelin {

struct SelectionEffectRequest {
  std::string text;              // the SVG document
  std::string name;              // labels it in messages
  std::vector<std::string> ids;  // the selected objects; none: the whole drawing
  int viscosity = 50;            // 1 to 100
};

// The plug-in did not start, or its effect returned a code.
class EffectFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The document with the effect group in place. Throws SvgError for a
// document the tool cannot read, an id no element has, or a selection that
// holds nothing the effect can work on (no closed, filled or stroked path);
// EffectFailure when the plug-in fails.
std::string ApplyEffectToSelection(const SelectionEffectRequest& request);

}  // namespace morvelin
