#include "standin/text/printable_text.h"

#include <cstdint>

namespace standin {

namespace {

void AppendEscaped(std::string& out, std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
}

// The length of the UTF-8 sequence at `at` and its code point; 0 when the
// bytes there are not UTF-8.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, uint32_t* code) {
  const auto byte = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  uint32_t least = 0;
  if (byte >= 0xC2 && byte <= 0xDF) {
    length = 2, *code = byte & 0x1Fu, least = 0x80;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    length = 3, *code = byte & 0x0Fu, least = 0x800;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    length = 4, *code = byte & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    *code = (*code << 6) | (next & 0x3Fu);
  }
  if (*code < least || *code > 0x10FFFF || (*code >= 0xD800 && *code <= 0xDFFF)) return 0;
  return length;
}

bool ActsOnTheText(uint32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x061C || code == 0x200E ||
         code == 0x200F || (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "null") return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!letter(name[0])) return false;
  for (const char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.' && c != ':') return false;
  }
  return true;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      if (ActsOnTheText(byte)) {
        AppendEscaped(out, text.substr(at, 1));
      } else {
        out += text[at];
      }
      ++at;
      continue;
    }
    uint32_t code = 0;
    const std::size_t length = Utf8Sequence(text, at, &code);
    if (length == 0) {
      AppendEscaped(out, text.substr(at, 1));
      ++at;
    } else {
      if (ActsOnTheText(code)) {
        AppendEscaped(out, text.substr(at, length));
      } else {
        out.append(text.substr(at, length));
      }
      at += length;
    }
  }
  return out;
}

std::string NameText(std::string_view name) {
  if (IsPlainName(name)) return std::string(name);
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return PrintableText(quoted) + "\"";
}

}  // namespace standin
