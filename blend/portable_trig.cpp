#include "blend/portable_trig.h"

#include <cstdint>
#include <cstring>

namespace blend_math {

namespace {

// ---- Double-double arithmetic: a value is hi + lo with |lo| <= ulp(hi)/2 ----

struct DD {
  double hi;
  double lo;
};

DD QuickTwoSum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

DD TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp's split: hi holds the upper 26 bits of a, lo the rest, exactly.
void Split(double a, double* hi, double* lo) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  *hi = c - (c - a);
  *lo = a - *hi;
}

// a * b exactly as a double-double (Dekker), without a fused multiply-add.
DD TwoProduct(double a, double b) {
  const double p = a * b;
  double ah, al, bh, bl;
  Split(a, &ah, &al);
  Split(b, &bh, &bl);
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD Add(DD a, DD b) {
  DD s = TwoSum(a.hi, b.hi);
  const DD t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = QuickTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return QuickTwoSum(s.hi, s.lo);
}

DD Add(DD a, double b) {
  DD s = TwoSum(a.hi, b);
  s.lo += a.lo;
  return QuickTwoSum(s.hi, s.lo);
}

DD Negate(DD a) { return {-a.hi, -a.lo}; }

DD Multiply(DD a, DD b) {
  DD p = TwoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return QuickTwoSum(p.hi, p.lo);
}

DD Multiply(DD a, double b) {
  DD p = TwoProduct(a.hi, b);
  p.lo += a.lo * b;
  return QuickTwoSum(p.hi, p.lo);
}

// a / b for a double b that is an exact small integer.
DD Divide(DD a, double b) {
  const double q1 = a.hi / b;
  const DD p = TwoProduct(q1, b);
  const double q2 = ((a.hi - p.hi) - p.lo + a.lo) / b;
  return QuickTwoSum(q1, q2);
}

DD SquareRoot(double a) {              // a > 0
  const double s = __builtin_sqrt(a);  // IEEE sqrt is correctly rounded everywhere
  const DD square = TwoProduct(s, s);
  return QuickTwoSum(s, ((a - square.hi) - square.lo) / (2.0 * s));
}

constexpr DD kHalfPi = {1.5707963267948966, 6.123233995736766e-17};
constexpr DD kPi = {3.141592653589793, 1.2246467991473532e-16};

// ---- Reduction: |x| = r + q * pi/2 with |r| <= pi/4 ----

// 2/pi in 32-bit words: 2/pi = sum of kTwoOverPi[j] * 2^(-32 (j + 1)).
constexpr uint32_t kTwoOverPi[] = {0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
                                   0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C};

// A fixed-point number of 6 words: word i weighs 2^(32 i - 160), so bits
// 2^-160 to 2^31; what carries past the top is dropped (only the value
// modulo 4 matters here).
struct Fixed {
  uint32_t words[6] = {};

  // Adds value * 2^(bit - 160) for a value below 2^56 and 0 <= bit; bits
  // past the top are dropped.
  void AddAt(uint64_t value, int bit) {
    const int word = bit / 32;
    const int shift = bit % 32;
    AddWord(word, (value & 0xFFFFFFFFu) << shift);  // < 2^63
    AddWord(word + 1, (value >> 32) << shift);      // < 2^55
  }

  void AddWord(int word, uint64_t value) {
    for (uint64_t carry = value; carry != 0 && word < 6; ++word) {
      const uint64_t sum = static_cast<uint64_t>(words[word]) + (carry & 0xFFFFFFFFu);
      words[word] = static_cast<uint32_t>(sum);
      carry = (carry >> 32) + (sum >> 32);
    }
  }
};

// Quadrant q (0 to 3) and remainder r of |x| for a finite float x with
// |x| > pi/4: |x| * 2/pi is formed exactly in fixed point (Payne and Hanek),
// with the words of 2/pi that can reach bits 2^1 to 2^-160.
DD ReduceLarge(float x, int* quadrant) {
  uint32_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  const int exponentField = static_cast<int>((bits >> 23) & 0xFF);
  const uint64_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;  // x is normal here
  const int exponent = exponentField - 150;                  // |x| = mantissa * 2^exponent

  Fixed product;
  for (int j = 0; j < static_cast<int>(sizeof kTwoOverPi / sizeof kTwoOverPi[0]); ++j) {
    const int weight = exponent - 32 * (j + 1);      // the term's lowest bit weighs 2^weight
    if (weight >= 2) continue;                       // a multiple of 4
    const uint64_t term = mantissa * kTwoOverPi[j];  // < 2^56
    const int bit = weight + 160;
    if (bit + 56 <= 0) break;
    if (bit >= 0) {
      product.AddAt(term, bit);
    } else {
      product.AddAt(term >> -bit, 0);
    }
  }
  int q = static_cast<int>(product.words[5] & 3u);
  // The fraction in [0, 1); from 1/2 on, take the next quadrant and 1 - f
  // with a minus sign.
  bool negative = false;
  if ((product.words[4] & 0x80000000u) != 0) {
    negative = true;
    q = (q + 1) & 3;
    uint64_t carry = 1;  // 2^160 - F: the words' complement plus one
    for (int i = 0; i < 5; ++i) {
      const uint64_t sum = static_cast<uint64_t>(~product.words[i]) + carry;
      product.words[i] = static_cast<uint32_t>(sum);
      carry = sum >> 32;
    }
  }
  DD fraction = {0.0, 0.0};
  double scale = 1.0 / 1461501637330902918203684832716283019655932542976.0;  // 2^-160
  for (int i = 0; i < 5; ++i, scale *= 4294967296.0) fraction = Add(fraction, product.words[i] * scale);
  *quadrant = q;
  const DD r = Multiply(fraction, kHalfPi);
  return negative ? Negate(r) : r;
}

// ---- Kernels on |r| <= pi/4 ----

// sin r = r - r^3/3! + r^5/5! - r^7/7! + tail; the tail (from r^9/9!, at
// most 3.6e-7 r) in plain doubles adds an error below 2^-73 of the result.
DD SinKernel(DD r) {
  const DD r2 = Multiply(r, r);
  const DD r3 = Multiply(r2, r);
  const DD r5 = Multiply(r3, r2);
  const DD r7 = Multiply(r5, r2);
  const double s = r2.hi;
  // 1/9! - s/11! + s^2/13! - ... - s^9/27! (later terms are below 2^-100 r),
  // in Horner order from 1/27!.
  double tail = -1.0 / 1.0888869450418352e28;  // -1/27!
  const double odd[] = {1.0 / 1.5511210043330986e25, -1.0 / 2.585201673888498e22, 1.0 / 5.109094217170944e19,
                        -1.0 / 1.21645100408832e17,  1.0 / 3.55687428096e14,      -1.0 / 1.307674368e12,
                        1.0 / 6227020800.0,          -1.0 / 39916800.0,           1.0 / 362880.0};
  for (double c : odd) tail = tail * s + c;
  const double r9 = r7.hi * s;
  DD sum = Add(Divide(Negate(r7), 5040.0), tail * r9);
  sum = Add(sum, Divide(r5, 120.0));
  sum = Add(sum, Divide(Negate(r3), 6.0));
  return Add(r, sum);
}

// cos r = 1 - r^2/2! + r^4/4! - r^6/6! + r^8/8! + tail; the tail (from
// r^10/10!, at most 2.4e-8) in plain doubles adds an error below 2^-77.
DD CosKernel(DD r) {
  const DD r2 = Multiply(r, r);
  const DD r4 = Multiply(r2, r2);
  const DD r6 = Multiply(r4, r2);
  const DD r8 = Multiply(r4, r4);
  const double s = r2.hi;
  // 1/10! - s/12! + ... + s^9/28!, in Horner order from 1/28!.
  double tail = 1.0 / 3.0488834461171384e29;
  const double even[] = {
      -1.0 / 4.0329146112660565e26, 1.0 / 6.204484017332394e23, -1.0 / 1.1240007277776077e21,
      1.0 / 2.43290200817664e18,    -1.0 / 6.402373705728e15,   1.0 / 2.0922789888e13,
      -1.0 / 87178291200.0,         1.0 / 479001600.0,          -1.0 / 3628800.0};
  for (double c : even) tail = tail * s + c;
  const double r10 = r8.hi * s;
  DD sum = Add(Divide(r8, 40320.0), tail * r10);
  sum = Add(sum, Divide(Negate(r6), 720.0));
  sum = Add(sum, Divide(r4, 24.0));
  sum = Add(sum, Divide(Negate(r2), 2.0));
  return Add(sum, 1.0);
}

// cos (which = 0) or sin (which = 1) of a float.
double SinOrCos(float x, int which) {
  const double d = x;
  if (!(d - d == 0.0)) return d - d;     // NaN or infinite: NaN, as glibc
  if (which == 1 && d == 0.0) return d;  // sin(+-0) = +-0
  const bool negative = d < 0.0;
  const float magnitude = negative ? -x : x;
  int q = 0;
  DD r = {static_cast<double>(magnitude), 0.0};
  if (magnitude > 0.78539816f) r = ReduceLarge(magnitude, &q);
  // cos(r + q pi/2) and sin(r + q pi/2) from the quadrant.
  const int kernel = (q + which) & 1;  // 0: cos kernel, 1: sin kernel
  DD value = kernel == 0 ? CosKernel(r) : SinKernel(r);
  const bool flip = which == 0 ? (q == 1 || q == 2) : (q >= 2);
  if (flip) value = Negate(value);
  if (which == 1 && negative) value = Negate(value);
  return value.hi + value.lo;
}

// asin s for 0 <= s <= 1/2: s + s^3/6 + 3 s^5/40 + 5 s^7/112 + tail; the
// tail (from 35 s^9/1152, at most 1.2e-4 s) in plain doubles adds an error
// below 2^-64 of the result.
DD AsinKernel(DD s) {
  const DD s2 = Multiply(s, s);
  const DD s3 = Multiply(s2, s);
  const DD s5 = Multiply(s3, s2);
  const DD s7 = Multiply(s5, s2);
  const double t = s2.hi;
  // Coefficients (2k)! / (4^k (k!)^2 (2k + 1)) for k = 4 to 40, by their
  // ratio c(k+1)/c(k) = (2k+1)^2 / ((2k+2)(2k+3)), in Horner order.
  double coefficients[37];
  double c = 35.0 / 1152.0;
  for (int k = 4; k <= 40; ++k) {
    coefficients[k - 4] = c;
    c = c * (2.0 * k + 1.0) * (2.0 * k + 1.0) / ((2.0 * k + 2.0) * (2.0 * k + 3.0));
  }
  double tail = 0.0;
  for (int k = 40; k >= 4; --k) tail = tail * t + coefficients[k - 4];
  const double s9 = s7.hi * t;
  DD sum = Add(Divide(Multiply(s7, 5.0), 112.0), tail * s9);
  sum = Add(sum, Divide(Multiply(s5, 3.0), 40.0));
  sum = Add(sum, Divide(s3, 6.0));
  return Add(s, sum);
}

}  // namespace

double PortableCos(float x) { return SinOrCos(x, 0); }
double PortableSin(float x) { return SinOrCos(x, 1); }

double PortableAcos(float x) {
  const double d = x;
  if (!(d >= -1.0 && d <= 1.0)) return (d - d) / (d - d);  // NaN for NaN and outside [-1, 1]
  if (d == 1.0) return 0.0;
  if (d == -1.0) return kPi.hi;
  DD result;
  if (d >= -0.5 && d <= 0.5) {
    // acos x = pi/2 - asin x
    const DD asin = AsinKernel(DD{d < 0.0 ? -d : d, 0.0});
    result = Add(kHalfPi, d < 0.0 ? asin : Negate(asin));
  } else {
    // acos x = 2 asin(sqrt((1 - x)/2)) for x > 1/2, pi minus that of -x for
    // x < -1/2; 1 -+ x and the halving are exact.
    const double z = (d > 0.0 ? 1.0 - d : 1.0 + d) * 0.5;
    const DD twice = Multiply(AsinKernel(SquareRoot(z)), 2.0);
    result = d > 0.0 ? twice : Add(kPi, Negate(twice));
  }
  return result.hi + result.lo;
}

}  // namespace blend_math
