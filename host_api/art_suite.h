// "AI Art Suite": the art tree. Children are kept in paint order: the first
// child is the lowest object, each sibling lies above the one before it.
#pragma once

#include "host_types.h"

#define kArtSuite "AI Art Suite"
enum { kArtSuiteVersion = 14 };

// Art type codes (signed 16-bit).
enum {
  kArtTypeUnknown = 0,
  kArtTypeGroup = 1,
  kArtTypePath = 2,
  kArtTypeCompoundPath = 3,
  kArtTypeText = 4,
  kArtTypePlaced = 5,
  kArtTypeRaster = 6,
  kArtTypeForeign = 7,  // anything else the host keeps but does not model
};

// Paint orders: where a new object goes relative to a reference object.
enum {
  kPlaceAbove = 1,          // directly above the reference, in its group
  kPlaceBelow = 2,          // directly below the reference, in its group
  kPlaceInsideOnTop = 3,    // last child of the reference group
  kPlaceInsideOnBottom = 4  // first child of the reference group
};

// Bounds options for GetArtTransformBounds.
enum {
  kBoundsWithStroke = 1,   // include half the stroke width on every side
  kBoundsGeometric = 2     // the exact bounds of the curves, stroke ignored
};

typedef struct ArtSuite {
  // Stores the type code of `art` in *type. Returns 0 or kHostErrBadParameter.
  HostError(HOSTCALL* GetArtType)(ArtHandle art, int16_t* type);
  // Stores the first child of a group in *child, or null for an empty group or
  // an object without children.
  HostError(HOSTCALL* GetArtFirstChild)(ArtHandle art, ArtHandle* child);
  // Stores the object above `art` in its group in *sibling, or null.
  HostError(HOSTCALL* GetArtSibling)(ArtHandle art, ArtHandle* sibling);
  // Stores the group holding `art` in *parent, or null for a root.
  HostError(HOSTCALL* GetArtParent)(ArtHandle art, ArtHandle* parent);
  // Copies `art` (with its descendants) and places the copy at `paintOrder`
  // relative to `prep`; the copy's handle goes to *newArt.
  HostError(HOSTCALL* DuplicateArt)(ArtHandle art, int16_t paintOrder, ArtHandle prep, ArtHandle* newArt);
  // Removes `art` and its descendants from the document; the handles become
  // invalid.
  HostError(HOSTCALL* DisposeArt)(ArtHandle art);
  // Stores the bounds of `art`, transformed by `matrix` when it is not null,
  // in *bounds. `options` is one of the kBounds values.
  HostError(HOSTCALL* GetArtTransformBounds)(ArtHandle art, const HostMatrix* matrix, int32_t options,
                                            HostRect* bounds);
} ArtSuite;
