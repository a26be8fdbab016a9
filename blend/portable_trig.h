// cos, sin and acos of a 32-bit float, the same bits on every platform.
//
// The results are the nearest doubles to values computed in double-double
// arithmetic (about 100 bits) from +, -, * and / on IEEE doubles alone: no
// libm, no x87, no fused multiply-add, so the native build and the 32-bit
// DLL (SSE2 doubles) compute identical bits. Rounded to a float they equal
// glibc's cos, sin and acos rounded to a float on every argument compared so
// far (scripts/math-check.sh: a sample of about a million floats; its
// `exhaustive` mode runs all of them). NaN and infinite
// arguments give NaN as glibc does (x - x).
#pragma once

namespace blend_math {

double PortableCos(float x);
double PortableSin(float x);
// acos for x in [-1, 1]; NaN outside.
double PortableAcos(float x);

}  // namespace blend_math
