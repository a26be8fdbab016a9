// `morvelin bridge X1 Y1 R1 X2 Y2 R2 [--viscosity V] [--cap B]`: prints the
// bridge outline between two circles as one line of JSON.
#include "cli/commands/bridge_command.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands/commands.h"
#include "cli/svg/float_text.h"
#include "cli/svg/number_chars.h"

namespace morvelin {

namespace {

const char* const kCircleNames[6] = {"X1", "Y1", "R1", "X2", "Y2", "R2"};

void AppendPointJson(std::string& json, const HostPoint& point) {
  json += '[';
  json += FloatText(point.h);
  json += ',';
  json += FloatText(point.v);
  json += ']';
}

// Parses one argument, or writes why it is not a number to `err`.
std::optional<float> ParseNamedArgument(const char* name, const std::string& text, std::ostream& err) {
  const std::optional<float> value = ParseFloatArgument(text);
  if (!value) err << "morvelin bridge: " << name << ": " << FloatArgumentProblem(text) << "\n";
  return value;
}

}  // namespace

std::string BridgeOutlineJson(const std::optional<BridgeOutline>& outline) {
  if (!outline) return "null";
  std::string json = "{\"segments\":[";
  for (int i = 0; i < 4; ++i) {
    const PathSegment& segment = outline->segments[i];
    if (i > 0) json += ',';
    json += "{\"anchor\":";
    AppendPointJson(json, segment.p);
    json += ",\"in\":";
    AppendPointJson(json, segment.in);
    json += ",\"out\":";
    AppendPointJson(json, segment.out);
    json += '}';
  }
  json += "]}";
  return json;
}

int RunBridgeCommand(const BridgeArguments& arguments, std::ostream& out, std::ostream& err) {
  float circleNumbers[6];
  for (int i = 0; i < 6; ++i) {
    const std::optional<float> value = ParseNamedArgument(kCircleNames[i], arguments.circles[i], err);
    if (!value) return 2;
    circleNumbers[i] = *value;
  }
  const std::optional<float> viscosity = ParseNamedArgument("--viscosity", arguments.viscosity, err);
  if (!viscosity) return 2;
  const std::optional<float> cap = ParseNamedArgument("--cap", arguments.cap, err);
  if (!cap) return 2;

  const BlendCircle first = {{circleNumbers[0], circleNumbers[1]}, circleNumbers[2]};
  const BlendCircle second = {{circleNumbers[3], circleNumbers[4]}, circleNumbers[5]};
  // The rate fraction as the effect forms it: viscosity / 100 in double,
  // rounded to float.
  const HostReal rate = static_cast<HostReal>(static_cast<double>(*viscosity) / 100.0);
  out << BridgeOutlineJson(ComputeBridgeOutline(first, second, rate, *cap)) << '\n';
  // A line that did not arrive (a full disk, a closed pipe) is a failure.
  if (!out.flush()) {
    err << "morvelin bridge: cannot write to standard output\n";
    return 2;
  }
  return 0;
}

void AddBridgeCommand(CLI::App& app, int& exitCode) {
  // Owned by the callback, which outlives this function with the app.
  auto arguments = std::make_shared<BridgeArguments>();
  CLI::App* command = app.add_subcommand(
      "bridge",
      "Print the bridge outline between circle (X1,Y1,R1) and circle (X2,Y2,R2) as JSON, or null when no "
      "bridge is made. Put -- before the circles when a number starts with '-' followed by a non-digit.");
  for (int i = 0; i < 6; ++i) {
    command->add_option(kCircleNames[i], arguments->circles[i], "a 32-bit float")->required();
  }
  command->add_option("--viscosity", arguments->viscosity, "viscosity; the rate fraction is V/100")
      ->capture_default_str();
  command->add_option("--cap", arguments->cap, "handle cap b")->capture_default_str();
  command->footer(
      "Examples:\n"
      "  morvelin bridge 0 0 10 30 0 10\n"
      "  morvelin bridge 0 0 10 25 5 8 --viscosity 80 --cap 0.5\n"
      "  morvelin bridge -- -20 0 10 20 0 10\n");
  command->callback(
      [arguments, &exitCode] { exitCode = RunBridgeCommand(*arguments, std::cout, std::cerr); });
}

}  // namespace morvelin
