// Menu groups and items ("AI Menu Suite"), and the "ADM Basic Suite" string and About-box operations.
#pragma once

namespace standin {

class Host;

class MenuStore {
 public:
};

// Registers the suites of this component with the host.
void RegisterMenuSuites(Host& host);

}  // namespace standin
