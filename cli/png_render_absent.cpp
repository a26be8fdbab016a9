// The Win32 build of the tool draws no PNG: the renderer's library is not
// built for Windows with the tool. --png reports that and writes nothing.
#include "cli/png_render.h"
#include "cli/svg_errors.h"

namespace morvelin {

void RenderPng(const SvgDrawing&, const std::string& path) {
  throw OutputError(path, "this Windows build of morvelin draws no PNG (its renderer is native-only)");
}

}  // namespace morvelin
