// PNG previews in builds without librsvg: none.
#include "cli/png_render.h"
#include "cli/svg_errors.h"

namespace morvelin {

bool PngPreviewAvailable() { return false; }

void RenderSvgFileToPng(const std::string&, const std::string& pngPath) {
  throw OutputError(pngPath, "this build of morvelin writes no PNG previews");
}

bool RenderSvgFileToPixels(const std::string&, int, int, std::vector<uint32_t>*, std::string* error) {
  *error = "this build of morvelin draws no SVG";
  return false;
}

}  // namespace morvelin
