// The Win32 build's atomic write: a temporary file in the target's folder,
// flushed, then moved over the target in one step (MoveFileEx replaces an
// existing file, which rename does not on Windows).
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "cli/svg_errors.h"
#include "cli/svg_output_file.h"

namespace morvelin {

namespace {

std::string LastErrorText() { return "error " + std::to_string(GetLastError()); }

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::filesystem::path target = std::filesystem::u8path(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (target.filename().empty()) throw OutputError(path, "not a file name");

  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(folder.wstring().c_str(), L"mvl", 0, temporary) == 0)
    throw OutputError(path, "cannot create a file there: " + LastErrorText());
  HANDLE file =
      CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const std::string why = LastErrorText();
    DeleteFileW(temporary);
    throw OutputError(path, "cannot create a file there: " + why);
  }
  bool written = true;
  for (std::size_t done = 0; written && done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD n = 0;
    written = WriteFile(file, bytes.data() + done, chunk, &n, nullptr) != 0 && n > 0;
    done += n;
  }
  written = written && FlushFileBuffers(file) != 0;
  const std::string why = written ? "" : LastErrorText();
  CloseHandle(file);
  if (!written) {
    DeleteFileW(temporary);
    throw OutputError(path, "cannot write: " + why);
  }
  if (MoveFileExW(temporary, target.wstring().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
      0) {
    const std::string moveWhy = LastErrorText();
    DeleteFileW(temporary);
    throw OutputError(path, "cannot replace the file: " + moveWhy);
  }
}

}  // namespace morvelin
