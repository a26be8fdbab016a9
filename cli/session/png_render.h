// PNG previews: the written SVG drawn by librsvg, as a browser or an editor
// shows it (text, gradients, filters, images and all). Builds without
// librsvg (the 32-bit Windows tool, WebAssembly) compile
// png_render_unavailable.cpp instead, and the tool leaves --png out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvelin {

// True when this build can write PNG previews.
bool PngPreviewAvailable();

// Draws the SVG file at `svgPath` on white and writes a PNG to `pngPath`
// (see WriteFileAtomically). The picture shows the document's viewport: its
// width and height, or its viewBox, or when it has neither what it draws;
// scaled so that its longer side is 800 pixels. Throws OutputError naming
// `pngPath` when the SVG cannot be drawn or the file cannot be written.
void RenderSvgFileToPng(const std::string& svgPath, const std::string& pngPath);
// The PNG file's bytes, for writing together with other files. `pngPath`
// only names the file in an OutputError; `svgName`, when given, is the name
// the SVG is known by (a staged temporary file stands in for it), used in
// messages and to resolve relative references.
std::string RenderSvgFileToPngBytes(const std::string& svgPath, const std::string& pngPath,
                                    const std::string& svgName = "");

// Draws the SVG file at `svgPath` on white into a `width` x `height`
// picture, the document's viewport fitted into it as its preserveAspectRatio
// says. `pixels` gets one 0xRRGGBB value per pixel, row by row. Relative
// references (style sheets, images) resolve against `baseFile` when given.
// Returns false with a message in *error when librsvg cannot read the file.
bool RenderSvgFileToPixels(const std::string& svgPath, int width, int height, std::vector<uint32_t>* pixels,
                           std::string* error, const std::string& baseFile = "");

}  // namespace morvelin
