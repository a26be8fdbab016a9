// "AI Path Style Suite": a path's paint, read and written as a whole record.
#pragma once

#include <stddef.h>

#include "host_types.h"

#define kPathStyleSuite "AI Path Style Suite"
enum { kPathStyleSuiteVersion = 10 };

// Stroke line joins.
enum { kLineJoinMiter = 0, kLineJoinRound = 1, kLineJoinBevel = 2 };
// Stroke line caps.
enum { kLineCapButt = 0, kLineCapRound = 1, kLineCapSquare = 2 };

// An RGB colour with its opacity, components 0..1.
typedef struct HostColor {
  HostReal red, green, blue, opacity;
} HostColor;

// The 216-byte path style record.
typedef struct PathStyle {
  HostBoolean fillPaint;    // 0: the path is filled
  HostBoolean strokePaint;  // 4: the path is stroked
  HostColor fillColor;      // 8
  HostBoolean evenOddFill;  // 24: fill rule, 0 is non-zero winding
  HostColor strokeColor;    // 28
  HostReal strokeWidth;     // 44
  HostReal miterLimit;      // 48
  HostReal dashOffset;      // 52
  int32_t dashCount;        // 56: entries of dashes in use, 0..32
  HostReal dashes[32];      // 60
  int32_t lineCap;          // 188
  int32_t lineJoin;         // 192: one of kLineJoin
  uint8_t reserved[20];     // 196: kept as written
} PathStyle;

static_assert(sizeof(PathStyle) == 216, "path style record is 216 bytes");
static_assert(offsetof(PathStyle, fillPaint) == 0, "fill-paint flag at 0");
static_assert(offsetof(PathStyle, strokePaint) == 4, "stroke-paint flag at 4");
static_assert(offsetof(PathStyle, lineJoin) == 192, "line join at 192");

typedef struct PathStyleSuite {
  // Copies the path's whole style into *style.
  HostError(HOSTCALL* GetPathStyle)(ArtHandle path, PathStyle* style);
  // Replaces the path's whole style with *style.
  HostError(HOSTCALL* SetPathStyle)(ArtHandle path, const PathStyle* style);
} PathStyleSuite;
