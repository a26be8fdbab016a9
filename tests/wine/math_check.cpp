// math_check OUT FIRST COUNT STRIDE [--digest] [--libm]
//
// Runs 32-bit float arguments through the plug-in's maths helpers
// (blend/float_math.h: FloatCos, FloatSin, ClampedAcos), compiled as the
// plug-in is, and writes their results so that builds can be compared; with
// --libm through the platform's own cos, sin and acos instead (glibc
// natively; msvcrt and mingw-w64's runtime in the Win32 build), rounded and
// clamped the same way. The arguments are the bit patterns FIRST,
// FIRST + STRIDE, ... (COUNT of them, wrapping at 2^32). Without --digest OUT
// gets 12 bytes per argument: the bits of cos, sin and acos (acos only for
// arguments in [-1, 1], else 0). With --digest it gets one 64-bit FNV-1a
// digest of those bytes per 2^20 arguments, which keeps an exhaustive run's
// output small; differing blocks are then run again in full.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "blend/float_math.h"

namespace {

uint32_t Bits(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: math_check OUT FIRST COUNT STRIDE [--digest]\n");
    return 2;
  }
  const uint32_t first = static_cast<uint32_t>(std::strtoull(argv[2], nullptr, 0));
  const uint64_t count = std::strtoull(argv[3], nullptr, 0);
  const uint32_t stride = static_cast<uint32_t>(std::strtoull(argv[4], nullptr, 0));
  bool digest = false;
  bool libm = false;
  for (int i = 5; i < argc; ++i) {
    digest = digest || std::string(argv[i]) == "--digest";
    libm = libm || std::string(argv[i]) == "--libm";
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "math_check: cannot write %s\n", argv[1]);
    return 2;
  }
  constexpr uint64_t kBlock = 1u << 20;
  constexpr uint64_t kOffset = 1469598103934665603ull;
  uint64_t hash = kOffset;
  uint32_t bits = first;
  for (uint64_t i = 0; i < count; ++i, bits += stride) {
    float x = 0.0f;
    std::memcpy(&x, &bits, sizeof x);
    const double d = x;
    uint32_t results[3] = {Bits(libm ? blend_math::RoundToReal(std::cos(d)) : blend_math::FloatCos(x)),
                           Bits(libm ? blend_math::RoundToReal(std::sin(d)) : blend_math::FloatSin(x)), 0};
    if (x >= -1.0f && x <= 1.0f)
      results[2] = Bits(libm ? blend_math::RoundToReal(std::acos(d)) : blend_math::ClampedAcos(x));
    if (!digest) {
      std::fwrite(results, sizeof results, 1, out);
      continue;
    }
    unsigned char bytes[sizeof results];
    std::memcpy(bytes, results, sizeof results);
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    if ((i + 1) % kBlock == 0 || i + 1 == count) {
      std::fwrite(&hash, sizeof hash, 1, out);
      hash = kOffset;
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
