// The portable number text against the C++ library's std::from_chars and
// std::to_chars, which this native build has: the same bytes, the same
// characters consumed, the same errors.
#include "cli/svg/number_chars.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

template <typename T>
void ExpectReadsAsLibrary(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  T expected = 12345;
  T actual = 12345;
  const std::from_chars_result want = std::from_chars(first, last, expected);
  const morvelin::ReadCharsResult got = morvelin::ReadChars(first, last, actual);
  EXPECT_EQ(got.ec, want.ec) << '"' << text << '"';
  EXPECT_EQ(got.ptr - first, want.ptr - first) << '"' << text << '"';
  // Bit for bit: -0 and NaN included, and untouched on an error.
  EXPECT_EQ(std::memcmp(&actual, &expected, sizeof(T)), 0) << '"' << text << '"';
}

template <typename T>
std::string LibraryText(T value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

template <typename T>
std::string PortableText(T value) {
  char text[64];
  const morvelin::WriteCharsResult result = morvelin::WriteChars(text, text + sizeof text, value);
  EXPECT_EQ(result.ec, std::errc());
  return std::string(text, result.ptr);
}

TEST(NumberChars, ReadsEveryFormAsTheLibraryDoes) {
  static const char* const kTexts[] = {
      // plain, signed, point at either end, exponents, partial exponents
      "0", "-0", "1", "-2.5", ".5", "5.", "1e3", "1E-3", "2.5e+07", "1e", "1e+", "7e-x", "0x1p3", "1,5",
      "12abc",
      // no number
      "", "+1", " 1", "-", ".", "e5", "-.e1", "abc",
      // beyond the float range, and rounding to zero
      "3.4028235e38", "3.4028236e38", "3.5e38", "1e39", "-1e39", "1e-40", "1e-45", "7e-46", "1e-46", "1e-50",
      // beyond the double range
      "1.7976931348623157e308", "1.8e308", "1e400", "4.9e-324", "2e-324", "1e-400",
      // zeros with large exponents stay zeros
      "0e999", "0.000e-999", "-0e-999",
      // named values
      "inf", "-inf", "Infinity", "infx", "nan", "-nan", "NaN(0x1)", "nan(", "in",
      // more digits than any float needs
      "0.1000000000000000055511151231257827021181583404541015625", "123456789012345678901234567890",
      "1.00000005960464477539062500000000000000000001"};
  for (const char* text : kTexts) {
    ExpectReadsAsLibrary<float>(text);
    ExpectReadsAsLibrary<double>(text);
  }
}

TEST(NumberChars, WritesTheLibrarysShortestText) {
  // Every 8191st float bit pattern (subnormals, whole numbers past 2^24, NaNs
  // and infinities among them), and the usual suspects.
  for (uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 8191) {
    const uint32_t pattern = static_cast<uint32_t>(bits);
    float value;
    std::memcpy(&value, &pattern, sizeof value);
    ASSERT_EQ(PortableText(value), LibraryText(value)) << std::hex << pattern;
  }
  const float floats[] = {0.0f,
                          -0.0f,
                          1.0f,
                          0.1f,
                          1e7f,
                          1e-5f,
                          123456.0f,
                          33565872.0f,
                          1e20f,
                          std::numeric_limits<float>::max(),
                          std::numeric_limits<float>::denorm_min(),
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::quiet_NaN()};
  for (float value : floats) EXPECT_EQ(PortableText(value), LibraryText(value)) << LibraryText(value);

  // Random doubles: any bits, and short decimals as drawings hold them.
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 200000; ++i) {
    const uint64_t pattern = random();
    double value;
    std::memcpy(&value, &pattern, sizeof value);
    if (i % 2 == 0) value = static_cast<double>(random() % 100000000) / std::pow(10.0, random() % 12);
    ASSERT_EQ(PortableText(value), LibraryText(value)) << LibraryText(value);
  }
  const double doubles[] = {1e22, 1e21, 123456789012345680.0, 9007199254740993.0, 5e-324, -0.0, 0.3};
  for (double value : doubles) EXPECT_EQ(PortableText(value), LibraryText(value)) << LibraryText(value);
}

TEST(NumberChars, ReportsARangeTooShort) {
  char text[4];
  const morvelin::WriteCharsResult result = morvelin::WriteChars(text, text + sizeof text, 0.125f);
  EXPECT_EQ(result.ec, std::errc::value_too_large);
  EXPECT_EQ(result.ptr, text + sizeof text);
}

}  // namespace
