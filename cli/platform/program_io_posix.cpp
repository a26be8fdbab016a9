// The arguments and standard output on POSIX systems: as they come.
#include "cli/commands/program_io.h"

namespace morvelin {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

void UseBinaryStandardOutput() {}

}  // namespace morvelin
