// PNG previews in builds without librsvg: none.
#include "cli/session/png_render.h"
#include "cli/svg/svg_errors.h"

namespace morvelin {

bool PngPreviewAvailable() { return false; }

void RenderSvgFileToPng(const std::string&, const std::string& pngPath) {
  throw OutputError(pngPath, "this build of morvelin writes no PNG previews");
}

std::string RenderSvgFileToPngBytes(const std::string&, const std::string& pngPath, const std::string&) {
  throw OutputError(pngPath, "this build of morvelin writes no PNG previews");
}

bool RenderSvgFileToPixels(const std::string&, int, int, std::vector<uint32_t>*, std::string* error,
                           const std::string&) {
  *error = "this build of morvelin draws no SVG";
  return false;
}

}  // namespace morvelin
