#include "cli/svg/svg_xml_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "standin/text/utf8.h"

namespace morvelin {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

TextPosition PositionAt(std::string_view text, std::size_t offset) {
  TextPosition position{1, 1};
  for (std::size_t at = 0; at < offset && at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\n') {
      ++position.line;
      position.column = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++position.column;
    }
  }
  return position;
}

std::size_t AttributeValueOffset(std::string_view text, std::size_t nameOffset, std::string_view name) {
  std::size_t at = nameOffset;
  while (at < text.size() && !IsSpace(text[at]) && text[at] != '>' && text[at] != '/') ++at;
  while (at < text.size()) {
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at >= text.size() || text[at] == '>' || text[at] == '/') break;
    const std::size_t nameStart = at;
    while (at < text.size() && !IsSpace(text[at]) && text[at] != '=') ++at;
    const std::string_view attribute = text.substr(nameStart, at - nameStart);
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '=') break;
    ++at;
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (at >= text.size()) break;
    const char quote = text[at++];
    if (attribute == name) return at;
    const std::size_t end = text.find(quote, at);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return std::string_view::npos;
}

std::size_t ValueCharacterOffset(std::string_view text, std::size_t valueOffset, std::size_t index) {
  std::size_t at = valueOffset;
  for (std::size_t i = 0; i < index && at < text.size(); ++i) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    ++at;
  }
  return at;
}

std::string DecodeEntities(std::string_view raw) {
  if (raw.find('&') == std::string_view::npos) return std::string(raw);
  std::string out;
  for (std::size_t at = 0; at < raw.size();) {
    const std::size_t semicolon = raw[at] == '&' ? raw.find(';', at) : std::string_view::npos;
    if (semicolon == std::string_view::npos) {
      out += raw[at++];
      continue;
    }
    const std::string name(raw.substr(at + 1, semicolon - at - 1));
    if (name == "amp")
      out += '&';
    else if (name == "lt")
      out += '<';
    else if (name == "gt")
      out += '>';
    else if (name == "quot")
      out += '"';
    else if (name == "apos")
      out += '\'';
    else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const unsigned long code = std::strtoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
      if (code == 0 || code > 0x10FFFF) {
        out.append(raw.substr(at, semicolon + 1 - at));
      } else {
        standin::AppendUtf8(out, static_cast<uint32_t>(code));
      }
    } else {
      out.append(raw.substr(at, semicolon + 1 - at));
    }
    at = semicolon + 1;
  }
  return out;
}

std::string EscapeAttribute(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace morvelin
