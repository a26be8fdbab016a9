// `morvelin apply`: the live effect on a whole drawing, from start-up to
// shut-down of the plug-in.
#pragma once

#include <ostream>
#include <string>

namespace morvelin {

struct ApplyOptions {
  std::string input;  // SVG file; empty for the built-in sample
  std::string output = "morvelin-out.svg";
  std::string png;               // also render a PNG when not empty
  std::string viscosity = "50";  // the "rate" stored in the application
  bool noUnite = false;          // record the unite but leave the objects as they are
  bool trace = false;            // print every host call of the run, start-up to shut-down, to `err`
};

// Runs the command; returns the exit code: 0 done, 2 bad input or output
// (the message names the file and position), 1 the plug-in failed.
int RunApplyCommand(const ApplyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace morvelin
