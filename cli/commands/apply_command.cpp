#include "cli/commands/apply_command.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/viscosity_warning.h"
#include "cli/session/effect_session.h"
#include "cli/session/png_render.h"
#include "cli/svg/float_text.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_export.h"
#include "cli/svg/svg_input_file.h"
#include "cli/svg/svg_output_file.h"
#include "standin/unite/unite_engine.h"

namespace morvelin {

namespace {

// Everything between start-up and shut-down: loads the drawing, applies the
// effect, reports and saves. Messages for `err` go to `messages`.
int ApplyInSession(EffectSession& session, const ApplyOptions& options, float viscosity,
                   std::uint64_t maxInputBytes, std::ostream& out, std::ostream& messages) {
  if (session.startup() != kHostNoError) {
    messages << "morvelin apply: the plug-in did not start: " << CodeForPeople(session.startup()) << "\n";
    return kExitFailed;
  }
  try {
    session.LoadDrawing(options.input, maxInputBytes);
  } catch (const SvgError& error) {
    messages << "morvelin apply: " << error.what() << "\n";
    return kExitBadInput;
  }
  for (const std::string& warning : session.drawing().warnings) messages << warning << "\n";

  standin::Host& host = session.host();
  host.unite().SetMerging(!options.noUnite);
  standin::EffectApplication& application = session.ApplyEffect(viscosity);
  const HostError result = host.effects().Execute(application);
  if (result != kHostNoError) {
    messages << "morvelin apply: the effect failed: " << CodeForPeople(result) << "\n";
    return kExitFailed;
  }

  const int listed = host.unite().calls() > 0 ? host.unite().lastCall().count : 0;
  const std::string source = options.input.empty() ? "the built-in sample" : InputName(options.input);
  if (DrawingAsRead(session.Shown(application))) {
    out << "No bridge in " << source << ": the drawing is unchanged.\n";
  } else if (listed == 0) {
    out << "No bridge in " << source << "; the paths it collected now have round joins.\n";
  } else if (options.noUnite) {
    out << "Bridges built in " << source << "; " << listed << " objects left as they are (--no-unite).\n";
  } else {
    out << "United " << listed << " objects (circles and bridges) in " << source << ".\n";
  }

  // A report that cannot be written (a full disk, a closed pipe) fails the
  // run before any file is written.
  if (!out.flush()) {
    messages << "morvelin apply: cannot write the report to standard output; no file was written\n";
    return kExitBadInput;
  }
  try {
    session.Save(application, options.output, options.png);
  } catch (const OutputError& error) {
    messages << "morvelin apply: " << error.what() << "\n";
    return kExitBadInput;
  }
  out << "Wrote " << OutputName(options.output)
      << (options.png.empty() ? "" : " and " + OutputName(options.png)) << ".\n";
  if (!out.flush()) {
    messages << "morvelin apply: cannot write the report to standard output (the files were written)\n";
    return kExitBadInput;
  }
  return kExitDone;
}

}  // namespace

int RunApplyCommand(const ApplyOptions& options, std::ostream& out, std::ostream& err) {
  const std::optional<float> viscosity = ParseFloatArgument(options.viscosity);
  if (!viscosity.has_value()) {
    err << "morvelin apply: --viscosity: " << FloatArgumentProblem(options.viscosity) << "\n";
    return kExitBadInput;
  }
  const std::optional<std::uint64_t> maxInputBytes = ParseSizeArgument(options.maxInputSize);
  if (!maxInputBytes.has_value()) {
    err << "morvelin apply: --max-input-size: \"" << options.maxInputSize
        << "\" is not a size (a number of bytes, or of K, M or G: 256M)\n";
    return kExitBadInput;
  }
  if (IsStandardStream(options.output) && IsStandardStream(options.png)) {
    err << "morvelin apply: --png -: the SVG already goes to standard output (-o -); write the PNG to a "
           "file\n";
    return kExitBadInput;
  }
  // Every output is checked before anything runs: a run that would end in a
  // refused file stops here, not after the effect.
  std::vector<std::string> outputs = {options.output};
  if (!options.png.empty()) outputs.push_back(options.png);
  bool toStandardOutput = false;
  try {
    for (const OutputTarget& target : CheckOutputTargets(outputs, options.input))
      toStandardOutput = toStandardOutput || target.kind == OutputTarget::Kind::kStandardOutput;
  } catch (const OutputError& error) {
    err << "morvelin apply: " << error.what() << "\n";
    return kExitBadInput;
  }
  // An output on the standard output gets it to itself; the report goes to
  // the standard error then. --quiet drops it.
  std::ostringstream dropped;
  std::ostream& report = options.quiet ? dropped : toStandardOutput ? err : out;
  const std::string warning = ViscosityWarning(*viscosity);
  if (!warning.empty()) err << "morvelin apply: warning: " << warning << "\n";

  std::ostringstream messages;
  EffectSession session(options.trace);
  const int code = ApplyInSession(session, options, *viscosity, *maxInputBytes, report, messages);
  session.Shutdown();
  // The trace covers the whole run, start-up to shut-down; the messages
  // follow it, so that the last line says how the run ended.
  if (options.trace) err << session.host().journal().Dump();
  err << messages.str();
  return code;
}

void AddApplyCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ApplyOptions>();
  CLI::App* command =
      app.add_subcommand("apply", "Apply the effect to a drawing (the built-in sample without IN)");
  command->add_option("IN", options->input, "SVG drawing to read (-: the standard input)");
  command->add_option("-o,--output", options->output, "SVG file to write (-: the standard output)")
      ->capture_default_str();
  command->add_option("--viscosity", options->viscosity, "the effect's viscosity, 1 to 100")
      ->capture_default_str();
  command->add_flag("--no-unite", options->noUnite, "build the bridges but leave the objects ununited");
  std::string footer =
      "Examples:\n"
      "  morvelin apply drawing.svg -o blended.svg --viscosity 70\n"
      "  cat drawing.svg | morvelin apply - -o - --quiet | gzip > blended.svgz\n";
  if (PngPreviewAvailable()) {
    command->add_option("--png", options->png,
                        "also render the result as PNG (drawn by librsvg; -: the standard output)");
    footer += "  morvelin apply drawing.svg -o blended.svg --png - | display -\n";
  } else {
    footer += "\nThis build writes no PNG previews (no --png).\n";
  }
  command->footer(footer);
  command->add_flag("--trace", options->trace, "print every host call of the run to stderr");
  command->add_flag("-q,--quiet", options->quiet,
                    "print no summary (warnings and errors still go to stderr)");
  command
      ->add_option("--max-input-size", options->maxInputSize,
                   "the largest drawing read, as read and as unpacked (bytes, or with K, M or G)")
      ->capture_default_str();
  command->callback([options, &exitCode] { exitCode = RunApplyCommand(*options, std::cout, std::cerr); });
}

}  // namespace morvelin
