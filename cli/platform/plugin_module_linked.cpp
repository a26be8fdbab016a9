// The native build's plug-in: its sources are linked into this program, and
// its resources come from the definitions the DLL's resource script uses.
#include "cli/session/plugin_module.h"
#include "cli/session/plugin_resources.h"
#include "plugin/plugin_main.h"
#include "standin/core/plugin_file.h"

namespace morvelin {

void SetPluginPath(const std::string&) {}

PluginMainProc OpenPlugin(standin::ResourceTable& table, std::string*) {
  LoadPluginResources(table);
  return PluginMain;
}

namespace {

// Linked-in code cannot leave memory.
class LinkedPlugin final : public standin::PluginFile {
 public:
  void Unload() override {}
  PluginMainProc Load() override { return PluginMain; }
};

}  // namespace

standin::PluginFile* PluginFileForReload() {
  static LinkedPlugin file;
  return &file;
}

}  // namespace morvelin
