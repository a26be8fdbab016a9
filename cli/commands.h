// The morvelin tool's subcommands. Each Add*Command registers one subcommand
// on `app`; when it runs, its callback stores the process exit code in
// `exitCode` (0 success, 2 bad input or arguments, 1 anything else).
#pragma once

namespace CLI {
class App;
}

namespace morvelin {

void AddBridgeCommand(CLI::App& app, int& exitCode);
void AddEditCommand(CLI::App& app, int& exitCode);
void AddApplyCommand(CLI::App& app, int& exitCode);
void AddInkscapeCommand(CLI::App& app, int& exitCode);

}  // namespace morvelin
