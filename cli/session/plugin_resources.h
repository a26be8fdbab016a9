// The plug-in's own resources, loaded into a stand-in host the way the real
// host reads them from Morvelin.aip.
#pragma once

namespace standin {
class ResourceTable;
}

namespace morvelin {

// Adds the plug-in's string table (IDs 16000 to 16002) and its Edit-Parameters
// dialog template (DIALOG 16000) to `table`, from the same definitions the DLL's
// resource script uses.
void LoadPluginResources(standin::ResourceTable& table);

}  // namespace morvelin
