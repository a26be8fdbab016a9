// Writing drawings as SVG.
//
// A drawing read from SVG whose art is all as read is written as the bytes it
// was read from. Otherwise it is written as its source: every element whose
// art is unchanged exactly as the parser read it (element, attributes, their
// order, the text and white space between them), within its groups as read;
// an element whose object changed only in its paint (the effect's round join
// on a source) as read with just those properties edited. Objects the art
// no longer holds are left out. Objects that are new or changed are written
// anew where they stand in the art, in their parent's coordinates (the
// inverse of the parent's matrix applied to the document coordinates), with
// the paint and class of the source they came from or whose place they took;
// the united outline (an object made since, with no source) gets the class
// "morvelin-outline" too.
//
// A drawing without a source (built in memory) is written whole: every path (and compound path, as one
// element with several subpaths) is written as <path d="..."> with absolute commands, followed by its paint
// as attributes: fill and stroke always, the other paint properties when they differ from SVG's defaults or
// when an enclosing group's kept attributes could set them otherwise. A paint server's text is written back
// while the path still has the grey that stands in for it. Groups are <g>; foreign objects are written
// verbatim; kept attributes follow. Ids are the objects' names, made unique by a "-2", "-3"... suffix where
// copies share one.
#pragma once

#include <ostream>
#include <string>

#include "cli/svg/svg_drawing.h"

namespace morvelin {

// The drawing as SVG text: its prolog (or an XML declaration when it has
// none), the `svg` element with the root's attributes (and the SVG namespace
// when they do not declare one), the art, the epilog.
std::string ExportSvg(const SvgDrawing& drawing);

// Writes the same text to `out` as it goes, object by object.
void WriteSvg(const SvgDrawing& drawing, std::ostream& out);

// True when the drawing's art is still the art read from its source: the
// same objects, each once, unchanged, none missing. It is then written back
// as read.
bool DrawingAsRead(const SvgDrawing& drawing);

// Writes the drawing's SVG to `path` as it goes (see WriteFileAtomically).
// Throws OutputError naming the file.
void SaveSvgFile(const SvgDrawing& drawing, const std::string& path);

}  // namespace morvelin
