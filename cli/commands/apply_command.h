// `morvelin apply`: the live effect on a whole drawing, from start-up to
// shut-down of the plug-in.
#pragma once

#include <ostream>
#include <string>

#include "params/effect_parameters.h"

namespace morvelin {

struct ApplyOptions {
  std::string input;  // SVG file ("-": the standard input); empty for the built-in sample
  std::string output = "morvelin-out.svg";  // "-": the standard output
  std::string png;                          // also render a PNG when not empty ("-": the standard output)
  std::string viscosity = std::to_string(kRateDefault);  // the "rate" stored in the application
  bool noUnite = false;                                  // record the unite but leave the objects as they are
  bool trace = false;                 // print every host call of the run, start-up to shut-down, to `err`
  std::string maxInputSize = "256M";  // the largest drawing read, as read and as unpacked
  bool quiet = false;                 // no summary; warnings and errors still go to `err`
};

// Runs the command; returns an ExitCode: kExitDone, kExitBadInput for bad
// arguments, input or output (the message names the file and position; no
// output file is written or changed) and for a report `out` does not take,
// kExitFailed when the plug-in failed. A viscosity outside 1 to 100 is
// applied with a warning (ViscosityWarning). The outputs are checked
// (CheckOutputTargets) before the drawing is read; when the SVG goes to the
// standard output, the report goes to `err`; the SVG and the PNG both there
// are refused.
int RunApplyCommand(const ApplyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace morvelin
