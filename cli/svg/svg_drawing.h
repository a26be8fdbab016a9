// A drawing read from SVG: its art in the stand-in's art tree and what
// writing it back out needs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/svg/svg_source_document.h"
#include "standin/art/art_object.h"

namespace morvelin {

// The art is owned by the ArtStore it was imported into; a drawing only
// points at it and is valid while the store holds the root.
struct SvgDrawing {
  // The `svg` element as a group (a root of the art tree): its children in
  // document order, which is paint order. Its `attributes` are those of the
  // `svg` element (width, height, viewBox, namespace declarations), except a
  // transform, which is applied to the coordinates.
  ArtObject* root = nullptr;
  // The file name (or label) the drawing came from, used in messages.
  std::string source;
  // The source text before the `svg` element (XML declaration, comments,
  // doctype) and after its end tag (white space, comments, processing
  // instructions), written back unchanged.
  std::string prolog;
  std::string epilog;
  // The parsed source, when the drawing was read from SVG: the nodes the
  // art's `origin`s point to. Drawings share it; it is never changed once
  // read.
  std::shared_ptr<const SvgSourceDocument> document;
  // What the reader found wrong but drew around, as SVG renders it:
  // "<file>:<line>:<column>: warning: <problem>".
  std::vector<std::string> warnings;
};

}  // namespace morvelin
