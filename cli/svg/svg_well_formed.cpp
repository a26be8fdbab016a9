#include "cli/svg/svg_well_formed.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/svg/svg_raw_xml.h"

namespace morvelin {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
  return at <= text.size() && text.substr(at, prefix.size()) == prefix;
}

// Just after the first `marker` from `from`; the end of the text when there
// is none.
std::size_t After(std::string_view text, std::size_t from, std::string_view marker) {
  const std::size_t found = text.find(marker, from);
  return found == npos ? text.size() : found + marker.size();
}

std::string CodeText(uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
  return text;
}

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// Refuses, by their first bytes, the encodings the tool does not read.
void CheckEncoding(const SvgSource& source) {
  const std::string_view text = source.text;
  auto starts = [text](std::string_view bytes) { return text.substr(0, bytes.size()) == bytes; };
  using namespace std::string_view_literals;
  const char* found = nullptr;
  if (starts("\0\0\xFE\xFF"sv) || starts("\xFF\xFE\0\0"sv) || starts("\0\0\0<"sv) || starts("<\0\0\0"sv)) {
    found = "UTF-32";
  } else if (starts("\xFE\xFF"sv) || starts("\xFF\xFE"sv) || starts("\0<"sv) || starts("<\0"sv)) {
    found = "UTF-16";
  }
  if (found != nullptr) {
    FailAtOffset(source, 0,
                 std::string("the file is in ") + found + ", which the tool does not read: save it as UTF-8");
  }
}

// The encoding the XML declaration names, in lower case; empty when none.
std::string DeclaredEncoding(std::string_view text) {
  const std::size_t start = StartsWith(text, 0, "\xEF\xBB\xBF") ? 3 : 0;
  if (!StartsWith(text, start, "<?xml") || start + 5 >= text.size() || !IsXmlSpace(text[start + 5]))
    return "";
  const std::size_t end = text.find("?>", start);
  if (end == npos) return "";
  const std::string_view declaration = text.substr(start, end - start);
  std::size_t at = declaration.find("encoding");
  if (at == npos) return "";
  at += 8;
  while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return "";
  ++at;
  while (at < declaration.size() && IsXmlSpace(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return "";
  const std::size_t close = declaration.find(declaration[at], at + 1);
  if (close == npos) return "";
  std::string name(declaration.substr(at + 1, close - at - 1));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// A document whose declaration names another encoding that keeps ASCII as
// it is (ISO-8859-1, windows-1252, Shift_JIS...) has its other bytes taken
// as they are; the UTF-16 and UTF-32 names describe no text that reached
// this point, which is read as UTF-8.
bool ReadsAsUtf8(const std::string& encoding) {
  return encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding.rfind("utf-16", 0) == 0 ||
         encoding.rfind("utf-32", 0) == 0 || encoding.rfind("ucs", 0) == 0;
}

// Refuses bytes that are not UTF-8 (when the text is read as UTF-8) and
// characters XML does not allow.
void CheckCharacters(const SvgSource& source, bool utf8) {
  const std::string_view text = source.text;
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (!IsXmlChar(byte))
        FailAtOffset(source, at, "character " + CodeText(byte) + " is not allowed in XML");
      ++at;
      continue;
    }
    if (!utf8) {
      ++at;
      continue;
    }
    std::size_t length = 0;
    uint32_t code = 0;
    uint32_t least = 0;
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2, code = byte & 0x1Fu, least = 0x80;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3, code = byte & 0x0Fu, least = 0x800;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4, code = byte & 0x07u, least = 0x10000;
    }
    bool valid = length != 0 && at + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    valid = valid && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (!valid) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", byte);
      FailAtOffset(source, at,
                   std::string("byte ") + hex +
                       " is not UTF-8 (a drawing is UTF-8 unless its XML declaration names an encoding)");
    }
    if (!IsXmlChar(code)) FailAtOffset(source, at, "character " + CodeText(code) + " is not allowed in XML");
    at += length;
  }
}

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || std::isdigit(c) || c == '-' || c == '.'; }

// Checks that each '&' in text[begin, end) starts a reference: "&name;", or
// "&#digits;" or "&#xhex;" naming a character XML allows.
void CheckReferences(const SvgSource& source, std::size_t begin, std::size_t end) {
  const std::string_view text = source.text.substr(0, end);
  for (std::size_t at = text.find('&', begin); at != npos; at = text.find('&', at + 1)) {
    std::size_t i = at + 1;
    bool valid = false;
    if (i < text.size() && text[i] == '#') {
      const bool hex = ++i < text.size() && text[i] == 'x';
      if (hex) ++i;
      const std::size_t first = i;
      uint32_t code = 0;
      for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!(hex ? std::isxdigit(c) : std::isdigit(c))) break;
        const uint32_t digit = std::isdigit(c) ? c - '0' : static_cast<uint32_t>(std::tolower(c) - 'a' + 10);
        if (code <= 0x10FFFF) code = code * (hex ? 16 : 10) + digit;
      }
      valid = i > first && i < text.size() && text[i] == ';';
      if (valid && !IsXmlChar(code)) {
        FailAtOffset(source, at,
                     "the reference " + std::string(text.substr(at, i + 1 - at)) + " is to " +
                         (code > 0x10FFFF ? std::string("no character") : CodeText(code)) +
                         ", which XML does not allow");
      }
    } else {
      const std::size_t first = i;
      while (i < text.size() && IsNameChar(static_cast<unsigned char>(text[i]))) ++i;
      valid = i > first && IsNameStart(static_cast<unsigned char>(text[first])) && i < text.size() &&
              text[i] == ';';
    }
    if (!valid) FailAtOffset(source, at, "'&' starts no reference (write &amp; for '&')");
  }
}

// The end (just after its last '>') of the element whose start tag begins at
// `at`; checks its attribute values and text on the way. The parser has
// accepted the text, so tags are complete and nest.
std::size_t ElementEnd(const SvgSource& source, std::size_t at) {
  const std::string_view text = source.text;
  std::size_t depth = 0;
  while (at < text.size()) {
    if (text[at] != '<') {
      const std::size_t next = std::min(text.find('<', at), text.size());
      CheckReferences(source, at, next);
      at = next;
    } else if (StartsWith(text, at, "<!--")) {
      at = After(text, at + 4, "-->");
    } else if (StartsWith(text, at, "<![CDATA[")) {
      at = After(text, at + 9, "]]>");
    } else if (StartsWith(text, at, "<?")) {
      at = After(text, at + 2, "?>");
    } else if (StartsWith(text, at, "</")) {
      at = After(text, at + 2, ">");
      if (depth <= 1) return at;
      --depth;
    } else if (StartsWith(text, at, "<!")) {
      at = After(text, at + 2, ">");
    } else {
      // A start tag: the name, then attributes up to '>' or "/>".
      ++at;
      while (at < text.size() && !IsXmlSpace(text[at]) && text[at] != '>' && text[at] != '/') ++at;
      for (;;) {
        while (at < text.size() && IsXmlSpace(text[at])) ++at;
        if (at >= text.size()) return text.size();
        if (text[at] == '>') {
          ++at;
          ++depth;
          break;
        }
        if (StartsWith(text, at, "/>")) {
          at += 2;
          if (depth == 0) return at;
          break;
        }
        const std::size_t open = text.find_first_of("\"'", at);
        const std::size_t close = open == npos ? npos : text.find(text[open], open + 1);
        if (close == npos) return text.size();
        const std::size_t less = text.substr(open + 1, close - open - 1).find('<');
        if (less != npos) {
          FailAtOffset(source, open + 1 + less, "'<' inside an attribute value (write &lt; for '<')");
        }
        CheckReferences(source, open + 1, close);
        at = close + 1;
      }
    }
  }
  return text.size();
}

// Just after the '>' that ends the doctype starting at `at`, past its
// internal subset (whose quoted values and comments may hold '>').
std::size_t DoctypeEnd(std::string_view text, std::size_t at) {
  bool subset = false;
  for (at += 9; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"' || c == '\'') {
      at = text.find(c, at + 1);
      if (at == npos) return text.size();
    } else if (subset && StartsWith(text, at, "<!--")) {
      at = After(text, at + 4, "-->") - 1;
    } else if (subset && StartsWith(text, at, "<?")) {
      at = After(text, at + 2, "?>") - 1;
    } else if (c == '[') {
      subset = true;
    } else if (c == ']') {
      subset = false;
    } else if (c == '>' && !subset) {
      return at + 1;
    }
  }
  return text.size();
}

// Outside the root element only white space, comments, processing
// instructions, the declaration and a doctype before it may stand.
XmlLayout CheckStructure(const SvgSource& source) {
  const std::string_view text = source.text;
  XmlLayout layout;
  bool root = false;
  std::size_t at = StartsWith(text, 0, "\xEF\xBB\xBF") ? 3 : 0;
  for (;;) {
    while (at < text.size() && IsXmlSpace(text[at])) ++at;
    if (at >= text.size()) break;
    if (StartsWith(text, at, "<?")) {
      at = After(text, at + 2, "?>");
    } else if (StartsWith(text, at, "<!--")) {
      at = After(text, at + 4, "-->");
    } else if (StartsWith(text, at, "<!DOCTYPE") && !root) {
      at = DoctypeEnd(text, at);
    } else if (text[at] == '<' && at + 1 < text.size() &&
               IsNameStart(static_cast<unsigned char>(text[at + 1]))) {
      if (root) FailAtOffset(source, at, "a second root element (a document has one)");
      root = true;
      layout.rootStart = at;
      layout.rootEnd = ElementEnd(source, at);
      at = layout.rootEnd;
    } else {
      FailAtOffset(source, at, root ? "text after the root element" : "text before the root element");
    }
  }
  if (!root) FailAtOffset(source, text.size(), "no root element");
  return layout;
}

}  // namespace

XmlLayout ParseXmlStrictly(pugi::xml_document& document, const SvgSource& source) {
  CheckEncoding(source);
  CheckCharacters(source, ReadsAsUtf8(DeclaredEncoding(source.text)));
  const pugi::xml_parse_result parsed =
      document.load_buffer(source.text.data(), source.text.size(), kRawParseOptions, pugi::encoding_utf8);
  if (!parsed) FailAtOffset(source, static_cast<std::size_t>(parsed.offset), parsed.description());
  return CheckStructure(source);
}

}  // namespace morvelin
