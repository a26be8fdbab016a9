// `morvelin edit`: the Edit-Parameters dialog played by a scripted user on a
// drawing, step by step, as a person at the screen would see it.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace morvelin {

// The command's arguments as typed.
struct EditArguments {
  std::string input;                  // SVG file ("-": the standard input); empty for the built-in sample
  std::optional<std::string> stored;  // --stored V: the "rate" the application has; none: no "rate"
  std::string actions = "ok";         // --actions: the scripted user's actions
  std::string output = "morvelin-edit.svg";  // "-": the standard output
  std::string png;                           // --png; empty for none ("-": the standard output)
  std::string maxInputSize = "256M";         // --max-input-size: the largest drawing read
  bool quiet = false;                        // --quiet: no table, no report
};

// Checks the script and the stored rate (exit code 2 and a message on `err`
// for a bad one, before anything runs), loads the drawing, starts the
// plug-in, applies the effect to the whole drawing with a dictionary that
// holds "rate" only when one is stored, opens the dialog and plays the
// actions. Prints a table row to `out` when the dialog appears and after each
// action, then the handler's result and the final "rate". Shuts the plug-in
// down and writes what the drawing shows (the last execution's result, or
// the drawn art when the effect never ran) as SVG, and as PNG when asked.
// Returns an ExitCode: kExitDone after OK or cancel, kExitFailed when the
// plug-in or the host fails, kExitBadInput for bad arguments, an unreadable
// drawing, an output that cannot be written (checked before the drawing is
// read; then neither file is written) and a table `out` does not take. When
// the SVG goes to the standard output, the table goes to `err`; the SVG and
// the PNG both there are refused. --quiet prints neither.
int RunEditCommand(const EditArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace morvelin
