// Unpacks .svgz drawings with zlib.
#include "cli/svg/svg_gzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_input_file.h"

namespace morvelin {

std::string Gunzip(std::string_view bytes, const std::string& path, std::uint64_t maxBytes) {
  z_stream stream{};
  // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
    throw SvgError(path, "cannot unpack the compressed drawing");
  std::string text;
  std::string problem;
  char buffer[1 << 16];
  std::size_t fed = 0;  // how much of `bytes` zlib was given
  int status = Z_OK;
  while (problem.empty()) {
    if (stream.avail_in == 0 && fed < bytes.size()) {
      // zlib counts its input in unsigned ints; feed a larger file in parts.
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + fed));
      stream.avail_in = static_cast<uInt>(std::min<std::size_t>(bytes.size() - fed, UINT_MAX));
      fed += stream.avail_in;
    }
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    // Z_BUF_ERROR: no input left before the stream's end, a cut-off file.
    status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) break;
    const std::size_t got = sizeof buffer - stream.avail_out;
    if (text.size() + got > maxBytes) {
      problem = TooLargeProblem("unpacks to more than", maxBytes);
      break;
    }
    text.append(buffer, got);
    if (status != Z_STREAM_END) continue;
    // A file may hold several gzip members one after another (`cat a.gz
    // b.gz` makes one); gzip reads them as one text, and takes zero bytes
    // after the last as padding.
    const std::string_view rest = bytes.substr(fed - stream.avail_in);
    if (std::all_of(rest.begin(), rest.end(), [](char c) { return c == '\0'; })) break;
    if (!IsGzip(rest)) problem = "the compressed drawing is followed by bytes that are not gzip data";
    inflateReset(&stream);
  }
  inflateEnd(&stream);
  if (!problem.empty()) throw SvgError(path, problem);
  // Only a stream that ends with its checked trailer is whole; anything else
  // would hand a cut-off drawing on as if it were all there.
  if (status != Z_STREAM_END) throw SvgError(path, "the compressed drawing is damaged or cut off (gzip)");
  return text;
}

}  // namespace morvelin
