// "AI Pathfinder Suite": combining paths.
#pragma once

#include <stddef.h>

#include "host_types.h"
#include "sp_basic.h"

#define kPathfinderSuite "AI Pathfinder Suite"
enum { kPathfinderSuiteVersion = 4 };

// The Pathfinder data record (88 bytes with 32-bit pointers).
typedef struct PathfinderData {
  double precision;                 // 0: flattening precision option
  int32_t removeRedundantPoints;    // 8
  int32_t extractUnpaintedArtwork;  // 12
  uint8_t hostOptions[60];          // 16: the host's further options
  ArtHandle* objects;               // 76: the objects to combine
  int32_t objectCount;              // 80
  int32_t reserved;                 // 84
} PathfinderData;

// The Pathfinder message record: a message header and two host fields.
typedef struct PathfinderMessage {
  SPMessageData d;
  void* reserved1;
  void* reserved2;
} PathfinderMessage;

#if HOST_API_32BIT
static_assert(sizeof(PathfinderData) == 88, "pathfinder data is 88 bytes");
static_assert(offsetof(PathfinderData, removeRedundantPoints) == 8, "option at 8");
static_assert(offsetof(PathfinderData, extractUnpaintedArtwork) == 12, "option at 12");
static_assert(offsetof(PathfinderData, objects) == 76, "object list at 76");
static_assert(offsetof(PathfinderData, objectCount) == 80, "object count at 80");
static_assert(offsetof(PathfinderData, reserved) == 84, "last field at 84");
static_assert(sizeof(PathfinderMessage) == 24, "pathfinder message is 24 bytes");
#endif

typedef struct PathfinderSuite {
  // Unites the listed objects into one outline. Returns 0 or a host code.
  HostError(HOSTCALL* DoUniteEffect)(PathfinderData* data, PathfinderMessage* message);
} PathfinderSuite;
