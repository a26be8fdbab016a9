// The stand-in host: an in-process implementation of every suite the plug-in
// calls. One Host is current at a time (the host is single-threaded); its
// suite functions find it through Host::Current(). Each concept lives in its
// own component; Host owns them, the journal and the accounting.
#pragma once

#include <memory>
#include <string>

#include "host_api/host_api.h"
#include "standin/journal/journal.h"

namespace standin {

class SuiteRegistry;
class BlockStore;
class ArtStore;
class StringStore;
class DictionaryStore;
class MenuStore;
class EffectHost;
class DialogToolkit;
class ContextStack;
class UniteEngine;
class ResourceTable;

// What the host handed out and has not got back.
struct Balance {
  int suites = 0;    // acquisitions not released
  int blocks = 0;    // blocks not freed
  int strings = 0;   // Unicode strings not disposed of
  int contexts = 0;  // application contexts pushed and not popped
  int dialogs = 0;   // dialogs created and not destroyed
  int badDisposes = 0;  // disposes of strings that were not live (double disposes)
  bool Zero() const {
    return suites == 0 && blocks == 0 && strings == 0 && contexts == 0 && dialogs == 0 && badDisposes == 0;
  }
  std::string Text() const;
};

class Host {
 public:
  // Becomes the current host; the previous one is restored by the destructor.
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The current host, or null when none exists.
  static Host* Current();

  Journal& journal() { return journal_; }
  SuiteRegistry& suites() { return *suites_; }
  BlockStore& blocks() { return *blocks_; }
  ArtStore& art() { return *art_; }
  StringStore& strings() { return *strings_; }
  DictionaryStore& dictionaries() { return *dictionaries_; }
  MenuStore& menus() { return *menus_; }
  EffectHost& effects() { return *effects_; }
  DialogToolkit& dialogs() { return *dialogs_; }
  ContextStack& contexts() { return *contexts_; }
  UniteEngine& unite() { return *unite_; }
  ResourceTable& resources() { return *resources_; }

  // The basic suite handed to the plug-in in every message.
  SPBasicSuite* basic();
  // Fills a message header for the plug-in: check, self, the globals the host
  // keeps for it, and the basic suite.
  SPMessageData MessageHeader();
  // The plug-in reference the host gave the plug-in.
  PluginRef self() const { return self_; }
  // The globals pointer the host keeps for the plug-in between messages.
  void*& pluginGlobals() { return pluginGlobals_; }

  Balance balance() const;

 private:
  Host* previous_;
  Journal journal_;
  PluginRef self_;
  void* pluginGlobals_ = nullptr;
  std::unique_ptr<SuiteRegistry> suites_;
  std::unique_ptr<BlockStore> blocks_;
  std::unique_ptr<ArtStore> art_;
  std::unique_ptr<StringStore> strings_;
  std::unique_ptr<DictionaryStore> dictionaries_;
  std::unique_ptr<MenuStore> menus_;
  std::unique_ptr<EffectHost> effects_;
  std::unique_ptr<DialogToolkit> dialogs_;
  std::unique_ptr<ContextStack> contexts_;
  std::unique_ptr<UniteEngine> unite_;
  std::unique_ptr<ResourceTable> resources_;
};

}  // namespace standin
