// Reading SVG drawings into the stand-in's art tree.
//
// Modelled elements: `svg` and `g` become groups (children in document order,
// which is paint order); `path`, `circle`, `ellipse`, `rect`, `line`,
// `polyline` and `polygon` become paths, or compound paths holding one path
// per subpath. Transforms are applied to the coordinates (host paths have no
// transform) and stroke lengths are scaled with them; paint (attributes,
// `style`, simple `<style>` class rules, inheritance, SVG's defaults) becomes
// each path's PathStyle. Paint servers (url(#...)) paint a neutral grey and
// keep their text for export. `id`s become object names; attributes the art
// does not model stay in each object's `attributes`.
//
// Everything else (text, images, use, defs, style, metadata, comments,
// elements of other namespaces, elements that do not render such as
// display:none or a zero radius, and values the path style cannot hold) is
// kept verbatim as an object of type kArtTypeForeign at its place. A kept
// element that draws, under groups whose transforms were applied, gets their
// matrix prepended to its own transform so that it stays where it was.
#pragma once

#include <string>
#include <string_view>

#include "cli/svg/svg_drawing.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_input_file.h"
#include "standin/art/art_store.h"

namespace morvelin {

// Reads the SVG file at `path` (the standard input for "-") into `store`. Throws SvgError for an
// unreadable file, one over `maxBytes` (see ReadDrawingBytes) and for
// everything ParseSvg rejects.
SvgDrawing LoadSvgFile(const std::string& path, standin::ArtStore& store,
                       std::uint64_t maxBytes = kDefaultMaxInputBytes);

// Reads SVG `text` into `store`; `source` names it in error messages. Throws
// SvgError (with line and column) for XML that is not well formed (see
// ParseXmlStrictly), a root element that is not `svg`, bad path data, bad numbers in modelled geometry or
// transforms, a path of more than 32767 anchors, coordinates beyond the float range. On error nothing stays
// in the store.
SvgDrawing ParseSvg(std::string_view text, const std::string& source, standin::ArtStore& store);

}  // namespace morvelin
