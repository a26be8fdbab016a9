// The native build's plug-in: its sources are linked into this program, and
// its resources come from the definitions the DLL's resource script uses.
#include "cli/plugin_module.h"
#include "cli/plugin_resources.h"
#include "plugin/plugin_main.h"

namespace morvelin {

void SetPluginPath(const std::string&) {}

PluginMainProc OpenPlugin(standin::ResourceTable& table, std::string*) {
  LoadPluginResources(table);
  return PluginMain;
}

}  // namespace morvelin
