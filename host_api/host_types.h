// Basic types of the host's plug-in interface: the calling convention, error
// codes, booleans, geometry records and the opaque handles the host gives out.
// Declarations only.
#pragma once

#include <stdint.h>

// Every function the host and the plug-in call across the boundary uses the C
// calling convention of the 32-bit Windows host. On other targets it is the
// platform default.
#if defined(_WIN32) && !defined(_WIN64)
#define HOSTCALL __cdecl
#else
#define HOSTCALL
#endif

// True when pointers and handles are 32 bits wide, as in the shipped host.
#if defined(_WIN32) && !defined(_WIN64)
#define HOST_API_32BIT 1
#else
#define HOST_API_32BIT 0
#endif

// A host error code: 0 for success, otherwise a four-character code.
typedef int32_t HostError;

// A host boolean, tested as a 32-bit value: non-zero is true.
typedef int32_t HostBoolean;

// The host's real number.
typedef float HostReal;

// A point in document units: horizontal, then vertical.
typedef struct HostPoint {
  HostReal h;
  HostReal v;
} HostPoint;

// The host's bounds record.
typedef struct HostRect {
  HostReal left;
  HostReal top;
  HostReal right;
  HostReal bottom;
} HostRect;

// An affine matrix: (h, v) -> (a*h + c*v + tx, b*h + d*v + ty).
typedef struct HostMatrix {
  HostReal a, b, c, d, tx, ty;
} HostMatrix;

// Opaque handles. A handle is valid from the call that hands it out until the
// object is disposed of (art, strings) or the host's owner of it goes away;
// the host owns every object behind a handle.
typedef struct PluginObject* PluginRef;
typedef struct ArtObject* ArtHandle;
typedef struct DictionaryObject* DictionaryHandle;
typedef struct DictKeyObject* DictKey;
typedef struct UnicodeStringObject* UnicodeStringHandle;
typedef struct LiveEffectObject* LiveEffectHandle;
typedef struct ParamContextObject* ParamContext;
typedef struct MenuItemObject* MenuItemHandle;
typedef struct MenuGroupObject* MenuGroupHandle;
typedef struct DialogObject* DialogHandle;
typedef struct ItemObject* ItemHandle;
typedef struct NotifierObject* NotifierHandle;
typedef struct AppContextObject* AppContextHandle;

// Four-character code as a 32-bit number, first character in the high byte.
#define HOST_FOURCC(a, b, c, d) \
  ((int32_t)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))
