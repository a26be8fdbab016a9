#include "cli/commands/viscosity_warning.h"

#include <cmath>

#include "cli/svg/float_text.h"
#include "params/effect_parameters.h"

namespace morvelin {

std::string ViscosityWarning(float viscosity) {
  if (viscosity >= kRateMinimum && viscosity <= kRateMaximum) return "";
  const std::string range = std::to_string(kRateMinimum) + " to " + std::to_string(kRateMaximum);
  const std::string value = "viscosity " + FloatText(viscosity);
  if (!std::isfinite(viscosity)) {
    return value + " is not a finite number (the dialog offers " + range +
           "); the plug-in reads it as no viscosity and leaves the drawing unchanged";
  }
  if (viscosity == 0.0f) {
    return value + " is outside " + range +
           ", the range the dialog offers; the plug-in takes 0 as no effect and leaves the drawing unchanged";
  }
  // The rate fraction the plug-in computes: the rate / 100 in double,
  // rounded to a float.
  const float fraction = static_cast<float>(static_cast<double>(viscosity) / 100.0);
  return value + " is outside " + range +
         ", the range the dialog offers; the plug-in uses it as it is (rate fraction " + FloatText(fraction) +
         ")";
}

}  // namespace morvelin
