// Builds without zlib (the Win32 tool, the browser page): compressed
// drawings are recognised and refused with a way out.
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_gzip.h"

namespace morvelin {

std::string Gunzip(std::string_view, const std::string& path, std::uint64_t) {
  throw SvgError(path,
                 "is a compressed drawing (gzip, .svgz), which this build does not read: unpack it first "
                 "(gzip -dc IN.svgz > IN.svg)");
}

}  // namespace morvelin
