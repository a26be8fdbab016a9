// `morvelin edit [IN.svg] [--stored V] [--actions "..."] [-o OUT.svg] [--png OUT.png]`
#include "cli/commands/edit_command.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/session/effect_session.h"
#include "cli/session/png_render.h"
#include "cli/svg/float_text.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_input_file.h"
#include "cli/svg/svg_output_file.h"
#include "resources/resource_texts.h"
#include "standin/core/host.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/effects/effect_host.h"

namespace morvelin {

namespace {

constexpr char kCommand[] = "morvelin edit: ";

// The dialog's items, as the plug-in's dialog template numbers them.
constexpr int32_t kValueTextID = MORVELIN_ITEM_VALUE_ID;
constexpr int32_t kSliderID = MORVELIN_ITEM_SLIDER_ID;
constexpr int32_t kPreviewID = MORVELIN_ITEM_PREVIEW_ID;
constexpr int32_t kOpeningTextID = MORVELIN_ITEM_OPENING_ID;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The "rate" the dictionary holds now, or "none".
std::string RateText(standin::Host& host, DictionaryHandle parameters) {
  const standin::DictEntry* entry = host.dictionaries().Find(parameters, "rate");
  if (entry == nullptr) return "none";
  if (entry->type != standin::DictEntry::Type::kReal) return "(not a real)";
  return FloatText(entry->real);
}

std::string Cell(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

void PrintHeader(std::ostream& out) {
  out << Cell("step", 16) << Cell("slider", 8) << Cell("value", 8) << Cell("opening", 9) << Cell("preview", 9)
      << Cell("rate", 8) << "executed\n";
}

void PrintStep(std::ostream& out, const std::string& step, const DialogObject& dialog, standin::Host& host,
               const standin::EffectApplication& application) {
  const ItemObject* slider = dialog.Find(kSliderID);
  const ItemObject* value = dialog.Find(kValueTextID);
  const ItemObject* preview = dialog.Find(kPreviewID);
  const ItemObject* opening = dialog.Find(kOpeningTextID);
  out << Cell(step, 16) << Cell(slider != nullptr ? std::to_string(slider->value) : "-", 8)
      << Cell(value != nullptr ? Quoted(value->text) : "-", 8)
      << Cell(opening != nullptr ? Quoted(opening->text) : "-", 9)
      << Cell(preview == nullptr      ? "-"
              : preview->boolean != 0 ? "[x]"
                                      : "[ ]",
              9)
      << Cell(RateText(host, application.parameters), 8) << application.executions << '\n';
}

std::string ResultText(HostError result) {
  if (result == kHostNoError) return "0 (OK)";
  if (result == kHostErrCancelled) return "'STOP' (cancelled)";
  return standin::CodeText(result) + " (failed)";
}

// Everything the user typed, checked before the dialog opens and before the
// drawing is read.
struct EditInput {
  std::vector<standin::UserAction> actions;
  std::optional<float> stored;
  std::uint64_t maxInputBytes = 0;
  // An output is the standard output: it gets it to itself, and the table
  // goes to the standard error.
  bool toStandardOutput = false;
};

// Reads the script of actions, the stored rate and the size limit, and
// checks the outputs; false, with the problem said on `err`, when any is bad.
bool ReadEditInput(const EditArguments& arguments, EditInput* input, std::ostream& err) {
  std::string problem;
  if (!standin::ParseUserScript(arguments.actions, &input->actions, &problem)) {
    err << kCommand << problem << '\n';
    return false;
  }
  if (arguments.stored) {
    input->stored = ParseFloatArgument(*arguments.stored);
    if (!input->stored) {
      err << kCommand << "--stored: " << FloatArgumentProblem(*arguments.stored) << "\n";
      return false;
    }
  }
  const std::optional<std::uint64_t> maxInputBytes = ParseSizeArgument(arguments.maxInputSize);
  if (!maxInputBytes) {
    err << kCommand << "--max-input-size: \"" << arguments.maxInputSize
        << "\" is not a size (a number of bytes, or of K, M or G: 256M)\n";
    return false;
  }
  input->maxInputBytes = *maxInputBytes;
  if (IsStandardStream(arguments.output) && IsStandardStream(arguments.png)) {
    err << kCommand << "--png -: the SVG already goes to standard output (-o -); write the PNG to a file\n";
    return false;
  }
  std::vector<std::string> outputs = {arguments.output};
  if (!arguments.png.empty()) outputs.push_back(arguments.png);
  try {
    for (const OutputTarget& target : CheckOutputTargets(outputs, arguments.input))
      input->toStandardOutput = input->toStandardOutput || target.kind == OutputTarget::Kind::kStandardOutput;
  } catch (const OutputError& error) {
    err << kCommand << error.what() << '\n';
    return false;
  }
  return true;
}

// Checks the plug-in started and reads the drawing, saying its warnings;
// kExitDone when both went well.
int OpenDrawing(EffectSession& session, const std::string& input, std::uint64_t maxInputBytes,
                std::ostream& err) {
  if (session.startup() != kHostNoError) {
    err << kCommand << "the plug-in did not start: " << standin::CodeText(session.startup()) << '\n';
    return kExitFailed;
  }
  try {
    session.LoadDrawing(input, maxInputBytes);
  } catch (const SvgError& error) {
    err << kCommand << error.what() << '\n';
    return kExitBadInput;
  }
  for (const std::string& warning : session.drawing().warnings) err << warning << '\n';
  return kExitDone;
}

// Opens the Edit-Parameters dialog on `application` and plays the actions in
// it, printing what the dialog and the drawing show after each one on
// `table`; returns the plug-in's code.
HostError PlayDialog(standin::Host& host, standin::EffectApplication& application,
                     const std::vector<standin::UserAction>& actions, std::ostream& table) {
  PrintHeader(table);
  host.dialogs().SetScript(actions);
  host.dialogs().SetObserver([&](const standin::UserAction& step, const DialogObject& dialog) {
    PrintStep(table, step.Text(), dialog, host, application);
  });
  const HostError result = host.effects().EditParameters(application);
  host.dialogs().SetObserver(nullptr);
  return result;
}

// Writes the drawing (and the PNG when asked) once the table is out; false,
// said on `err`, when the table or an output cannot be written. A table that
// cannot be written (a full disk, a closed pipe) fails the run before any
// file is written.
bool SaveEdited(EffectSession& session, const standin::EffectApplication& application,
                const EditArguments& arguments, std::ostream& table, std::ostream& err) {
  if (!table.flush()) {
    err << kCommand << "cannot write the table to standard output; no file was written\n";
    return false;
  }
  try {
    session.Save(application, arguments.output, arguments.png);
  } catch (const OutputError& error) {
    err << kCommand << error.what() << '\n';
    return false;
  }
  table << "wrote " << OutputName(arguments.output) << '\n';
  if (!arguments.png.empty()) table << "wrote " << OutputName(arguments.png) << '\n';
  if (!table.flush()) {
    err << kCommand << "cannot write the table to standard output (the files were written)\n";
    return false;
  }
  return true;
}

}  // namespace

int RunEditCommand(const EditArguments& arguments, std::ostream& out, std::ostream& err) {
  EditInput input;
  if (!ReadEditInput(arguments, &input, err)) return kExitBadInput;
  std::ostringstream dropped;
  std::ostream& table = arguments.quiet ? dropped : input.toStandardOutput ? err : out;

  EffectSession session;
  if (const int code = OpenDrawing(session, arguments.input, input.maxInputBytes, err); code != kExitDone)
    return code;
  standin::Host& host = session.host();
  standin::EffectApplication& application = session.ApplyEffect(input.stored);
  const HostError result = PlayDialog(host, application, input.actions, table);

  table << "result: " << ResultText(result) << '\n';
  table << "rate: " << RateText(host, application.parameters) << ", executed " << application.executions
        << " times\n";
  session.Shutdown();
  const standin::Balance balance = host.balance();
  if (!balance.Zero()) err << kCommand << "the host has handles outstanding: " << balance.Text() << '\n';

  if (!SaveEdited(session, application, arguments, table, err)) return kExitBadInput;
  const bool finished = result == kHostNoError || result == kHostErrCancelled;
  return finished && balance.Zero() ? kExitDone : kExitFailed;
}

void AddEditCommand(CLI::App& app, int& exitCode) {
  // Owned by the callback, which outlives this function with the app; the
  // options write into them when the command line is parsed.
  auto arguments = std::make_shared<EditArguments>();
  auto noStored = std::make_shared<bool>(false);
  CLI::App* command = app.add_subcommand(
      "edit",
      "Open the effect's Edit-Parameters dialog on a drawing (the built-in sample when none is given), "
      "play a person's actions in it and print what the dialog and the drawing show after each one.");
  command->add_option("IN.svg", arguments->input,
                      "the drawing (-: the standard input); the effect is applied to all of it");
  CLI::Option* stored =
      command->add_option("--stored", arguments->stored, "the application already has \"rate\" V (a float)");
  CLI::Option* none = command->add_flag("--no-stored", *noStored,
                                        "the application has no \"rate\" yet, a first use (the default)");
  stored->excludes(none);
  command
      ->add_option("--actions", arguments->actions,
                   "actions separated by ';': drag N, tick, untick, click preview, ok, cancel, close; the "
                   "dialog closes (as cancel) when they run out")
      ->capture_default_str();
  command->add_option("-o,--output", arguments->output, "the SVG file to write (-: the standard output)")
      ->capture_default_str();
  command
      ->add_option("--max-input-size", arguments->maxInputSize,
                   "the largest drawing read, as read and as unpacked (bytes, or with K, M or G)")
      ->capture_default_str();
  command->add_flag("-q,--quiet", arguments->quiet, "print neither the table nor what was written");
  std::string footer =
      "Examples:\n"
      "  morvelin edit drawing.svg --stored 30 --actions \"drag 80; untick; tick; ok\" -o edited.svg\n"
      "  morvelin edit - --actions \"drag 60; cancel\" -o - < drawing.svg > edited.svg\n";
  if (PngPreviewAvailable()) {
    command->add_option("--png", arguments->png,
                        "also draw the result as a PNG (drawn by librsvg; -: the standard output)");
  } else {
    footer += "\nThis build writes no PNG previews (no --png).\n";
  }
  command->footer(footer);
  // --no-stored is what happens without --stored; it only excludes it.
  command->callback(
      [arguments, noStored, &exitCode] { exitCode = RunEditCommand(*arguments, std::cout, std::cerr); });
}

}  // namespace morvelin
