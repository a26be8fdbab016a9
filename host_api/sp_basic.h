// The basic suite every message carries, and the header of every message.
#pragma once

#include <stddef.h>

#include "host_types.h"

// The host's gateway to every other suite and to its memory blocks.
typedef struct SPBasicSuite {
  // Looks up suite `name` at `version` and stores its function table in
  // *suite. Returns 0, or kHostErrSuiteNotFound leaving *suite untouched. Every
  // successful acquisition must be matched by one ReleaseSuite.
  HostError(HOSTCALL* AcquireSuite)(const char* name, int32_t version, const void** suite);
  // Gives back one acquisition of the suite. Returns 0, or an error when the
  // suite was not acquired.
  HostError(HOSTCALL* ReleaseSuite)(const char* name, int32_t version);
  // Allocates `size` bytes of host memory into *block; the contents are not
  // cleared. Returns 0 or kHostErrOutOfMemory. The block lives until FreeBlock.
  HostError(HOSTCALL* AllocateBlock)(uint32_t size, void** block);
  // Hands a block from AllocateBlock back. Returns 0, or kHostErrBadParameter
  // for a pointer that is not a live block.
  HostError(HOSTCALL* FreeBlock)(void* block);
} SPBasicSuite;

// Marks a record as a message record.
enum { kSPValidMessageData = HOST_FOURCC('S', 'P', 'C', 'k') };

// The first 16 bytes (32-bit layout) of every message record.
typedef struct SPMessageData {
  int32_t SPCheck;      // kSPValidMessageData
  PluginRef self;       // the plug-in's reference
  void* globals;        // a pointer the host keeps for the plug-in
  SPBasicSuite* basic;  // the basic suite
} SPMessageData;

#if HOST_API_32BIT
static_assert(sizeof(SPMessageData) == 16, "message header is 16 bytes");
static_assert(offsetof(SPMessageData, self) == 4, "self at 4");
static_assert(offsetof(SPMessageData, globals) == 8, "globals at 8");
static_assert(offsetof(SPMessageData, basic) == 12, "basic at 12");
#endif
