// The stand-in's suite functions when memory runs out: no exception crosses
// the C interface, the call answers kHostErrOutOfMemory, and what it would
// have changed (the art, the dictionary, the strings, the blocks) is as it
// was. Each call is made once for every allocation it asks for, with that
// allocation and every later one refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "standin/art/art_arena.h"
#include "standin/art/art_store.h"
#include "standin/art/art_suites.h"
#include "standin/core/block_store.h"
#include "standin/core/suite_registry.h"
#include "standin/dialogs/context_stack.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/dictionary/string_store.h"
#include "tests/support/refused_allocations.h"
#include "tests/support/scene.h"

using namespace testscene;

namespace {

// A long text, so that every copy of it needs memory of its own.
const std::string kLongText(200, 'x');

// A host with a circle "A" (segments kept in the object), a longer path "P"
// (segments on the heap), a dictionary with a real and a string entry, keys
// made ahead and a long string, and the suites the calls go through.
struct World {
  Scene scene{{Circle("A", 0, 0, 10),
               Polygon("P", {{0, 0}, {10, 0}, {20, 5}, {20, 20}, {10, 25}, {0, 20}, {-5, 10}})}};
  DictionaryHandle dictionary = scene.host().dictionaries().Create();
  DictKey kept = scene.host().dictionaries().Key("kept");
  DictKey text = scene.host().dictionaries().Key("text");
  DictKey fresh = scene.host().dictionaries().Key("fresh");
  UnicodeStringHandle longString = scene.host().strings().Make(kLongText);
  const DictionarySuite* dictionaries = Acquire<DictionarySuite>(kDictionarySuite, kDictionarySuiteVersion);
  const UnicodeStringSuite* strings =
      Acquire<UnicodeStringSuite>(kUnicodeStringSuite, kUnicodeStringSuiteVersion);
  const ContextSuite* contexts = Acquire<ContextSuite>(kContextSuite, kContextSuiteVersion);

  World() {
    scene.AllowImbalance();  // strings and suites the calls make stay with the host
    scene.host().dictionaries().Set(dictionary, "kept", standin::DictEntry::Real(1.5f));
    scene.host().dictionaries().Set(dictionary, "text", standin::DictEntry::String("short"));
  }

  template <typename Suite>
  const Suite* Acquire(const char* name, int32_t version) {
    const void* suite = nullptr;
    EXPECT_EQ(scene.host().suites().Acquire(name, version, &suite), kHostNoError) << name;
    return static_cast<const Suite*>(suite);
  }

  // Everything the calls may change, as text.
  std::string State() {
    std::string text;
    char buffer[64];
    for (const char* name : {"A", "P"}) {
      text += name;
      for (const PathSegment& s : scene[name]->segments) {
        std::snprintf(buffer, sizeof buffer, " (%a %a)", s.p.h, s.p.v);
        text += buffer;
      }
      text += "\n";
    }
    for (const auto& [key, entry] : scene.host().dictionaries().Entries(dictionary)) {
      std::snprintf(buffer, sizeof buffer, "%d %a %d %d ", static_cast<int>(entry.type), entry.real,
                    static_cast<int>(entry.integer), entry.boolean ? 1 : 0);
      text += key + ": " + buffer + entry.text + "\n";
    }
    text += "art " + std::to_string(scene.host().art().Live()) + ", strings " +
            std::to_string(scene.host().strings().Live()) + ", blocks " +
            std::to_string(scene.host().blocks().Live()) + ", contexts " +
            std::to_string(scene.host().contexts().Pushed()) + "\n";
    return text;
  }
};

std::vector<PathSegment> Segments(int count, HostReal h) {
  std::vector<PathSegment> segments(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    segments[static_cast<std::size_t>(i)].p = HostPoint{h, static_cast<HostReal>(i)};
  return segments;
}

TEST(SuiteMemory, RunningOutAnswersOutOfMemoryAndChangesNothing) {
  struct Case {
    const char* what;
    std::function<HostError(World&)> call;
  };
  static const std::vector<PathSegment> kThree = Segments(3, 7);
  static const std::vector<PathSegment> kTwenty = Segments(20, 9);
  const Case cases[] = {
      {"InsertPathSegments beyond the segments an object holds",
       [](World& w) {
         return standin::StandinPathSuite().InsertPathSegments(w.scene["A"], 1, 3, kThree.data());
       }},
      {"InsertPathSegments into a longer path",
       [](World& w) {
         return standin::StandinPathSuite().InsertPathSegments(w.scene["P"], 6, 20, kTwenty.data());
       }},
      {"SetRealEntry, a new entry",
       [](World& w) { return w.dictionaries->SetRealEntry(w.dictionary, w.fresh, 2); }},
      {"SetIntegerEntry over a real",
       [](World& w) { return w.dictionaries->SetIntegerEntry(w.dictionary, w.kept, 3); }},
      {"SetBooleanEntry, a new entry",
       [](World& w) { return w.dictionaries->SetBooleanEntry(w.dictionary, w.fresh, 1); }},
      {"SetUnicodeStringEntry, a long text over a short one",
       [](World& w) { return w.dictionaries->SetUnicodeStringEntry(w.dictionary, w.text, w.longString); }},
      {"SetUnicodeStringEntry, a new entry",
       [](World& w) { return w.dictionaries->SetUnicodeStringEntry(w.dictionary, w.fresh, w.longString); }},
      {"Key of a new name",
       [](World& w) {
         return w.dictionaries->Key("a name long enough to need memory of its own") != nullptr
                    ? HostError{kHostNoError}
                    : HostError{kHostErrOutOfMemory};
       }},
      {"GetUnicodeStringEntry",
       [](World& w) {
         UnicodeStringHandle string = nullptr;
         return w.dictionaries->GetUnicodeStringEntry(w.dictionary, w.text, &string);
       }},
      {"MakeFromBytes",
       [](World& w) {
         UnicodeStringHandle string = nullptr;
         return w.strings->MakeFromBytes(&string, kLongText.data(), static_cast<int32_t>(kLongText.size()),
                                         kPlatformEncoding);
       }},
      {"Copy",
       [](World& w) {
         UnicodeStringHandle string = nullptr;
         return w.strings->Copy(&string, w.longString);
       }},
      {"DuplicateArt of the longer path",
       [](World& w) {
         ArtHandle copy = nullptr;
         return standin::StandinArtSuite().DuplicateArt(w.scene["P"], kPlaceAbove, w.scene["P"], &copy);
       }},
      {"AllocateBlock",
       [](World& w) {
         void* block = nullptr;
         return w.scene.host().basic()->AllocateBlock(64, &block);
       }},
      {"PushAppContext",
       [](World& w) {
         AppContextHandle context = nullptr;
         return w.contexts->PushAppContext(w.scene.host().self(), &context);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The clean run: what the call changes, and how many allocations it asks for.
    std::string changed;
    long asked = 0;
    {
      World world;
      refusal::RefuseAfter(LONG_MAX);
      const HostError result = c.call(world);
      asked = refusal::Asked();
      refusal::Allow();
      ASSERT_EQ(result, kHostNoError);
      changed = world.State();
    }
    ASSERT_GT(asked, 0);
    int refused = 0;
    for (long allowed = 0; allowed < asked; ++allowed) {
      World world;
      const std::string before = world.State();
      HostError result = kHostNoError;
      refusal::RefuseAfter(allowed);
      try {
        result = c.call(world);
      } catch (...) {
        refusal::Allow();
        ADD_FAILURE() << "an exception crossed the suite function, allocation " << allowed + 1;
        continue;
      }
      refusal::Allow();
      // Memory a call can do without (a handle's number in the journal)
      // lets it succeed as the clean run did.
      if (result == kHostNoError) {
        EXPECT_EQ(world.State(), changed) << "allocation " << allowed + 1;
        continue;
      }
      EXPECT_EQ(result, kHostErrOutOfMemory) << "allocation " << allowed + 1;
      EXPECT_EQ(world.State(), before) << "allocation " << allowed + 1;
      ++refused;
    }
    EXPECT_GT(refused, 0);
  }
}

// An arena that cannot record a new slab frees it again and stays usable
// (the sanitizer build reports a slab that is not freed).
TEST(SuiteMemory, ANewSlabWithoutRoomInTheArenaIsFreed) {
  standin::ArtArena arena;
  refusal::RefuseAll();
  EXPECT_THROW(arena.Make(), std::bad_alloc);
  refusal::Allow();
  EXPECT_EQ(arena.live(), 0u);
  ArtObject* art = arena.Make();
  EXPECT_TRUE(arena.Holds(art));
  arena.Destroy(art);
}

}  // namespace
