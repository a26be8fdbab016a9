// `morvelin inkscape`: the effect as an Inkscape extension runs it. Inkscape
// calls the program with `--id=ID` once per selected object, the extension's
// parameters (`--viscosity=V`) and the document's temporary file last, shows
// what it writes to standard error, and takes the SVG on standard output as
// the new document.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace morvelin {

struct InkscapeOptions {
  std::string input;                  // the document Inkscape saved for the extension
  std::vector<std::string> ids;       // the selection; none: the whole drawing
  std::string viscosity = "50";       // a whole number, 1 to 100
  std::string maxInputSize = "256M";  // the largest document read, as read and as unpacked
};

// Runs the command; returns the exit code: 0 with the document on `out`;
// otherwise nothing on `out` and a message on `err` (2 bad input, 1 the
// plug-in failed), so that Inkscape keeps the document as it was.
int RunInkscapeCommand(const InkscapeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace morvelin
