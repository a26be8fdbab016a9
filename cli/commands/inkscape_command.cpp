#include "cli/commands/inkscape_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdint>
#include <iostream>
#include <sstream>

#include "cli/commands/commands.h"
#include "cli/commands/inkscape_effect.h"
#include "cli/commands/program_io.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_input_file.h"
#include "cli/svg/svg_raw_xml.h"

namespace morvelin {

namespace {

// The viscosity as Inkscape's integer parameter sends it.
bool ParseViscosity(const std::string& text, int* viscosity) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *viscosity);
  return result.ec == std::errc() && result.ptr == end && *viscosity >= 1 && *viscosity <= 100;
}

}  // namespace

int RunInkscapeCommand(const InkscapeOptions& options, std::ostream& out, std::ostream& err) {
  SelectionEffectRequest request;
  if (!ParseViscosity(options.viscosity, &request.viscosity)) {
    err << "Morvelin: the viscosity must be a whole number from 1 to 100, not \"" << options.viscosity
        << "\".\n";
    return 2;
  }
  const std::optional<std::uint64_t> maxInputBytes = ParseSizeArgument(options.maxInputSize);
  if (!maxInputBytes) {
    err << "Morvelin: --max-input-size: \"" << options.maxInputSize
        << "\" is not a size (a number of bytes, or of K, M or G: 256M)\n";
    return 2;
  }
  request.ids = options.ids;
  // Inkscape hands over a temporary copy, whose name means nothing to the
  // person reading the message.
  request.name = "the document";
  std::string result;
  try {
    request.text = ReadSvgFile(options.input, *maxInputBytes);
    result = ApplyEffectToSelection(request);
  } catch (const SvgError& error) {
    err << "Morvelin: " << error.what() << "\n";
    return 2;
  } catch (const EffectFailure& error) {
    err << "Morvelin: " << error.what() << "\n";
    return 1;
  }
  out << result;
  out.flush();
  if (!out) {
    err << "Morvelin: could not write the result\n";
    return 1;
  }
  return 0;
}

void AddInkscapeCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<InkscapeOptions>();
  CLI::App* command = app.add_subcommand(
      "inkscape",
      "Run as an Inkscape extension: apply the effect to the selected objects of IN, print the result");
  command->add_option("IN", options->input, "the document Inkscape hands over (-: the standard input)")
      ->required();
  command->add_option("--id", options->ids, "a selected object (once per object; none: the whole drawing)");
  command->add_option("--viscosity", options->viscosity, "the effect's viscosity, 1 to 100")
      ->capture_default_str();
  command
      ->add_option("--max-input-size", options->maxInputSize,
                   "the largest document read, as read and as unpacked (bytes, or with K, M or G)")
      ->capture_default_str();
  // Inkscape also names the nodes selected with its node tool; the effect
  // works on whole objects.
  command->add_option("--selected-nodes", "nodes selected in Inkscape's node tool (ignored)")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  command->footer(
      "Examples:\n"
      "  morvelin inkscape --id=c1 --id=c2 --viscosity=60 drawing.svg > blended.svg\n"
      "  morvelin inkscape --viscosity=50 - < drawing.svg > blended.svg\n");
  // Inkscape takes standard output as the new document, byte for byte.
  command->callback([options, &exitCode] {
    UseBinaryStandardOutput();
    exitCode = RunInkscapeCommand(*options, std::cout, std::cerr);
  });
}

}  // namespace morvelin
