#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace morvelin {

void AddBridgeCommand(CLI::App& app, int& /*exitCode*/) { app.add_subcommand("bridge", "placeholder"); }

}  // namespace morvelin
