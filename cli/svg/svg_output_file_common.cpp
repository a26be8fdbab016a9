// The parts of output-file writing that every platform shares: bytes staged
// through the streaming Stage, and single files written through OutputFiles.
// The platform's own file handling is in svg_output_file.cpp (POSIX) or
// svg_output_file_win32.cpp.
#include "cli/svg/svg_output_file.h"

namespace morvelin {

std::string OutputFiles::Stage(const std::string& path, std::string_view bytes) {
  return Stage(path, [bytes](std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  OutputFiles files;
  files.Stage(path, bytes);
  files.Commit();
}

void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write) {
  OutputFiles files;
  files.Stage(path, write);
  files.Commit();
}

}  // namespace morvelin
