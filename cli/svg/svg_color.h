// SVG colour values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvelin {

// A colour quantised to 8 bits a channel, as SVG colours are, so that a colour
// written back as #rrggbb reads back the same. `alpha` comes only from rgba().
struct SvgColor {
  uint8_t red = 0, green = 0, blue = 0;
  double alpha = 1;
};

// A colour: one of the CSS named colours (any letter case), #rgb, #rrggbb,
// rgb(r, g, b) with numbers 0..255 or percentages, rgba(r, g, b, a).
// Components out of range are clamped. Nothing for anything else.
std::optional<SvgColor> ParseColor(std::string_view text);

}  // namespace morvelin
