// Unpacks .svgz drawings with zlib.
#include "cli/svg/svg_gzip.h"

#include <zlib.h>

#include <climits>

#include "cli/svg/svg_errors.h"

namespace morvelin {

std::string Gunzip(std::string_view bytes, const std::string& path) {
  z_stream stream{};
  // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
    throw SvgError(path, "cannot unpack the compressed drawing");
  std::string text;
  char buffer[1 << 16];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  int status = Z_OK;
  std::size_t left = bytes.size();
  while (status != Z_STREAM_END) {
    if (stream.avail_in == 0) {
      if (left == 0) break;
      // zlib counts its input in unsigned ints; feed a larger file in parts.
      stream.avail_in = static_cast<uInt>(left < UINT_MAX ? left : UINT_MAX);
      left -= stream.avail_in;
    }
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) break;
    text.append(buffer, sizeof buffer - stream.avail_out);
  }
  inflateEnd(&stream);
  // Only a stream that ends with its checked trailer is whole; anything else
  // would hand a cut-off drawing on as if it were all there.
  if (status != Z_STREAM_END) throw SvgError(path, "the compressed drawing is damaged or cut off (gzip)");
  return text;
}

}  // namespace morvelin
