// `morvelin edit`: the steps it prints, the results it reports, the drawing it
// writes and the arguments it refuses before anything runs.
#include "cli/commands/edit_command.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/commands/commands.h"

namespace {

using morvelin::EditArguments;
using morvelin::RunEditCommand;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class EditCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs these tests side by side: each writes a file of its own.
    output_ = ::testing::TempDir() + "morvelin-edit-test-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".svg";
    std::remove(output_.c_str());
  }
  void TearDown() override { std::remove(output_.c_str()); }

  int Run(EditArguments arguments) {
    arguments.output = output_;
    return RunEditCommand(arguments, out_, err_);
  }

  std::string output_;
  std::ostringstream out_, err_;
};

TEST_F(EditCommandTest, PrintsWhatThePersonSeesAfterEachStep) {
  EditArguments arguments;
  arguments.actions = "drag 80; untick; tick; ok";
  EXPECT_EQ(Run(arguments), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "step            slider  value   opening  preview  rate    executed\n"
            "open            50      \"50\"    \"\"       [x]      50      1\n"
            "drag 80         80      \"80\"    \"\"       [x]      80      2\n"
            "untick          80      \"80\"    \"\"       [ ]      0       3\n"
            "tick            80      \"80\"    \"\"       [x]      80      4\n"
            "ok              80      \"80\"    \"\"       [x]      80      4\n"
            "result: 0 (OK)\n"
            "rate: 80, executed 5 times\n"
            "wrote " +
                output_ + "\n");
  EXPECT_EQ(err_.str(), "");
  // The drawing shows the united outline, not the separate circles.
  const std::string svg = ReadFile(output_);
  EXPECT_NE(svg.find("<path"), std::string::npos);
  EXPECT_EQ(svg.find("<circle"), std::string::npos);
}

TEST_F(EditCommandTest, StoredRateAndCancelReportStopAndKeepThePreview) {
  EditArguments arguments;
  arguments.stored = "30";
  arguments.actions = "drag 80; untick; cancel";
  EXPECT_EQ(Run(arguments), 0) << err_.str();
  const std::string text = out_.str();
  EXPECT_NE(text.find("untick          80      \"80\"    \"(30)\"   [ ]      30      3\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("result: 'STOP' (cancelled)\nrate: 30, executed 3 times\n"), std::string::npos) << text;
}

TEST_F(EditCommandTest, ARefusedOutputWritesNeitherFileAndExitsAsApplyDoes) {
  EditArguments arguments;
  arguments.png = ::testing::TempDir() + "morvelin-edit-missing/x.png";
  EXPECT_EQ(Run(arguments), 2);
  EXPECT_NE(err_.str().find("morvelin-edit-missing"), std::string::npos) << err_.str();
  EXPECT_FALSE(std::ifstream(output_).good());
}

TEST_F(EditCommandTest, RefusesBadInputBeforeOpeningTheDialog) {
  EditArguments script;
  script.actions = "drag 80; wiggle; ok";
  EXPECT_EQ(Run(script), 2);
  EXPECT_NE(err_.str().find("unknown action \"wiggle\""), std::string::npos) << err_.str();

  EditArguments stored;
  stored.stored = "thirty";
  EXPECT_EQ(Run(stored), 2);

  EditArguments missing;
  missing.input = ::testing::TempDir() + "no-such-drawing.svg";
  EXPECT_EQ(Run(missing), 2);

  EXPECT_EQ(out_.str(), "");  // no dialog was opened
  EXPECT_TRUE(ReadFile(output_).empty());
}

TEST(EditCommandArguments, StoredAndNoStoredExcludeEachOther) {
  CLI::App app;
  int exitCode = 0;
  morvelin::AddEditCommand(app, exitCode);
  // Should the parse go through, the bad action stops the command at once.
  EXPECT_THROW(app.parse("edit --stored 30 --no-stored --actions wiggle", false), CLI::ParseError);
  EXPECT_EQ(exitCode, 0);
}

}  // namespace
