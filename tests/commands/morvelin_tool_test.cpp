// The morvelin program as a person runs it from the shell: the version line
// and the words for a command line it does not understand. What it does with
// files is in tool_files_test.cpp.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

Outcome RunTool(const std::string& arguments) {
  Outcome outcome;
  const std::string command = std::string("'") + MORVELIN_TOOL + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, n);
  const int status = pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

TEST(MorvelinTool, VersionNamesTheToolAndThePlugIn) {
  const Outcome run = RunTool("--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "morvelin 0.3b (plug-in Morvelin.aip 0.3b, file version 0.3.1.1)\n");
}

TEST(MorvelinTool, CommandLinesItDoesNotUnderstandExitWithTwo) {
  const struct {
    const char* arguments;
    const char* says;
  } rows[] = {
      {"frobnicate", "unknown subcommand \"frobnicate\"; the subcommands are bridge edit apply inkscape"},
      {"", "A subcommand is required"},
      {"apply --no-such-option", "--no-such-option"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    const Outcome run = RunTool(row.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
  }
}

}  // namespace
