// "SP Blocks Suite": host memory blocks. The plug-in acquires and releases it
// with the others and allocates through SPBasicSuite instead.
#pragma once

#include "host_types.h"

#define kSPBlocksSuite "SP Blocks Suite"
enum { kSPBlocksSuiteVersion = 2 };

typedef struct SPBlocksSuite {
  // As SPBasicSuite::AllocateBlock.
  HostError(HOSTCALL* AllocateBlock)(uint32_t size, void** block);
  // As SPBasicSuite::FreeBlock.
  HostError(HOSTCALL* FreeBlock)(void* block);
} SPBlocksSuite;
