// Writing drawings as SVG.
//
// Every path (and compound path, as one element with several subpaths) is
// written as <path d="..."> with absolute commands, followed by its paint as
// attributes: fill and stroke always, the other paint properties when they
// differ from SVG's defaults or when an enclosing group's kept attributes
// could set them otherwise. A paint server's text is written back while the
// path still has the grey that stands in for it. Groups are <g>; foreign
// objects are written verbatim; kept attributes follow. Ids are the objects'
// names, made unique by a "-2", "-3"... suffix where copies share one.
#pragma once

#include <string>

#include "cli/svg_drawing.h"

namespace morvelin {

// The drawing as SVG text: its prolog (or an XML declaration when it has
// none), the `svg` element with the root's attributes (and the SVG namespace
// when they do not declare one), the art, the epilog.
std::string ExportSvg(const SvgDrawing& drawing);

// Writes ExportSvg(drawing) to `path` (see WriteFileAtomically). Throws
// OutputError naming the file.
void SaveSvgFile(const SvgDrawing& drawing, const std::string& path);

}  // namespace morvelin
