#include "cli/svg/svg_number.h"

#include <cctype>
#include <string>

#include "cli/svg/number_chars.h"

namespace morvelin {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

void NumberScanner::SkipSpaces() {
  while (!AtEnd() && IsSpace(text_[at_])) ++at_;
}

void NumberScanner::SkipSeparator() {
  SkipSpaces();
  if (Peek() == ',') {
    ++at_;
    SkipSpaces();
  }
}

std::optional<double> NumberScanner::Number() {
  std::size_t end = at_;
  auto digitsFrom = [&](std::size_t from) {
    while (from < text_.size() && IsDigit(text_[from])) ++from;
    return from;
  };
  if (end < text_.size() && (text_[end] == '+' || text_[end] == '-')) ++end;
  const std::size_t mantissa = end;
  end = digitsFrom(end);
  bool any = end > mantissa;
  if (end < text_.size() && text_[end] == '.') {
    const std::size_t fraction = end + 1;
    const std::size_t fractionEnd = digitsFrom(fraction);
    if (fractionEnd > fraction || any) {
      any = true;
      end = fractionEnd;
    }
  }
  if (!any) return std::nullopt;
  // An exponent only when digits follow, so that "1em" stays 1 and a unit.
  if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = digitsFrom(exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  // ReadChars takes no leading '+'.
  std::size_t from = at_;
  if (text_[from] == '+') ++from;
  double value = 0;
  const auto result = ReadChars(text_.data() + from, text_.data() + end, value);
  if (result.ec != std::errc() || result.ptr != text_.data() + end) return std::nullopt;
  at_ = end;
  return value;
}

std::optional<bool> NumberScanner::Flag() {
  const char c = Peek();
  if (c != '0' && c != '1') return std::nullopt;
  ++at_;
  return c == '1';
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimSpaces(text);
  NumberScanner scanner(text);
  const auto value = scanner.Number();
  if (!value || !scanner.AtEnd()) return std::nullopt;
  return value;
}

std::optional<double> ParseLength(std::string_view text, bool* relative) {
  *relative = false;
  text = TrimSpaces(text);
  NumberScanner scanner(text);
  const auto value = scanner.Number();
  if (!value) return std::nullopt;
  std::string unit(text.substr(scanner.offset()));
  for (char& c : unit) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (unit.empty() || unit == "px") return *value;
  if (unit == "pt") return *value * 96.0 / 72.0;
  if (unit == "pc") return *value * 16.0;
  if (unit == "in") return *value * 96.0;
  if (unit == "cm") return *value * 96.0 / 2.54;
  if (unit == "mm") return *value * 96.0 / 25.4;
  if (unit == "em" || unit == "ex" || unit == "%") *relative = true;
  return std::nullopt;
}

}  // namespace morvelin
