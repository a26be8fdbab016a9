// Where the plug-in comes from. The native build links the plug-in's sources
// into the program; the Win32 build loads the shipped Morvelin.aip with
// LoadLibrary and reaches it only through its exported PluginMain. Either
// way the host gets an entry point and the plug-in's resources, and nothing
// else of the plug-in.
#pragma once

#include <string>

#include "host_api/host_api.h"

namespace standin {
class PluginFile;
class ResourceTable;
}  // namespace standin

namespace morvelin {

// Names the plug-in file to load (the Win32 build; an empty path means
// Morvelin.aip beside the executable). The native build has the plug-in
// linked in and ignores it. Takes effect at the next OpenPlugin.
void SetPluginPath(const std::string& path);

// The plug-in's entry point, with its string table and dialog template added
// to `table` the way the host reads them from the plug-in file. The Win32
// build loads the file once per process and keeps it loaded, but for an
// Unload through PluginFileForReload(). Null when the
// plug-in cannot be loaded; `problem` (when not null) then says why, naming
// the file.
PluginMainProc OpenPlugin(standin::ResourceTable& table, std::string* problem = nullptr);

// The plug-in file OpenPlugin opened, for a PluginSession to take out of
// memory after an accepted Unload and load again for the Reload: the Win32
// build frees the DLL and loads it anew, so the plug-in's static data is
// really lost in between; the native build's linked-in plug-in stays. One
// object for the whole process.
standin::PluginFile* PluginFileForReload();

}  // namespace morvelin
