#include "cli/svg/svg_output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#include "cli/platform/renamed_files.h"
#include "cli/platform/staged_names.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"

namespace morvelin {

namespace {

// A temporary file's name: the prefix and six random characters. Short, so
// that beside a target with a name of NAME_MAX bytes it is still legal.
constexpr char kTemporaryPattern[] = ".morvelin-XXXXXX";
constexpr int kMaxLinks = 40;  // as the kernel follows them

std::string ErrorText(int code) { return std::strerror(code); }

// The permissions a new file gets: everyone may read and write, less the
// process's umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Identity(const struct stat& status) {
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

// Where the path leads when its last part is a symbolic link to nothing (or
// no link at all): the links are followed, each relative to its own folder.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    struct stat status;
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), target, sizeof target - 1);
    if (length < 0)
      throw OutputError(path, "cannot read the symbolic link " + current + ": " + ErrorText(errno));
    const std::string next(target, static_cast<std::size_t>(length));
    current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
  }
  throw OutputError(path, ErrorText(ELOOP));
}

// The folder a file is made or replaced in must exist and take new files.
void CheckFolder(const std::string& path, const std::string& folder) {
  struct stat status;
  if (stat(folder.c_str(), &status) != 0) {
    if (errno == ENOENT) throw OutputError(path, "the folder " + folder + " does not exist");
    throw OutputError(path, "cannot reach the folder " + folder + ": " + ErrorText(errno));
  }
  if (!S_ISDIR(status.st_mode)) throw OutputError(path, folder + " is not a folder");
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    throw OutputError(path, "cannot write into the folder " + folder + ": " + ErrorText(errno));
}

// The absolute path of `folder`/`name`, for telling new files apart.
std::string AbsolutePath(const std::string& folder, const std::string& name) {
  char resolved[PATH_MAX];
  if (realpath(folder.c_str(), resolved) == nullptr) return folder + "/" + name;
  return std::string(resolved) + (resolved[1] == '\0' ? "" : "/") + name;
}

// --- Temporary files that a signal removes ---
//
// The handler may use only what is safe in a signal handler, so the names
// live in a fixed table, each entry written before it is marked used and
// unmarked before the file is renamed or removed.

StagedNames<char, PATH_MAX> gStaged;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void RemoveTemporaryFilesAndEnd(int signal) {
  gStaged.ForEachHeld([](const char* name) { unlink(name); });
  // The action was reset to the default on entry (SA_RESETHAND); the signal
  // stays blocked until this handler returns and then ends the process.
  raise(signal);
}

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kSignals) sigaddset(&set, signal);
  return set;
}

// Installed once, for the signals whose action is still the default: one
// the process was started to ignore stays ignored.
void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : kSignals) {
    struct sigaction old;
    if (sigaction(signal, nullptr, &old) != 0) continue;
    if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    action.sa_mask = HandledSignals();
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
  }
}

// Holds `name` for the signal handlers, installing them on first use.
int Hold(const std::string& name) {
  InstallHandlers();
  return gStaged.Hold(name);
}

void Release(int slot) { gStaged.Release(slot); }

// Holds the handled signals back for the renames, so that an interruption
// finds either every file as it was or every file in place.
class SignalsHeld {
 public:
  SignalsHeld() {
    const sigset_t set = HandledSignals();
    sigprocmask(SIG_BLOCK, &set, &old_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

 private:
  sigset_t old_;
};

// An output stream buffer over a file descriptor; a failed write makes the
// stream bad and keeps errno.
class FdBuffer : public std::streambuf {
 public:
  explicit FdBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  int sync() override { return Flush() ? 0 : -1; }
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

 private:
  bool Flush() {
    for (char* at = pbase(); at < pptr();) {
      const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      at += n;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return true;
  }
  int fd_;
  char buffer_[1 << 16];
};

// Writes all of `size` bytes; false with errno set when the descriptor
// refuses them.
bool WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// A replaced file keeps its owner and group where the process may set them
// (root may); otherwise the new file is the process's own, as any file it
// makes. Called before the permissions are set, as a change of owner clears
// the set-user and set-group bits.
void KeepOwner(int fd, const struct stat& existing) {
  if (existing.st_uid == geteuid() && existing.st_gid == getegid()) return;
  if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    // Not allowed to give the file away: the group at least, where the
    // process belongs to it.
    const int ignored = fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    static_cast<void>(ignored);
  }
}

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// A second name for the file at `path`, in its folder, kept until every
// rename is done so that the file can be put back. Empty when the folder
// takes no hard link; that file is then not put back.
std::string LinkBackup(const std::string& path) {
  const std::string folder = FolderOf(path) + "/.morvelin-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = folder + std::to_string(getpid()) + "-" + std::to_string(attempt);
    if (link(path.c_str(), name.c_str()) == 0) return name;
    if (errno != EEXIST) break;
  }
  return std::string();
}

}  // namespace

OutputTarget InspectOutputTarget(const std::string& path) {
  if (path.empty()) throw OutputError("\"\"", "an empty output name");
  OutputTarget target;
  struct stat status;
  if (IsStandardStream(path)) {
    // Whatever the standard output is; its identity tells it apart from the
    // other outputs (`--png /dev/stdout` beside `-o -` is the same file).
    target.kind = OutputTarget::Kind::kStandardOutput;
    target.destination = path;
    target.identity = fstat(STDOUT_FILENO, &status) == 0 ? Identity(status) : "standard output";
    return target;
  }
  if (stat(path.c_str(), &status) == 0) {
    target.identity = Identity(status);
    struct stat standardOutput;
    if (S_ISDIR(status.st_mode)) throw OutputError(path, "is a folder; give the name of a file to write");
    if (fstat(STDOUT_FILENO, &standardOutput) == 0 && standardOutput.st_dev == status.st_dev &&
        standardOutput.st_ino == status.st_ino) {
      target.kind = OutputTarget::Kind::kStandardOutput;
      target.destination = path;
    } else if (S_ISREG(status.st_mode)) {
      target.kind = OutputTarget::Kind::kFile;
      target.destination = path;
      struct stat link;
      if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr)
          throw OutputError(path, "cannot follow the symbolic link: " + ErrorText(errno));
        target.destination = resolved;
      }
      CheckFolder(path, FolderOf(target.destination));
    } else if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) {
      target.kind = OutputTarget::Kind::kStream;
      target.destination = path;
    } else {
      throw OutputError(path, std::string("is ") + (S_ISBLK(status.st_mode) ? "a block device" : "a socket") +
                                  ", not a file, a character device or a named pipe; it is left alone");
    }
    return target;
  }
  if (errno == ENOTDIR) throw OutputError(path, "a part of the path before the name is not a folder");
  if (errno != ENOENT) throw OutputError(path, ErrorText(errno));
  // Nothing there, or a link to nothing: the new file is made where the
  // links lead.
  target.kind = OutputTarget::Kind::kNewFile;
  target.destination = FollowLinks(path);
  const std::string name = NameOf(target.destination);
  if (name.empty() || name == "." || name == "..")
    throw OutputError(path, "names a folder; give the name of a file to write");
  const std::string folder = FolderOf(target.destination);
  CheckFolder(path, folder);
  target.identity = "path:" + AbsolutePath(folder, name);
  return target;
}

std::string ExistingFileIdentity(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 ? Identity(status) : std::string();
}

std::string StandardInputIdentity() {
  struct stat status;
  return fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode) ? Identity(status) : std::string();
}

std::string OutputFiles::Stage(const std::string& path, const std::function<void(std::ostream&)>& write) {
  Staged file;
  file.path = OutputName(path);
  file.target = InspectOutputTarget(path);
  const bool straight = file.target.kind == OutputTarget::Kind::kStream ||
                        file.target.kind == OutputTarget::Kind::kStandardOutput;
  // A device's or a pipe's bytes wait in the temporary folder: nothing is
  // made beside a device.
  const std::string folder = straight ? TemporaryFolder() : FolderOf(file.target.destination);
  const std::string pattern = folder + "/" + kTemporaryPattern;
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');

  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    const std::string where = straight ? " in " + folder : " beside it";
    throw OutputError(path, "cannot create a temporary file" + where + ": " + ErrorText(errno));
  }
  file.slot = Hold(temporary.data());
  auto discard = [&] {
    close(fd);
    Release(file.slot);
    unlink(temporary.data());
  };
  auto fail = [&](const char* what) {
    const int code = errno;
    discard();
    throw OutputError(path, std::string(what) + ": " + ErrorText(code));
  };
  if (!straight) {
    struct stat existing;
    const bool replaces = file.target.kind == OutputTarget::Kind::kFile &&
                          stat(file.target.destination.c_str(), &existing) == 0;
    if (replaces) KeepOwner(fd, existing);
    if (fchmod(fd, replaces ? (existing.st_mode & 07777) : NewFileMode()) != 0)
      fail("cannot set permissions");
  }
  {
    FdBuffer buffer(fd);
    std::ostream out(&buffer);
    try {
      write(out);
      out.flush();
    } catch (...) {
      discard();
      throw;
    }
    if (!out) fail("cannot write");
  }
  if (!straight && fsync(fd) != 0) fail("cannot write");
  if (close(fd) != 0) {
    const int code = errno;
    Release(file.slot);
    unlink(temporary.data());
    throw OutputError(path, "cannot write: " + ErrorText(code));
  }
  file.temporary = temporary.data();
  staged_.push_back(file);
  return staged_.back().temporary;
}

void OutputFiles::WriteStraight(const Staged& file) {
  const int from = open(file.temporary.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) throw OutputError(file.path, "cannot read back what was staged: " + ErrorText(errno));
  int to = STDOUT_FILENO;
  if (file.target.kind == OutputTarget::Kind::kStandardOutput) {
    std::cout.flush();
  } else {
    // A named pipe waits here for its reader, as any writer's open does.
    to = open(file.target.destination.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    struct stat status;
    if (to >= 0 && (fstat(to, &status) != 0 || !(S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)))) {
      close(to);
      close(from);
      throw OutputError(file.path, "is no longer a device or a pipe; it is left alone");
    }
  }
  int code = 0;
  if (to < 0) {
    code = errno;
  } else {
    char buffer[1 << 16];
    for (;;) {
      const ssize_t n = read(from, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 || (n > 0 && !WriteAll(to, buffer, static_cast<std::size_t>(n)))) {
        code = errno;
        break;
      }
      if (n == 0) break;
    }
    if (to != STDOUT_FILENO && close(to) != 0 && code == 0) code = errno;
  }
  close(from);
  // A reader that went away (`| head`) is EPIPE here, said as a full disk
  // is: SIGPIPE is ignored for the run (main.cpp).
  if (code != 0) throw OutputError(file.path, "cannot write: " + ErrorText(code));
}

void OutputFiles::RenameFiles() {
  struct Ops {
    bool Rename(const std::string& from, const std::string& to) const {
      return std::rename(from.c_str(), to.c_str()) == 0;
    }
    bool Remove(const std::string& path) const { return unlink(path.c_str()) == 0; }
  };
  RenamedFiles<std::string, Ops> renamed{Ops()};
  SignalsHeld held;
  for (Staged& file : staged_) {
    if (file.target.kind != OutputTarget::Kind::kFile && file.target.kind != OutputTarget::Kind::kNewFile)
      continue;
    const std::string& destination = file.target.destination;
    struct stat status;
    const bool replaces = lstat(destination.c_str(), &status) == 0;
    // Something that is not a regular file took the target's place since it
    // was checked: it is not replaced.
    const bool refused = replaces && !S_ISREG(status.st_mode);
    const std::string backup = replaces && !refused ? LinkBackup(destination) : "";
    if (refused || std::rename(file.temporary.c_str(), destination.c_str()) != 0) {
      const int code = refused ? EEXIST : errno;
      if (!backup.empty()) unlink(backup.c_str());
      throw OutputError(file.path, renamed.Fail(refused, ErrorText(code)));
    }
    Release(file.slot);
    file.slot = -1;
    file.temporary.clear();
    renamed.Add({destination, backup, replaces});
  }
}

void OutputFiles::Unstage(const Staged& file) {
  Release(file.slot);
  if (!file.temporary.empty()) unlink(file.temporary.c_str());
}

}  // namespace morvelin
