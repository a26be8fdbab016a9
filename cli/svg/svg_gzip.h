// Compressed drawings (.svgz): an SVG file packed with gzip, as Inkscape and
// other editors save it. The reader recognises one by its first two bytes,
// whatever the file's name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvelin {

// True when `bytes` start like a gzip stream (its two magic bytes).
inline bool IsGzip(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
         static_cast<unsigned char>(bytes[1]) == 0x8b;
}

// The unpacked contents of the gzip stream `bytes` (one member or several
// one after another, as gzip reads them), read from the file `path` (named
// in errors). Throws SvgError for a damaged or truncated stream, for bytes
// after it that are neither another member nor zero padding, for contents of
// more than `maxBytes` bytes (naming that limit; unpacking stops there), and
// in a build without zlib, saying that it reads only uncompressed drawings.
std::string Gunzip(std::string_view bytes, const std::string& path, std::uint64_t maxBytes);

}  // namespace morvelin
