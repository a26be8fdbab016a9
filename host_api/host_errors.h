// Named host error codes. The plug-in makes only kHostErrCancelled and
// kHostErrOutOfMemory; every other code comes from the host and is passed on
// unchanged.
#pragma once

#include "host_types.h"

enum {
  kHostNoError = 0,
  // The user cancelled ('STOP').
  kHostErrCancelled = HOST_FOURCC('S', 'T', 'O', 'P'),
  // Out of memory ('!MEM').
  kHostErrOutOfMemory = HOST_FOURCC('!', 'M', 'E', 'M'),

  // Codes the stand-in host gives; a real host has its own.
  // A handle or argument the host does not accept ('PARM').
  kHostErrBadParameter = HOST_FOURCC('P', 'A', 'R', 'M'),
  // No suite of that name and version ('S!Fd').
  kHostErrSuiteNotFound = HOST_FOURCC('S', '!', 'F', 'd'),
  // A dictionary entry of another type, or none ('TYPE').
  kHostErrWrongType = HOST_FOURCC('T', 'Y', 'P', 'E'),
  // A segment index or count outside the path ('RNGE').
  kHostErrRange = HOST_FOURCC('R', 'N', 'G', 'E'),
  // An operation the object does not support ('NOPE').
  kHostErrUnsupported = HOST_FOURCC('N', 'O', 'P', 'E'),

  // Plug-in's own codes for outcomes the host interface has no code for.
  // An exception other than ai::Error or std::bad_alloc reached the entry point ('EXCP').
  kPluginErrUnexpected = HOST_FOURCC('E', 'X', 'C', 'P'),
  // The host built no dialog ('DLG!').
  kPluginErrNoDialog = HOST_FOURCC('D', 'L', 'G', '!'),
  // A message that needs the globals block arrived without one ('GLB!').
  kPluginErrNoGlobals = HOST_FOURCC('G', 'L', 'B', '!'),
};
