// morvelin: runs the plug-in in the stand-in host on drawings, from the shell.
#include <CLI/CLI.hpp>
#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/commands/program_io.h"
#include "cli/commands/version_text.h"
#include "cli/session/plugin_module.h"

int main(int argc, char** given) {
  // The words in UTF-8 on every platform, as the paths in them are opened.
  std::vector<std::string> words = morvelin::ProgramArguments(argc, given);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  CLI::App app{"morvelin: the Morvelin live effect in a stand-in host"};
  app.require_subcommand(1);
  // Options are spelt "--name" on every platform. CLI11 would take "/name"
  // for an option on Windows, and with it a drawing given by an absolute
  // path in the Unix style, as wine users and scripts write them. The
  // subcommands inherit this when they are added below.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", morvelin::VersionText(), "print the tool's and the plug-in's version");
  int exitCode = morvelin::kExitDone;
#ifdef SIGPIPE
  // A reader that goes away (`morvelin apply - -o - | head -c 1`) makes the
  // write fail with EPIPE, which the commands report as an output that cannot
  // be written (exit code 2), instead of ending the run silently by the
  // signal. Windows has no SIGPIPE; its writes fail the same way.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef MORVELIN_PLUGIN_DLL
  // The Win32 build loads the shipped plug-in; `bridge`, which calls the
  // geometry directly, exists only in the native build.
  app.add_option_function<std::string>(
      "--plugin", [](const std::string& path) { morvelin::SetPluginPath(path); },
      "the plug-in file to load (default: Morvelin.aip beside this program)");
  app.fallthrough();
  app.footer(
      "This Windows build writes no PNG previews (no --png): the PNG renderer's library is built only for "
      "the native tool.");
#else
  morvelin::AddBridgeCommand(app, exitCode);
#endif
  morvelin::AddEditCommand(app, exitCode);
  morvelin::AddApplyCommand(app, exitCode);
  morvelin::AddInkscapeCommand(app, exitCode);
  // A first word that names no subcommand is said to be one.
  if (argc > 1 && argv[1][0] != '-' &&
      app.get_subcommands([&](const CLI::App* command) { return command->check_name(argv[1]); }).empty()) {
    std::cerr << "morvelin: unknown subcommand \"" << argv[1] << "\"; the subcommands are";
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
      std::cerr << ' ' << command->get_name();
    std::cerr << " (morvelin --help)\n";
    return morvelin::kExitBadInput;
  }
  try {
    app.parse(argc, argv.data());
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    // Help and version are not errors; every bad argument exits with 2.
    return code == 0 ? morvelin::kExitDone : morvelin::kExitBadInput;
  } catch (const std::bad_alloc&) {
    // The commands run inside parse. Running out of memory anywhere ends the
    // run with a message; the staged output files are gone with the objects
    // that held them.
    std::cerr << "morvelin: out of memory\n";
    return morvelin::kExitFailed;
  } catch (const std::exception& error) {
    std::cerr << "morvelin: " << error.what() << "\n";
    return morvelin::kExitFailed;
  }
  return exitCode;
}
