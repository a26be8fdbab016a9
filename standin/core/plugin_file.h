// The plug-in's code as the host holds it. After the plug-in has agreed to
// an Unload the host may take its code out of memory, and it loads it again
// before the Reload. Whatever the plug-in keeps in its own static data is
// gone then; only what it parked in the globals field survives.
#pragma once

#include "host_api/host_api.h"

namespace standin {

class PluginFile {
 public:
  virtual ~PluginFile() = default;
  // Takes the plug-in's code out of memory. Every entry point handed out
  // before is invalid afterwards.
  virtual void Unload() = 0;
  // Loads the code again and returns its entry point; null when it cannot
  // be loaded.
  virtual PluginMainProc Load() = 0;
};

}  // namespace standin
