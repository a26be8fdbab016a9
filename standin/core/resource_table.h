// The plug-in's resources as the host reads them: the string table and the
// dialog template.
#pragma once

namespace standin {

class ResourceTable {
 public:
};

}  // namespace standin
