#include "cli/svg/number_chars.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <cstring>
#include <string>

#define FMT_HEADER_ONLY
#include <fmt/format.h>

namespace morvelin {

namespace {

// fast_float gives an infinity or a zero where the number lies beyond the
// type's range; std::from_chars reports those as out of range instead.
template <typename T>
ReadCharsResult ReadNumber(const char* first, const char* last, T& value) {
  T parsed = 0;
  const fast_float::from_chars_result result = fast_float::from_chars(first, last, parsed);
  if (result.ec != std::errc()) return {result.ptr, result.ec};
  const char* mantissa = first;
  if (mantissa != result.ptr && *mantissa == '-') ++mantissa;
  const bool named = mantissa != result.ptr &&
                     (*mantissa == 'i' || *mantissa == 'I' || *mantissa == 'n' || *mantissa == 'N');
  if (!named && std::isinf(parsed)) return {result.ptr, std::errc::result_out_of_range};
  if (!named && parsed == 0) {
    for (const char* c = mantissa; c != result.ptr && *c != 'e' && *c != 'E'; ++c) {
      if (*c >= '1' && *c <= '9') return {result.ptr, std::errc::result_out_of_range};
    }
  }
  value = parsed;
  return {result.ptr, std::errc()};
}

// fmt's "{}" gives the shortest round-trip digits, but in a form of its own
// choosing; the digits and the decimal exponent are taken from it and written
// in the form std::to_chars chooses.
template <typename T>
WriteCharsResult WriteNumber(char* first, char* last, T value) {
  std::string text;
  if (std::isnan(value)) {
    text = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    const std::string shortest = fmt::format("{}", value);
    std::size_t at = 0;
    const bool negative = shortest[0] == '-';
    if (negative) ++at;
    // Digits without the point, and `point`: how many of them stand before it.
    std::string digits;
    int point = 0;
    bool seenPoint = false;
    for (; at < shortest.size() && shortest[at] != 'e'; ++at) {
      if (shortest[at] == '.') {
        seenPoint = true;
      } else {
        digits += shortest[at];
        if (!seenPoint) ++point;
      }
    }
    if (at < shortest.size()) point += std::stoi(shortest.substr(at + 1));
    // Leading zeros move the point; trailing zeros are no significant digits.
    std::size_t lead = 0;
    while (lead + 1 < digits.size() && digits[lead] == '0') ++lead;
    digits.erase(0, lead);
    point -= static_cast<int>(lead);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int count = static_cast<int>(digits.size());

    std::string fixed;
    if (digits == "0") {
      fixed = "0";
    } else if (point <= 0) {
      fixed = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point > count) {
      // Of the whole numbers of `point` digits that read back as `value`,
      // std::to_chars writes the nearest: the value itself, which is whole
      // at these magnitudes, not the shortest digits padded with zeros.
      fixed = fmt::format("{:.0f}", negative ? -value : value);
    } else if (point == count) {
      fixed = digits;
    } else {
      fixed = digits.substr(0, static_cast<std::size_t>(point)) + "." +
              digits.substr(static_cast<std::size_t>(point));
    }
    const int exponent = digits == "0" ? 0 : point - 1;
    std::string scientific = digits.substr(0, 1);
    if (count > 1) scientific += "." + digits.substr(1);
    scientific += exponent < 0 ? "e-" : "e+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) scientific += '0';
    scientific += std::to_string(magnitude);

    text = negative ? "-" : "";
    text += fixed.size() <= scientific.size() ? fixed : scientific;
  }
  if (text.size() > static_cast<std::size_t>(last - first)) return {last, std::errc::value_too_large};
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

}  // namespace

ReadCharsResult ReadChars(const char* first, const char* last, double& value) {
  return ReadNumber(first, last, value);
}

ReadCharsResult ReadChars(const char* first, const char* last, float& value) {
  return ReadNumber(first, last, value);
}

WriteCharsResult WriteChars(char* first, char* last, double value) { return WriteNumber(first, last, value); }

WriteCharsResult WriteChars(char* first, char* last, float value) { return WriteNumber(first, last, value); }

}  // namespace morvelin
