// The morvelin tool's subcommands. Each Add*Command registers one subcommand
// on `app`; when it runs, its callback stores the process exit code in
// `exitCode`, one of ExitCode.
#pragma once

namespace CLI {
class App;
}

namespace morvelin {

// The exit codes, one rule for every subcommand.
enum ExitCode : int {
  kExitDone = 0,    // the command did what was asked (a cancelled dialog included)
  kExitFailed = 1,  // the plug-in or the host failed
  // Bad arguments, an unreadable drawing or an output that cannot be written;
  // no output file is written or changed then.
  kExitBadInput = 2,
};

void AddBridgeCommand(CLI::App& app, int& exitCode);
void AddEditCommand(CLI::App& app, int& exitCode);
void AddApplyCommand(CLI::App& app, int& exitCode);
void AddInkscapeCommand(CLI::App& app, int& exitCode);

}  // namespace morvelin
