// Positions in XML source text, white space, and the escaping of attribute
// values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvelin {

struct TextPosition {
  int line = 0;    // from 1
  int column = 0;  // from 1, in characters (UTF-8 sequences count once)
};

// The line and column of byte `offset` in `text`.
TextPosition PositionAt(std::string_view text, std::size_t offset);

// The offset in `text` of the first character of the value of attribute
// `name` in the start tag whose name begins at `nameOffset`; npos when the tag
// has no such attribute.
std::size_t AttributeValueOffset(std::string_view text, std::size_t nameOffset, std::string_view name);

// The offset in `text` of character `index` of an attribute value that starts
// at `valueOffset`, where the parser has turned each CR LF into one LF.
std::size_t ValueCharacterOffset(std::string_view text, std::size_t valueOffset, std::size_t index);

// An attribute value as written (with entity and character references)
// turned into its text. Unknown entities stay as written.
std::string DecodeEntities(std::string_view raw);

// True when `text` is empty or XML white space only (space, tab, CR, LF).
bool IsBlank(std::string_view text);

// Text escaped for a double-quoted attribute value.
std::string EscapeAttribute(std::string_view text);

}  // namespace morvelin
