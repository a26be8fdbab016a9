#include "standin/core/host.h"

#include <sstream>
#include <utility>

#include "standin/art/art_store.h"
#include "standin/core/block_store.h"
#include "standin/core/resource_table.h"
#include "standin/core/suite_registry.h"
#include "standin/dialogs/context_stack.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/dictionary/string_store.h"
#include "standin/effects/effect_host.h"
#include "standin/menus/menu_store.h"
#include "standin/unite/unite_engine.h"

namespace standin {

namespace {
Host* gCurrent = nullptr;
// The plug-in reference is an address the plug-in never dereferences.
PluginObject* const kPluginReference = reinterpret_cast<PluginObject*>(0x5E1F);

// The plug-in reference, the first handle the journal numbers.
PluginRef NewPluginReference(Journal& journal) {
  journal.handles().Created(kPluginReference);
  return kPluginReference;
}
}  // namespace

std::string Balance::Text() const {
  std::ostringstream out;
  out << "suites " << suites << ", blocks " << blocks << ", strings " << strings << ", contexts " << contexts
      << ", dialogs " << dialogs << ", bad disposes " << badDisposes;
  return out.str();
}

Host::Host()
    // Current from the start, so that the stores number what they make now.
    : previous_(std::exchange(gCurrent, this)),
      self_(NewPluginReference(journal_)),
      suites_(std::make_unique<SuiteRegistry>()),
      blocks_(std::make_unique<BlockStore>()),
      art_(std::make_unique<ArtStore>()),
      strings_(std::make_unique<StringStore>()),
      dictionaries_(std::make_unique<DictionaryStore>()),
      menus_(std::make_unique<MenuStore>()),
      effects_(std::make_unique<EffectHost>(*this)),
      dialogs_(std::make_unique<DialogToolkit>()),
      contexts_(std::make_unique<ContextStack>()),
      unite_(std::make_unique<UniteEngine>()),
      resources_(std::make_unique<ResourceTable>()) {
  RegisterBlocksSuite(*this);
  RegisterArtSuites(*this);
  RegisterUnicodeStringSuite(*this);
  RegisterDictionarySuite(*this);
  RegisterMenuSuites(*this);
  RegisterLiveEffectSuite(*this);
  RegisterDialogSuites(*this);
  RegisterContextSuite(*this);
  RegisterPathfinderSuite(*this);
}

Host::~Host() { gCurrent = previous_; }

Host* Host::Current() { return gCurrent; }

SPBasicSuite* Host::basic() { return suites_->basic(); }

SPMessageData Host::MessageHeader() {
  SPMessageData d{};
  d.SPCheck = kSPValidMessageData;
  d.self = self_;
  d.globals = pluginGlobals_;
  d.basic = basic();
  return d;
}

Balance Host::balance() const {
  Balance b;
  b.suites = suites_->Outstanding();
  b.blocks = blocks_->Live();
  b.strings = strings_->Live();
  b.contexts = contexts_->Pushed();
  b.dialogs = dialogs_->Open();
  b.badDisposes = strings_->BadDisposes();
  return b;
}

}  // namespace standin
