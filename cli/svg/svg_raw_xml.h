// SVG documents edited as XML: read from a file, parsed and written with
// attribute values kept as written, so that nodes the tool does not change
// go back out as they came in.
#pragma once

#include <pugixml.hpp>
#include <string>

#include "cli/svg/svg_input_file.h"
#include "cli/svg/svg_matrix.h"

namespace morvelin {

// How drawings are parsed: no reference decoding (values stay raw XML text),
// white space inside text, comments, processing instructions, the
// declaration and the doctype all kept.
constexpr unsigned kRawParseOptions = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_ws_pcdata |
                                      pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration |
                                      pugi::parse_doctype;
// How such nodes are written back: as they are, values unescaped.
constexpr unsigned kRawPrintOptions = pugi::format_raw | pugi::format_no_escapes;

// Re-quotes attribute values of `node` and all below it that hold '"'
// (possible where the source quoted them with '), so that the double-quoted
// output stays well-formed.
void RequoteAttributes(pugi::xml_node node);

// The text of the file at `path`, unpacked first when the file is
// gzip-compressed (.svgz). Throws SvgError for a folder, an unreadable file,
// a damaged compressed one and one over `maxBytes` (see ReadDrawingBytes).
std::string ReadSvgFile(const std::string& path, std::uint64_t maxBytes = kDefaultMaxInputBytes);

// "matrix(a b c d e f)", each number the shortest text that reads back as
// the same double.
std::string MatrixText(const SvgMatrix& m);

}  // namespace morvelin
