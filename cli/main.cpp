// morvelin: runs the plug-in in the stand-in host on drawings, from the shell.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"morvelin: the Morvelin live effect in a stand-in host"};
  app.require_subcommand(1);
  int exitCode = 0;
  morvelin::AddBridgeCommand(app, exitCode);
  morvelin::AddEditCommand(app, exitCode);
  morvelin::AddApplyCommand(app, exitCode);
  morvelin::AddInkscapeCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    // Help and version are not errors; every bad argument exits with 2.
    return code == 0 ? 0 : 2;
  }
  return exitCode;
}
