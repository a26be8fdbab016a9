// PNG previews of art trees, drawn with cairo.
#pragma once

#include <string>

#include "cli/svg_drawing.h"
#include "standin/art/art_object.h"

namespace morvelin {

struct PngFrame {
  double left = 0, top = 0, width = 0, height = 0;
};

// Draws the paths under `root` (fills with their rule and colour, then
// strokes with width, join, cap, miter limit and dashes; compound paths as
// one shape) on a white background and writes a PNG to `path`. Guides,
// clipping paths and foreign objects are not drawn. The picture shows
// `frame`, or when it has no area the bounds of the drawing's paths with
// their strokes, with a margin, scaled so that its longer side is about
// 800 pixels. Throws OutputError naming the file when it cannot be written.
void RenderPng(const ArtObject* root, const std::string& path, const PngFrame& frame = {});
// The PNG file's bytes, for writing together with other files; `path` only
// names the file in an OutputError.
std::string RenderPngBytes(const ArtObject* root, const std::string& path, const PngFrame& frame = {});

// Renders a drawing framed by its `viewBox` when it has one.
void RenderPng(const SvgDrawing& drawing, const std::string& path);
std::string RenderPngBytes(const SvgDrawing& drawing, const std::string& path);

// The frame of the root's `viewBox` attribute; no area when there is none.
PngFrame ViewBoxFrame(const ArtObject* root);

}  // namespace morvelin
