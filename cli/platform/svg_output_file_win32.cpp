// The Win32 build's output files: each staged as a temporary file in its
// target's folder, written and flushed, then moved over the target in one
// step (MoveFileEx replaces an existing file, which rename does not on
// Windows).
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_output_file.h"

namespace morvelin {

namespace {

std::string LastErrorText() { return "error " + std::to_string(GetLastError()); }

}  // namespace

OutputFiles::~OutputFiles() {
  for (const Staged& file : staged_) DeleteFileW(std::filesystem::u8path(file.temporary).wstring().c_str());
}

std::string OutputFiles::Stage(const std::string& path, const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path target = std::filesystem::u8path(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (target.filename().empty()) throw OutputError(path, "not a file name");

  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(folder.wstring().c_str(), L"mvl", 0, temporary) == 0)
    throw OutputError(path, "cannot create a file there: " + LastErrorText());
  const std::filesystem::path temporaryPath(temporary);
  bool written = false;
  {
    std::ofstream out(temporaryPath, std::ios::binary | std::ios::trunc);
    try {
      if (out) write(out);
    } catch (...) {
      out.close();
      DeleteFileW(temporary);
      throw;
    }
    out.flush();
    written = static_cast<bool>(out);
  }
  if (!written) {
    DeleteFileW(temporary);
    throw OutputError(path, "cannot write");
  }
  staged_.push_back(Staged{path, temporaryPath.u8string()});
  return staged_.back().temporary;
}

void OutputFiles::Commit() {
  while (!staged_.empty()) {
    const Staged& file = staged_.front();
    const std::wstring from = std::filesystem::u8path(file.temporary).wstring();
    const std::wstring to = std::filesystem::u8path(file.target).wstring();
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
      throw OutputError(file.target, "cannot replace the file: " + LastErrorText());
    staged_.erase(staged_.begin());
  }
}

}  // namespace morvelin
