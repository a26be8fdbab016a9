// The pieces of `morvelin bridge` that tests call directly: the JSON form of an outline, and the command body
// without CLI11.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "blend/bridge_geometry.h"
#include "cli/svg/float_text.h"
#include "params/effect_parameters.h"

namespace morvelin {

// The command's arguments as typed: the two circles X1 Y1 R1 X2 Y2 R2, the
// viscosity (1 to 100 in the effect; any float is accepted here) and the
// handle cap.
struct BridgeArguments {
  std::string circles[6];
  std::string viscosity = std::to_string(kRateDefault);
  std::string cap = "2";
};

// One line of JSON without a newline: `null` for no bridge, otherwise
// {"segments":[{"anchor":[x,y],"in":[x,y],"out":[x,y]},...]} for segments 0 to
// 3, each number the shortest text that reads back as the same float.
std::string BridgeOutlineJson(const std::optional<BridgeOutline>& outline);

// Parses the arguments, computes the outline with the standard point math and
// writes its JSON and a newline to `out`. Returns 0, or 2 after writing a
// message to `err` when an argument is not a float or `out` does not take the
// line.
int RunBridgeCommand(const BridgeArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace morvelin
