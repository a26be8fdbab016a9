// The Win32 build's output files: each staged as a temporary file in its
// target's folder (a device's in the temporary folder), written and flushed,
// then moved over the target in one step (MoveFileEx replaces an existing
// file, which rename does not on Windows). The same rules as the POSIX
// writer: only a regular file is replaced, a device or pipe is written
// straight into, links are followed, and a failed move puts back the files
// moved before it.
#include <windows.h>

#include <csignal>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/platform/renamed_files.h"
#include "cli/platform/staged_names.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_output_file.h"

namespace morvelin {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;

std::string LastErrorText() { return "error " + std::to_string(GetLastError()); }

std::wstring Wide(const std::string& path) { return fs::u8path(path).wstring(); }

// The volume and file index of an open handle, or empty (a console, a pipe,
// a device has none).
std::string HandleIdentity(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
      !GetFileInformationByHandle(handle, &information))
    return std::string();
  return std::to_string(information.dwVolumeSerialNumber) + ":" + std::to_string(information.nFileIndexHigh) +
         ":" + std::to_string(information.nFileIndexLow);
}

std::string PathIdentity(const fs::path& path) {
  const HANDLE handle =
      CreateFileW(path.wstring().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const std::string identity = HandleIdentity(handle);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return identity;
}

fs::path FolderOf(const fs::path& path) {
  const fs::path folder = path.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Where a path that names nothing leads: its links followed, each relative
// to its own folder.
fs::path FollowLinks(const std::string& given, fs::path path) {
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path next = fs::read_symlink(path, error);
    if (error) throw OutputError(given, "cannot read the symbolic link: " + error.message());
    path = next.is_absolute() ? next : FolderOf(path) / next;
  }
  throw OutputError(given, "too many levels of symbolic links");
}

void CheckFolder(const std::string& given, const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found)
    throw OutputError(given, "the folder " + folder.u8string() + " does not exist");
  if (!fs::is_directory(status)) throw OutputError(given, folder.u8string() + " is not a folder");
}

// --- Temporary files that Ctrl-C or a termination request removes ---

StagedNames<wchar_t, MAX_PATH> gStaged;

extern "C" void RemoveTemporaryFilesAndEnd(int signal) {
  gStaged.ForEachHeld([](const wchar_t* name) { DeleteFileW(name); });
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : {SIGINT, SIGTERM}) {
    const auto old = std::signal(signal, RemoveTemporaryFilesAndEnd);
    if (old != SIG_DFL && old != SIG_ERR) std::signal(signal, old);
  }
}

int Hold(const std::wstring& name) {
  InstallHandlers();
  return gStaged.Hold(name);
}

void Release(int slot) { gStaged.Release(slot); }

// A second name for the file at `path` in its folder, kept until every move
// is done so that the file can be put back; empty when the volume takes no
// hard link.
std::wstring LinkBackup(const fs::path& path) {
  wchar_t name[MAX_PATH];
  if (GetTempFileNameW(FolderOf(path).wstring().c_str(), L"mvl", 0, name) == 0) return std::wstring();
  DeleteFileW(name);
  if (!CreateHardLinkW(name, path.wstring().c_str(), nullptr)) return std::wstring();
  return name;
}

}  // namespace

OutputTarget InspectOutputTarget(const std::string& path) {
  if (path.empty()) throw OutputError("\"\"", "an empty output name");
  OutputTarget target;
  if (IsStandardStream(path)) {
    // Whatever the standard output is: a console or a pipe has no identity
    // of its own, a file has.
    target.kind = OutputTarget::Kind::kStandardOutput;
    target.destination = path;
    target.identity = HandleIdentity(GetStdHandle(STD_OUTPUT_HANDLE));
    if (target.identity.empty()) target.identity = "standard output";
    return target;
  }
  const fs::path given = fs::u8path(path);
  std::error_code error;
  const fs::file_status status = fs::status(given, error);
  if (fs::is_directory(status)) throw OutputError(path, "is a folder; give the name of a file to write");
  if (status.type() == fs::file_type::not_found) {
    target.kind = OutputTarget::Kind::kNewFile;
    const fs::path destination = FollowLinks(path, given);
    if (!destination.has_filename() || destination.filename() == "." || destination.filename() == "..")
      throw OutputError(path, "names a folder; give the name of a file to write");
    CheckFolder(path, FolderOf(destination));
    target.destination = destination.u8string();
    target.identity = "path:" + fs::weakly_canonical(fs::absolute(destination, error), error).u8string();
    return target;
  }
  if (status.type() == fs::file_type::none) throw OutputError(path, error.message());
  target.identity = PathIdentity(given);
  if (target.identity.empty()) target.identity = "device:" + path;
  if (target.identity == HandleIdentity(GetStdHandle(STD_OUTPUT_HANDLE))) {
    target.kind = OutputTarget::Kind::kStandardOutput;
    target.destination = path;
  } else if (fs::is_regular_file(status)) {
    target.kind = OutputTarget::Kind::kFile;
    const bool link = fs::is_symlink(fs::symlink_status(given, error));
    target.destination = link ? fs::canonical(given, error).u8string() : path;
    if (error) throw OutputError(path, "cannot follow the symbolic link: " + error.message());
    CheckFolder(path, FolderOf(fs::u8path(target.destination)));
  } else if (status.type() == fs::file_type::block || status.type() == fs::file_type::socket) {
    throw OutputError(path, "is not a file, a character device or a named pipe; it is left alone");
  } else {
    target.kind = OutputTarget::Kind::kStream;
    target.destination = path;
  }
  return target;
}

std::string ExistingFileIdentity(const std::string& path) {
  std::error_code error;
  if (!fs::exists(fs::u8path(path), error)) return std::string();
  return PathIdentity(fs::u8path(path));
}

std::string StandardInputIdentity() { return HandleIdentity(GetStdHandle(STD_INPUT_HANDLE)); }

std::string OutputFiles::Stage(const std::string& path, const std::function<void(std::ostream&)>& write) {
  Staged file;
  file.path = OutputName(path);
  file.target = InspectOutputTarget(path);
  const bool straight = file.target.kind == OutputTarget::Kind::kStream ||
                        file.target.kind == OutputTarget::Kind::kStandardOutput;
  std::error_code error;
  const fs::path folder =
      straight ? fs::temp_directory_path(error) : FolderOf(fs::u8path(file.target.destination));

  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(folder.wstring().c_str(), L"mvl", 0, temporary) == 0)
    throw OutputError(path, "cannot create a temporary file: " + LastErrorText());
  file.slot = Hold(temporary);
  const fs::path temporaryPath(temporary);
  auto discard = [&] {
    Release(file.slot);
    DeleteFileW(temporary);
  };
  bool written = false;
  {
    std::ofstream out(temporaryPath, std::ios::binary | std::ios::trunc);
    try {
      if (out) write(out);
    } catch (...) {
      out.close();
      discard();
      throw;
    }
    out.flush();
    written = static_cast<bool>(out);
  }
  if (!written) {
    discard();
    throw OutputError(path, "cannot write");
  }
  file.temporary = temporaryPath.u8string();
  staged_.push_back(file);
  return staged_.back().temporary;
}

void OutputFiles::WriteStraight(const Staged& file) {
  std::ifstream from(fs::u8path(file.temporary), std::ios::binary);
  if (!from) throw OutputError(file.path, "cannot read back what was staged");
  HANDLE to = INVALID_HANDLE_VALUE;
  const bool standardOutput = file.target.kind == OutputTarget::Kind::kStandardOutput;
  if (standardOutput) {
    std::cout.flush();
    to = GetStdHandle(STD_OUTPUT_HANDLE);
  } else {
    to = CreateFileW(Wide(file.target.destination).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
  }
  if (to == INVALID_HANDLE_VALUE || to == nullptr)
    throw OutputError(file.path, "cannot open: " + LastErrorText());
  std::string problem;
  char buffer[1 << 16];
  while (problem.empty() && from) {
    from.read(buffer, sizeof buffer);
    const char* at = buffer;
    DWORD left = static_cast<DWORD>(from.gcount());
    while (left > 0) {
      DWORD wrote = 0;
      if (!WriteFile(to, at, left, &wrote, nullptr) || wrote == 0) {
        problem = "cannot write: " + LastErrorText();
        break;
      }
      at += wrote;
      left -= wrote;
    }
  }
  if (!standardOutput) CloseHandle(to);
  if (!problem.empty()) throw OutputError(file.path, problem);
}

void OutputFiles::RenameFiles() {
  struct Ops {
    bool Rename(const std::wstring& from, const std::wstring& to) const {
      return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }
    bool Remove(const std::wstring& path) const { return DeleteFileW(path.c_str()) != 0; }
  };
  RenamedFiles<std::wstring, Ops> renamed{Ops()};
  for (Staged& file : staged_) {
    if (file.target.kind != OutputTarget::Kind::kFile && file.target.kind != OutputTarget::Kind::kNewFile)
      continue;
    const fs::path destination = fs::u8path(file.target.destination);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(destination, error);
    const bool replaces = fs::exists(status);
    const bool refused = replaces && !fs::is_regular_file(status);
    const std::wstring to = destination.wstring();
    const std::wstring backup = replaces && !refused ? LinkBackup(destination) : std::wstring();
    const std::wstring from = Wide(file.temporary);
    if (refused ||
        MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
      const std::string code = refused ? std::string() : LastErrorText();
      if (!backup.empty()) DeleteFileW(backup.c_str());
      throw OutputError(file.path, renamed.Fail(refused, code));
    }
    Release(file.slot);
    file.slot = -1;
    file.temporary.clear();
    renamed.Add({to, backup, replaces});
  }
}

void OutputFiles::Unstage(const Staged& file) {
  Release(file.slot);
  if (!file.temporary.empty()) DeleteFileW(Wide(file.temporary).c_str());
}

}  // namespace morvelin
