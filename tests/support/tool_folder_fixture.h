// A folder of its own for each test of the morvelin program run from the
// shell: the drawing in.svg, the shell run with stdout and stderr read
// together, a snapshot of what the folder holds, and the check that a run
// changed only the entries named.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

namespace fs = std::filesystem;

constexpr char kTwoCircles[] =
    "<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/><circle cx='30' cy='0' "
    "r='10'/></svg>";

// A folder of its own for each test, with the drawing `in.svg`; commands run
// in it, through the shell, with stdout and stderr read together.
class ToolFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("morvelin-tool-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Write("in.svg", kTwoCircles);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  // Runs `script` (a shell command line, `$M` the tool) in the folder.
  Outcome Shell(const std::string& script) const {
    Outcome outcome;
    const std::string command =
        "cd '" + dir_.string() + "' && M='" + MORVELIN_TOOL + "' && { " + script + "; } 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
  }
  // What the folder holds, name by name: a file's bytes, a link's target, a
  // node's kind (and a device's numbers), everything below a sub-folder.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_)) {
      const std::string name = entry.path().lexically_relative(dir_).string();
      struct stat status;
      if (lstat(entry.path().c_str(), &status) != 0) continue;
      if (S_ISLNK(status.st_mode)) {
        entries[name] = "link:" + fs::read_symlink(entry.path()).string();
      } else if (S_ISREG(status.st_mode)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        entries[name] = "file:" + bytes.str();
      } else if (S_ISDIR(status.st_mode)) {
        entries[name] = "folder";
      } else if (S_ISFIFO(status.st_mode)) {
        entries[name] = "fifo";
      } else if (S_ISCHR(status.st_mode)) {
        entries[name] =
            "device:" + std::to_string(major(status.st_rdev)) + "," + std::to_string(minor(status.st_rdev));
      } else {
        entries[name] = "other";
      }
    }
    return entries;
  }
  // As root: a character device here with the numbers of the one given
  // (1,3 a sink as /dev/null, 1,7 one that is always full as /dev/full).
  bool MakeDevice(const std::string& name, unsigned minorNumber) const {
    return mknod((dir_ / name).c_str(), S_IFCHR | 0666, makedev(1, minorNumber)) == 0;
  }
  void MakeSocket(const std::string& name) const {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (dir_ / name).c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
  }

  fs::path dir_;
};

// A row's expectation for one entry of the folder after the run: its
// snapshot text starts with `starts` ("" : the entry must not exist).
struct Change {
  std::string name;
  std::string starts;
};

// Every entry not named in `changes` is as it was before.
void ExpectOnly(const std::map<std::string, std::string>& before,
                const std::map<std::string, std::string>& after, const std::vector<Change>& changes) {
  std::map<std::string, std::string> expectedSame = before;
  for (const Change& change : changes) {
    expectedSame.erase(change.name);
    const auto found = after.find(change.name);
    if (change.starts.empty()) {
      EXPECT_EQ(found, after.end()) << change.name << " exists";
    } else if (found == after.end()) {
      ADD_FAILURE() << change.name << " is missing";
    } else {
      EXPECT_EQ(found->second.rfind(change.starts, 0), 0u)
          << change.name << ": " << found->second.substr(0, 80);
    }
  }
  std::map<std::string, std::string> restSame = after;
  for (const Change& change : changes) restSame.erase(change.name);
  EXPECT_EQ(restSame, expectedSame);
}

// A drawing that crashes the PNG renderer (librsvg overflows its stack on
// a long chain of <use>); its SVG is written, its PNG cannot be.
std::string UseChainDrawing() {
  std::string chain =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'><defs>";
  const int links = 3000;
  for (int i = 0; i < links; ++i)
    chain += "<use id='u" + std::to_string(i) + "' xlink:href='#u" + std::to_string(i + 1) + "'/>";
  chain += "<circle id='u" + std::to_string(links) +
           "' r='1'/></defs><use xlink:href='#u0'/><circle r='5'/><circle cx='7' r='5'/></svg>";
  return chain;
}

}  // namespace
