#include "cli/svg/svg_errors.h"

#include "standin/text/printable_text.h"

namespace morvelin {

namespace {

// Names and values from the drawing go to a terminal: nothing in them may
// act on it.
std::string ErrorText(const std::string& file, int line, int column, const std::string& problem) {
  const std::string text = standin::PrintableText(file);
  if (line <= 0) return text + ": " + standin::PrintableText(problem);
  return text + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
         standin::PrintableText(problem);
}

}  // namespace

SvgError::SvgError(const std::string& file, int line, int column, const std::string& problem)
    : std::runtime_error(ErrorText(file, line, column, problem)), file_(file), line_(line), column_(column) {}

}  // namespace morvelin
