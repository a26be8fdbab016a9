// Parameter dictionaries ("AI Dictionary Suite" version 6): interned keys and typed entries.
#pragma once

namespace standin {

class Host;

class DictionaryStore {
 public:
};

// Registers the suites of this component with the host.
void RegisterDictionarySuite(Host& host);

}  // namespace standin
