// `morvelin bridge`: its JSON, its number parsing and its argument errors.
#include "cli/commands/bridge_command.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands/commands.h"
#include "cli/svg/float_text.h"

namespace {

using morvelin::BridgeArguments;
using morvelin::RunBridgeCommand;

BridgeArguments Arguments(std::vector<std::string> circles, std::string viscosity = "50") {
  BridgeArguments arguments;
  for (int i = 0; i < 6; ++i) arguments.circles[i] = circles[i];
  arguments.viscosity = viscosity;
  return arguments;
}

// Circles ((0, 0), 10) and ((30, 0), 10) at viscosity 50.
const char kApartJson[] =
    "{\"segments\":["
    "{\"anchor\":[7.071068,7.071068],\"in\":[7.071068,7.071068],\"out\":[12.67767,1.4644662]},"
    "{\"anchor\":[22.928932,7.071068],\"in\":[17.322332,1.4644653],\"out\":[22.928932,7.071068]},"
    "{\"anchor\":[22.928932,-7.071068],\"in\":[22.928932,-7.071068],\"out\":[17.322332,-1.4644653]},"
    "{\"anchor\":[7.071068,-7.071068],\"in\":[12.67767,-1.4644662],\"out\":[7.071068,-7.071068]}]}\n";

TEST(BridgeCommand, PrintsTheOutlineAsOneLineOfJson) {
  std::ostringstream out, err;
  EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", "10", "30", "0", "10"}), out, err), 0);
  EXPECT_EQ(out.str(), kApartJson);
  EXPECT_EQ(err.str(), "");
}

TEST(BridgeCommand, PrintsNullWhenNoBridgeIsMade) {
  std::ostringstream out, err;
  EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", "20", "5", "0", "10"}), out, err), 0);
  EXPECT_EQ(out.str(), "null\n");
  EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", "nan", "30", "0", "10"}), out, err), 0);
  EXPECT_EQ(out.str(), "null\nnull\n");
}

TEST(BridgeCommand, ReadsEachNumberAsTheNearestFloat) {
  EXPECT_EQ(morvelin::ParseFloatArgument("0.1"), 0.1f);
  EXPECT_EQ(morvelin::ParseFloatArgument("-2.5e3"), -2500.0f);
  EXPECT_EQ(morvelin::ParseFloatArgument(".5"), 0.5f);
  // Viscosity 100 is rate fraction 1: the anchors reach the outer tangents.
  std::ostringstream out, err;
  EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", "10", "30", "0", "10"}, "100"), out, err), 0);
  EXPECT_NE(out.str().find("{\"anchor\":[30,10],\"in\":[15,9.999999],\"out\":[30,10]}"), std::string::npos)
      << out.str();
}

TEST(BridgeCommand, RejectsTextThatIsNotOneFloat) {
  for (const char* bad : {"", "abc", "1x", "1.5e", "+1", " 1", "0x10", "1e40", "1,5"}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", bad, "30", "0", "10"}), out, err), 2) << bad;
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("R1"), std::string::npos) << err.str();
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunBridgeCommand(Arguments({"0", "0", "10", "30", "0", "10"}, "fifty"), out, err), 2);
  EXPECT_NE(err.str().find("--viscosity"), std::string::npos) << err.str();
}

// Runs the subcommand through CLI11 as main does; nullopt when CLI11 rejects
// the arguments (main turns that into exit code 2).
std::optional<int> ParseAndRun(std::vector<std::string> words) {
  CLI::App app;
  int exitCode = -1;
  morvelin::AddBridgeCommand(app, exitCode);
  std::vector<std::string> reversed(words.rbegin(), words.rend());
  reversed.push_back("bridge");
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError&) {
    return std::nullopt;
  }
  return exitCode;
}

TEST(BridgeCommand, CommandLineShapeIsChecked) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0", "10"}), 0);
  EXPECT_EQ(ParseAndRun({"-5", "0", "10", "30", "0", "10", "--viscosity", "1", "--cap=2.5"}), 0);
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0", "10", "--cap", "1e"}), 2);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.substr(0, sizeof kApartJson - 1), kApartJson);
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0"}), std::nullopt);             // missing
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0", "10", "7"}), std::nullopt);  // extra
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0", "10", "--rate", "1"}), std::nullopt);
  EXPECT_EQ(ParseAndRun({"0", "0", "10", "30", "0", "10", "--viscosity"}), std::nullopt);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("--cap"), std::string::npos);
}

}  // namespace
