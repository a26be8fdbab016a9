// Number text that reads and writes the same bytes in every build: the native
// tool, the Windows build and the WebAssembly page, whose C++ library has no
// floating-point std::from_chars or std::to_chars. Reading goes through
// fast_float, writing through fmt's shortest round-trip digits; both keep the
// contracts of the std functions they stand in for, so that a drawing written
// anywhere is byte-equal.
#pragma once

#include <system_error>

namespace morvelin {

struct ReadCharsResult {
  const char* ptr;
  std::errc ec;
};

struct WriteCharsResult {
  char* ptr;
  std::errc ec;
};

// As std::from_chars(first, last, value) in its general format: an optional
// '-' (no '+', no leading blanks), decimal digits with an optional point and
// exponent, or "inf", "infinity", "nan", "nan(...)" in any case. `ptr` is past
// the last character used. std::errc::invalid_argument when no number starts
// at `first`; std::errc::result_out_of_range when the number is finite but
// rounds to an infinity, or is not zero but rounds to zero. `value` is set
// only on success.
ReadCharsResult ReadChars(const char* first, const char* last, double& value);
ReadCharsResult ReadChars(const char* first, const char* last, float& value);

// As std::to_chars(first, last, value) without a format: the fewest
// significant digits that read back as exactly `value`, written in fixed
// notation or in scientific notation (at least two exponent digits, "1e+20"),
// whichever is shorter, fixed on a tie; "inf", "-inf", "nan", "-nan"; -0 as
// "-0". std::errc::value_too_large when the text does not fit (then the
// range's contents are unspecified and `ptr` is `last`). 32 characters are
// always enough.
WriteCharsResult WriteChars(char* first, char* last, double value);
WriteCharsResult WriteChars(char* first, char* last, float value);

}  // namespace morvelin
