// Reading a drawing's bytes with a bound: a file, a pipe or a device is read
// up to the limit and refused beyond it, and so is a compressed drawing that
// unpacks to more, so that a hostile or endless input ends in a message, not
// in exhausted memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvelin {

// The most a drawing may hold, as read and as unpacked, unless
// --max-input-size says otherwise: 256 MiB.
constexpr std::uint64_t kDefaultMaxInputBytes = std::uint64_t{256} << 20;

// The bytes of the file at `path`, or of the standard input for "-" (named
// "<stdin>" in messages), unpacked when they are gzip-compressed (.svgz). Throws SvgError for a folder, an
// unreadable file, a damaged compressed one, and one of more than `maxBytes` bytes as read or as unpacked
// (the message names the limit); no more than `maxBytes` + 1 bytes are read, so an input that never ends (a
// pipe, /dev/zero) stops there.
std::string ReadDrawingBytes(const std::string& path, std::uint64_t maxBytes);

// "256 MiB", "1 KiB", "1000 bytes": a size as the messages give it.
std::string SizeText(std::uint64_t bytes);

// A size given on the command line: a whole number of bytes, or one followed
// by K, M or G (KiB, MiB, GiB: powers of 1024). Nothing for anything else,
// for 0 and for more than 2^64 - 1 bytes.
std::optional<std::uint64_t> ParseSizeArgument(std::string_view text);

// The refusal of a drawing larger than `maxBytes`, `what` saying how (e.g.
// "is larger than", "unpacks to more than"): the problem part of the message.
std::string TooLargeProblem(const std::string& what, std::uint64_t maxBytes);

}  // namespace morvelin
