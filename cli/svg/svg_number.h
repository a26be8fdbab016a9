// Reading numbers and lengths out of SVG attribute values.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace morvelin {

// Walks a value holding numbers separated by white space and optional commas,
// as path data, point lists and transform arguments are written. Numbers
// follow SVG's grammar: "10", "-.5", "1e-3", "+2."; "-.5.5" is -0.5 then 0.5.
class NumberScanner {
 public:
  explicit NumberScanner(std::string_view text) : text_(text) {}

  // Skips white space.
  void SkipSpaces();
  // Skips white space, at most one comma, and white space again.
  void SkipSeparator();
  bool AtEnd() const { return at_ >= text_.size(); }
  // The next character, or '\0' at the end.
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
  void Advance() { ++at_; }
  std::size_t offset() const { return at_; }

  // Reads a number at the current position (no leading space skipped); empty
  // and the position unchanged when there is none.
  std::optional<double> Number();
  // Reads an arc flag: the single character '0' or '1'.
  std::optional<bool> Flag();

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// The whole of `text` (surrounding white space allowed) as one number.
std::optional<double> ParseNumber(std::string_view text);

// A length in user units. Absolute units convert at 96 user units to the
// inch (px, pt, pc, in, cm, mm; none means px). Units relative to the font or
// the viewport (em, ex, %) are not modelled: `relative` is set and nothing is
// returned. Anything else gives nothing with `relative` clear.
std::optional<double> ParseLength(std::string_view text, bool* relative);

// Trims white space at both ends.
std::string_view TrimSpaces(std::string_view text);

}  // namespace morvelin
