// Reading XML as strictly as XML 1.0 asks: what the parser lets through
// (text outside the root, a second root, bytes that are not UTF-8,
// characters XML does not allow, stray '&' and '<') is refused at its place.
#pragma once

#include <cstddef>
#include <pugixml.hpp>

#include "cli/svg/svg_element.h"

namespace morvelin {

// Where parsing found the root element in the source text.
struct XmlLayout {
  std::size_t rootStart = 0;  // the '<' of its start tag
  std::size_t rootEnd = 0;    // just after the '>' that ends it
};

// Parses `source.text` into `document` with the raw options (values as
// written; see svg_raw_xml.h). Throws SvgError at the place of the first
// fault for text that is not well-formed XML 1.0 in UTF-8 (or in the
// single-byte encoding its declaration names):
// - a file in UTF-16 or UTF-32 (by its byte order mark or first bytes);
// - bytes that are not UTF-8; characters XML does not allow (NUL and the
//   other controls below U+0020 except tab, line feed and carriage return,
//   U+FFFE, U+FFFF), written or as character references;
// - a '&' that starts no reference, a '<' inside an attribute value;
// - text before or after the root element, a second root element, none;
// - everything the parser itself refuses.
XmlLayout ParseXmlStrictly(pugi::xml_document& document, const SvgSource& source);

}  // namespace morvelin
