// morvelin: runs the plug-in in the stand-in host on drawings, from the shell.
#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/plugin_module.h"

int main(int argc, char** argv) {
  CLI::App app{"morvelin: the Morvelin live effect in a stand-in host"};
  app.require_subcommand(1);
  int exitCode = 0;
#ifdef MORVELIN_PLUGIN_DLL
  // The Win32 build loads the shipped plug-in; `bridge`, which calls the
  // geometry directly, exists only in the native build.
  app.add_option_function<std::string>(
      "--plugin", [](const std::string& path) { morvelin::SetPluginPath(path); },
      "the plug-in file to load (default: Morvelin.aip beside this program)");
  app.fallthrough();
  app.footer(
      "This Windows build writes no PNG (--png fails and writes nothing): the PNG renderer's library is "
      "built only for the native tool.");
#else
  morvelin::AddBridgeCommand(app, exitCode);
#endif
  morvelin::AddEditCommand(app, exitCode);
  morvelin::AddApplyCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    // Help and version are not errors; every bad argument exits with 2.
    return code == 0 ? 0 : 2;
  }
  return exitCode;
}
