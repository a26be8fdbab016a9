#include "cli/commands/version_text.h"

#include "resources/resource_texts.h"

namespace morvelin {

std::string VersionText() {
  constexpr int kNumbers[] = {MORVELIN_VERSION_NUMBERS};
  std::string numbers;
  for (int number : kNumbers) numbers += (numbers.empty() ? "" : ".") + std::to_string(number);
  return std::string("morvelin ") + MORVELIN_VERSION_TEXT + " (plug-in " + MORVELIN_ORIGINAL_FILENAME + " " +
         MORVELIN_VERSION_TEXT + ", file version " + numbers + ")";
}

}  // namespace morvelin
