#include "cli/svg/svg_input_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_gzip.h"

namespace morvelin {

std::string SizeText(std::uint64_t bytes) {
  const struct {
    unsigned shift;
    const char* unit;
  } units[] = {{30, "GiB"}, {20, "MiB"}, {10, "KiB"}};
  for (const auto& unit : units) {
    const std::uint64_t size = std::uint64_t{1} << unit.shift;
    if (bytes >= size && bytes % size == 0) return std::to_string(bytes >> unit.shift) + " " + unit.unit;
  }
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string TooLargeProblem(const std::string& what, std::uint64_t maxBytes) {
  return what + " " + SizeText(maxBytes) + ", the limit on a drawing's size (--max-input-size sets it)";
}

std::optional<std::uint64_t> ParseSizeArgument(std::string_view text) {
  std::uint64_t value = 0;
  std::size_t at = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[at] - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  if (at == 0) return std::nullopt;
  const std::string_view suffix = text.substr(at);
  unsigned shift = 0;
  if (suffix == "K" || suffix == "KiB" || suffix == "k") {
    shift = 10;
  } else if (suffix == "M" || suffix == "MiB") {
    shift = 20;
  } else if (suffix == "G" || suffix == "GiB") {
    shift = 30;
  } else if (!suffix.empty()) {
    return std::nullopt;
  }
  if (value == 0 || value > (UINT64_MAX >> shift)) return std::nullopt;
  return value << shift;
}

namespace {

// The bytes `readPiece(buffer, size)` gives, piece by piece until it gives
// none, refused as soon as they are more than `maxBytes`: a pipe or a device
// has no size to check beforehand, and a file may grow while it is read.
template <typename ReadPiece>
std::string ReadBounded(const std::string& name, std::uint64_t maxBytes, std::uint64_t expected,
                        ReadPiece readPiece) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(expected));
  char piece[1 << 16];
  for (;;) {
    const std::size_t got = readPiece(piece, sizeof piece);
    if (got == 0) break;
    if (bytes.size() + got > maxBytes) throw SvgError(name, TooLargeProblem("is larger than", maxBytes));
    bytes.append(piece, got);
  }
  return bytes;
}

// The drawing piped in: read in binary (Windows would otherwise turn CR LF
// into LF and stop at a Ctrl-Z byte), up to the limit and no further.
std::string ReadStandardInput(std::uint64_t maxBytes) {
  const std::string name = InputName("-");
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  std::string bytes = ReadBounded(
      name, maxBytes, 0, [](char* piece, std::size_t size) { return std::fread(piece, 1, size, stdin); });
  if (std::ferror(stdin)) throw SvgError(name, "cannot read the standard input");
  return IsGzip(bytes) ? Gunzip(bytes, name, maxBytes) : bytes;
}

}  // namespace

std::string ReadDrawingBytes(const std::string& path, std::uint64_t maxBytes) {
  if (IsStandardStream(path)) return ReadStandardInput(maxBytes);
  // The path is UTF-8 (on Windows too, where a narrow path would be taken in
  // the ANSI code page).
  const std::filesystem::path file = std::filesystem::u8path(path);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (std::filesystem::is_directory(status)) throw SvgError(path, "is a directory");
  std::uint64_t expected = 0;
  if (std::filesystem::is_regular_file(status)) {
    expected = std::filesystem::file_size(file, error);
    if (!error && expected > maxBytes) throw SvgError(path, TooLargeProblem("is larger than", maxBytes));
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) throw SvgError(path, "cannot open the file");
  std::string bytes = ReadBounded(path, maxBytes, error ? 0 : expected, [&in](char* piece, std::size_t size) {
    in.read(piece, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount());
  });
  if (in.bad()) throw SvgError(path, "cannot read the file");
  return IsGzip(bytes) ? Gunzip(bytes, path, maxBytes) : bytes;
}

}  // namespace morvelin
