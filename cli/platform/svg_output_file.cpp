#include "cli/svg/svg_output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <streambuf>
#include <vector>

#include "cli/svg/svg_errors.h"

namespace morvelin {

namespace {

// The permissions a new file gets: everyone may read and write, less the
// process's umask.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

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

}  // namespace

OutputFiles::~OutputFiles() {
  for (const Staged& file : staged_) unlink(file.temporary.c_str());
}

std::string OutputFiles::Stage(const std::string& path, const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (target.filename().empty()) throw OutputError(path, "not a file name");
  const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');

  const int fd = mkstemp(temporary.data());
  if (fd < 0) throw OutputError(path, std::string("cannot create a file there: ") + std::strerror(errno));
  auto fail = [&](const char* what) {
    const int code = errno;
    close(fd);
    unlink(temporary.data());
    throw OutputError(path, std::string(what) + ": " + std::strerror(code));
  };
  struct stat existing;
  const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
  if (fchmod(fd, mode) != 0) fail("cannot set permissions");
  {
    FdBuffer buffer(fd);
    std::ostream out(&buffer);
    try {
      write(out);
      out.flush();
    } catch (...) {
      close(fd);
      unlink(temporary.data());
      throw;
    }
    if (!out) fail("cannot write");
  }
  if (fsync(fd) != 0) fail("cannot write");
  if (close(fd) != 0) {
    const int code = errno;
    unlink(temporary.data());
    throw OutputError(path, std::string("cannot write: ") + std::strerror(code));
  }
  staged_.push_back(Staged{path, temporary.data()});
  return staged_.back().temporary;
}

void OutputFiles::Commit() {
  while (!staged_.empty()) {
    const Staged& file = staged_.front();
    if (std::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
      const int code = errno;
      throw OutputError(file.target, std::string("cannot replace the file: ") + std::strerror(code));
    }
    staged_.erase(staged_.begin());
  }
}

}  // namespace morvelin
