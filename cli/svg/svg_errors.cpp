#include "cli/svg/svg_errors.h"

namespace morvelin {

namespace {

std::string ErrorText(const std::string& file, int line, int column, const std::string& problem) {
  if (line <= 0) return file + ": " + problem;
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + problem;
}

}  // namespace

SvgError::SvgError(const std::string& file, int line, int column, const std::string& problem)
    : std::runtime_error(ErrorText(file, line, column, problem)), file_(file), line_(line), column_(column) {}

}  // namespace morvelin
