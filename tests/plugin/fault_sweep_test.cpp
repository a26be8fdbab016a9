// Every message the plug-in answers, sent through PluginMain with each host
// call of a clean run made to fail in turn. For every failure point the
// message's result is the one its handler gives for that call (the code
// passed on unchanged, or the failure dropped), and afterwards the host has
// nothing outstanding: suites, blocks, strings, contexts, dialogs and the
// plug-in's own handle lists. Run under the sanitizers, it also shows that no
// failure path crashes or touches freed memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "blend/handle_list.h"
#include "cli/session/plugin_resources.h"
#include "plugin/plugin_globals.h"
#include "plugin/plugin_main.h"
#include "plugin/suite_table.h"
#include "standin/art/art_store.h"
#include "standin/core/block_store.h"
#include "standin/core/host.h"
#include "standin/core/plugin_session.h"
#include "standin/core/suite_registry.h"
#include "standin/dialogs/context_stack.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/effects/effect_host.h"
#include "standin/menus/menu_store.h"
#include "standin/unite/unite_engine.h"
#include "tests/support/fault_sweep_rules.h"
#include "tests/support/plugin_session_fixture.h"
#include "tests/support/scene.h"

namespace {

using standin::JournalEntry;

using faultsweep::Expected;
using faultsweep::Fails;
using faultsweep::kInjected;
using faultsweep::Message;

struct Scenario {
  const char* name;
  Message message;
  int paths;                     // circles in the drawing the effect is applied to
  bool lastInsideSecond;         // the last circle lies inside the second: its pair makes no bridge
  std::optional<HostReal> rate;  // "rate" in the application's dictionary
  const char* script;            // the user in the Edit-Parameters dialog
  HostError cleanResult;         // the message's result when nothing fails
  // Host calls of the clean run that can fail, pinned: a host call dropped
  // or added changes it. A deliberate change updates it.
  int failurePoints;
};

const Scenario kScenarios[] = {
    {"startup", Message::kStartup, 0, false, std::nullopt, "", kHostNoError, 62},
    {"go_live_three_paths", Message::kGoLive, 3, false, 50.0f, "", kHostNoError, 128},
    {"go_live_five_paths", Message::kGoLive, 5, false, 50.0f, "", kHostNoError, 233},
    // The template ends without a bridge and is disposed of.
    {"go_live_last_pair_without_bridge", Message::kGoLive, 3, true, 50.0f, "", kHostNoError, 121},
    {"edit_ok", Message::kEditParameters, 3, false, std::nullopt, "ok", kHostNoError, 237},
    {"edit_cancel", Message::kEditParameters, 3, false, 30.0f, "drag 70; cancel", kHostErrCancelled, 238},
    {"edit_preview_toggled", Message::kEditParameters, 3, false, 30.0f, "drag 80; untick; tick; ok",
     kHostNoError, 544},
    {"about", Message::kAbout, 0, false, std::nullopt, "", kHostNoError, 32},
    {"shutdown", Message::kShutdown, 0, false, std::nullopt, "", kHostNoError, 1},
};

// Names the scenario in test output.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

// Circles apart from one another, so that every pair makes a bridge.
const testscene::ArtDescription kCircles[] = {
    testscene::Circle("A", 0, 0, 10),   testscene::Circle("B", 40, 0, 10), testscene::Circle("C", 20, 40, 12),
    testscene::Circle("D", 70, 40, 10), testscene::Circle("E", 90, 0, 8),
};
const testscene::ArtDescription kInsideSecond = testscene::Circle("F", 40, 0, 4);

// The input art as a text: type, closed state, round join, every segment
// exactly, and the children. Equal texts are equal art.
void Describe(const ArtObject* art, std::string& text) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "[%d %d %d:", art->type, art->closed ? 1 : 0,
                static_cast<int>(art->style->lineJoin));
  text += buffer;
  for (const PathSegment& s : art->segments) {
    std::snprintf(buffer, sizeof buffer, "(%a %a %a %a %a %a %d)", s.p.h, s.p.v, s.in.h, s.in.v, s.out.h,
                  s.out.v, static_cast<int>(s.corner));
    text += buffer;
  }
  for (const ArtObject* child : art->children) Describe(child, text);
  text += "]";
}

std::string Describe(const ArtObject* art) {
  std::string text;
  if (art != nullptr) Describe(art, text);
  return text;
}

// A fresh stand-in host around PluginMain with the plug-in's resources and
// every suite, the plug-in started unless start-up is the message under
// test, and the scenario's drawing and application. The journal is cleared
// last, so that its entries are those of the message under test.
class World {
 public:
  explicit World(const Scenario& scenario) : scenario_(scenario), session_(host_, PluginMain) {
    gGlobals = nullptr;
    morvelin::LoadPluginResources(host_.resources());
    // The dialog runs the effect up to five times per message; there the
    // stand-in's unite checks and records each call without merging, which
    // keeps a sweep of several hundred runs quick. Go-live merges.
    if (scenario.message == Message::kEditParameters) host_.unite().SetMerging(false);
    if (scenario.message != Message::kStartup) {
      EXPECT_EQ(session_.Startup(), kHostNoError) << host_.journal().Dump();
      aboutItem_ = gGlobals != nullptr ? gGlobals->aboutMenuItem : nullptr;
    }
    if (scenario.paths > 0) Draw();
    if (scenario.message == Message::kEditParameters) {
      std::vector<standin::UserAction> actions;
      std::string error;
      EXPECT_TRUE(standin::ParseUserScript(scenario.script, &actions, &error)) << error;
      host_.dialogs().SetScript(std::move(actions));
    }
    host_.journal().Clear();
  }

  HostError Send() {
    switch (scenario_.message) {
      case Message::kStartup: return session_.Startup();
      case Message::kGoLive: return host_.effects().Execute(*application_);
      case Message::kEditParameters: return host_.effects().EditParameters(*application_);
      case Message::kAbout: return session_.ChooseMenuItem(aboutItem_);
      case Message::kShutdown: block_ = gGlobals; return session_.Shutdown();
    }
    return kHostErrUnsupported;
  }

  // Checks what the message left, then hands back what the host kept and
  // shuts the plug-in down; the host must then be balanced.
  void Finish(const Expected& expected) {
    host_.journal().ClearFaults();
    EXPECT_EQ(LiveHandleLists(), 0);
    if (gGlobals != nullptr) {
      EXPECT_EQ(gGlobals->editMessage, nullptr);
      EXPECT_EQ(gGlobals->inDialog, 0);
      EXPECT_EQ(gGlobals->context, nullptr);
    }
    if (expected.block) {
      EXPECT_EQ(gGlobals != nullptr, *expected.block);
      EXPECT_EQ(host_.blocks().Live(), (*expected.block ? 1 : 0) + expected.strandedBlocks);
    }
    if (expected.aboutShown) {
      EXPECT_EQ(!host_.menus().aboutBoxes().empty(), *expected.aboutShown);
    }
    if (expected.artAsDrawn) {
      EXPECT_EQ(Describe(application_->shown), Describe(drawn_));
    }
    if (scenario_.message == Message::kEditParameters) {
      EXPECT_EQ(host_.journal().Count("DisplayAsModal"), expected.dialogShown ? 1 : 0);
    }

    // A refused release keeps its slot; the next message's release gives it
    // back. That message: the menu command for an item that is not the
    // plug-in's, which acquires and releases every suite and does nothing else.
    if (gGlobals != nullptr) {
      EXPECT_EQ(session_.ChooseMenuItem(nullptr), kHostNoError);
    } else {
      EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
    }
    for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) {
      EXPECT_EQ(*entry.slot, nullptr) << entry.name;
    }

    EXPECT_EQ(host_.suites().Outstanding(), expected.strandedSuites);
    EXPECT_EQ(host_.contexts().Pushed(), expected.strandedContexts);
    while (host_.contexts().Pushed() > 0) host_.contexts().Pop(host_.contexts().Top());
    if (gGlobals != nullptr) {
      EXPECT_EQ(session_.Shutdown(), kHostNoError);
    }
    EXPECT_EQ(gGlobals, nullptr);
    EXPECT_EQ(host_.blocks().Live(), expected.strandedBlocks);
    if (block_ != nullptr && host_.blocks().IsLive(block_)) host_.blocks().Free(block_);
    host_.dialogs().SetScript({});
    const standin::Balance balance = host_.balance();
    EXPECT_EQ(balance.suites, expected.strandedSuites) << balance.Text();
    EXPECT_EQ(balance.blocks, 0) << balance.Text();
    EXPECT_EQ(balance.strings, 0) << balance.Text();
    EXPECT_EQ(balance.contexts, 0) << balance.Text();
    EXPECT_EQ(balance.dialogs, 0) << balance.Text();
    EXPECT_EQ(balance.badDisposes, 0) << balance.Text();
    gGlobals = nullptr;
  }

  standin::Journal& journal() { return host_.journal(); }

 private:
  void Draw() {
    drawn_ = host_.art().NewGroup();
    ArtObject* group = nullptr;
    for (int i = 0; i < scenario_.paths; ++i) {
      // The second and third circles sit in nested groups, so that the walk
      // descends into children too.
      ArtObject* parent = drawn_;
      if (i == 1) parent = group = host_.art().NewGroup(drawn_);
      if (i == 2) parent = host_.art().NewGroup(group);
      const bool inside = scenario_.lastInsideSecond && i == scenario_.paths - 1;
      const testscene::ArtDescription& circle = inside ? kInsideSecond : kCircles[i];
      host_.art().NewPath(parent, circle.segments, true, circle.style);
    }
    const DictionaryHandle parameters = host_.dictionaries().Create();
    if (scenario_.rate)
      host_.dictionaries().Set(parameters, "rate", standin::DictEntry::Real(*scenario_.rate));
    application_ = &host_.effects().Apply(drawn_, parameters);
  }

  const Scenario& scenario_;
  standin::Host host_;
  standin::PluginSession session_;
  ArtObject* drawn_ = nullptr;
  standin::EffectApplication* application_ = nullptr;
  MenuItemHandle aboutItem_ = nullptr;
  void* block_ = nullptr;
};

// The clean run's journal; the run itself is checked like every other.
std::vector<JournalEntry> RecordCleanRun(const Scenario& scenario) {
  World world(scenario);
  EXPECT_EQ(standin::CodeText(world.Send()), standin::CodeText(scenario.cleanResult))
      << world.journal().Dump();
  std::vector<JournalEntry> clean = world.journal().entries();
  Expected expected = Fails(scenario.cleanResult, "clean run");
  if (scenario.message == Message::kAbout) expected.aboutShown = true;
  if (scenario.message == Message::kStartup) expected.block = true;
  world.Finish(expected);
  return clean;
}

// The calls of a journal that return a code, one a line.
std::string CallsThatCanFail(const std::vector<JournalEntry>& clean) {
  std::string text;
  for (const JournalEntry& entry : clean) {
    if (entry.returnsCode) text += entry.suite + "." + entry.op + "(" + entry.args + ")\n";
  }
  return text;
}

int FailurePoints(const std::vector<JournalEntry>& clean) {
  int points = 0;
  for (const JournalEntry& entry : clean) points += entry.returnsCode ? 1 : 0;
  return points;
}

class FaultSweepTest : public ::testing::TestWithParam<Scenario> {
 protected:
  void TearDown() override { gGlobals = nullptr; }
};

TEST_P(FaultSweepTest, EachFailingHostCall) {
  const Scenario& scenario = GetParam();
  const std::vector<JournalEntry> clean = RecordCleanRun(scenario);
  const int points = FailurePoints(clean);
  ASSERT_GT(points, 0) << "the clean run made no host call that can fail";
  EXPECT_EQ(points, scenario.failurePoints) << "host calls that can fail in the clean run:\n"
                                            << CallsThatCanFail(clean);

  int swept = 0;
  for (std::size_t index = 0; index < clean.size(); ++index) {
    if (!clean[index].returnsCode) continue;
    const Expected expected = faultsweep::ExpectAt(scenario.message, scenario.cleanResult, clean, index);
    SCOPED_TRACE(testing::Message() << "failing call " << index << ": " << clean[index].suite << "."
                                    << clean[index].op << "(" << clean[index].args << "); " << expected.why);
    World world(scenario);
    world.journal().FailAt(index, kInjected);
    EXPECT_EQ(standin::CodeText(world.Send()), standin::CodeText(expected.result));
    // The same call failed: the run followed the clean one up to it.
    const auto& entries = world.journal().entries();
    ASSERT_GT(entries.size(), index);
    EXPECT_EQ(entries[index].op, clean[index].op);
    EXPECT_EQ(entries[index].injected, kInjected);
    world.Finish(expected);
    ++swept;
  }
  EXPECT_EQ(swept, points);
  std::cout << "[ sweep    ] " << scenario.name << ": " << swept << " failure points" << std::endl;
  RecordProperty("failure_points", swept);
}

INSTANTIATE_TEST_SUITE_P(Messages, FaultSweepTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

// The number of failure points of every scenario and their total, from the
// clean runs alone (ctest runs each sweep in a process of its own).
TEST(FaultSweepCount, EveryScenarioHasFailurePoints) {
  int total = 0;
  for (const Scenario& scenario : kScenarios) {
    const int points = FailurePoints(RecordCleanRun(scenario));
    EXPECT_GT(points, 0) << scenario.name;
    EXPECT_EQ(points, scenario.failurePoints) << scenario.name;
    std::cout << "[ sweep    ] " << scenario.name << ": " << points << " failure points" << std::endl;
    RecordProperty(std::string("failure_points_") + scenario.name, points);
    total += points;
  }
  std::cout << "[ sweep    ] total: " << total << " failure points" << std::endl;
  RecordProperty("failure_points_total", total);
}

}  // namespace
