// The Edit-Parameters dialog end to end: the handler, the dialog's procedures
// and the nested preview executions, with a scripted user in the stand-in's
// dialog toolkit. What the person sees is recorded after each step.
#include "params/edit_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "params/number_text.h"
#include "standin/art/art_store.h"
#include "standin/dialogs/context_stack.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/effects/effect_host.h"
#include "tests/support/plugin_session_fixture.h"
#include "tests/support/scene.h"

namespace {

using standin::EffectApplication;
using standin::UserAction;
using Kind = standin::UserAction::Kind;

constexpr HostError kInjected = HOST_FOURCC('T', 'E', 'S', 'T');
constexpr char kBogusNotifier[] = "ADM Bogus Notifier";

// The dialog and the drawing as the person sees them after one step.
struct Seen {
  std::string step;
  int32_t slider = 0;
  std::string value;
  std::string opening;
  bool preview = false;
  std::optional<HostReal> rate;  // in the dictionary
  int executions = 0;
  std::string picture;  // of what the drawing shows
};

// Every path's anchors, in walk order: equal pictures are equal drawings.
void Draw(const ArtObject* art, std::string& picture) {
  if (art == nullptr) return;
  for (const PathSegment& segment : art->segments) {
    char point[64];
    std::snprintf(point, sizeof point, "(%.4f %.4f)", segment.p.h, segment.p.v);
    picture += point;
  }
  if (!art->segments.empty()) picture += ';';
  for (const ArtObject* child : art->children) Draw(child, picture);
}

std::string Picture(const ArtObject* art) {
  std::string picture;
  Draw(art, picture);
  return picture;
}

std::vector<UserAction> Script(const std::string& text) {
  std::vector<UserAction> actions;
  std::string error;
  EXPECT_TRUE(standin::ParseUserScript(text, &actions, &error)) << error;
  return actions;
}

class EditParametersTest : public PluginSessionTest {
 protected:
  void SetUp() override {
    PluginSessionTest::SetUp();
    ASSERT_EQ(session_.Startup(), kHostNoError);
    drawn_ = host_.art().NewGroup();
    for (const testscene::ArtDescription& circle :
         {testscene::Circle("A", 0, 0, 10), testscene::Circle("B", 40, 0, 10),
          testscene::Circle("C", 20, 40, 12)}) {
      host_.art().NewPath(drawn_, circle.segments, true, circle.style);
    }
    host_.dialogs().SetObserver([this](const UserAction& step, const DialogObject& dialog) {
      if (step.kind == Kind::kOpen && onOpen_) onOpen_(const_cast<DialogObject&>(dialog));
      seen_.push_back(See(step, dialog));
    });
  }

  void TearDown() override {
    host_.dialogs().SetObserver(nullptr);
    PluginSessionTest::TearDown();
  }

  EffectApplication& Apply(std::optional<HostReal> rate) {
    const DictionaryHandle parameters = host_.dictionaries().Create();
    if (rate) host_.dictionaries().Set(parameters, "rate", standin::DictEntry::Real(*rate));
    return host_.effects().Apply(drawn_, parameters);
  }

  // What the drawing shows when the effect runs on its own at `rate`.
  std::string PictureAt(HostReal rate) {
    EffectApplication& application = Apply(rate);
    EXPECT_EQ(host_.effects().Execute(application), kHostNoError);
    return Picture(application.shown);
  }

  HostError Edit(EffectApplication& application, std::vector<UserAction> actions) {
    application_ = &application;
    seen_.clear();
    host_.journal().Clear();
    host_.dialogs().SetScript(std::move(actions));
    return host_.effects().EditParameters(application, &allowPreview_);
  }
  HostError Edit(EffectApplication& application, const std::string& script) {
    return Edit(application, Script(script));
  }

  // The steps seen, one line each: "step: slider "value" "opening" [x] rate R executed N".
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (const Seen& seen : seen_) {
      char rate[32] = "none";
      if (seen.rate) std::snprintf(rate, sizeof rate, "%g", static_cast<double>(*seen.rate));
      rows.push_back(seen.step + ": " + std::to_string(seen.slider) + " \"" + seen.value + "\" \"" +
                     seen.opening + "\" " + (seen.preview ? "[x]" : "[ ]") + " rate " + rate + " executed " +
                     std::to_string(seen.executions));
    }
    return rows;
  }

  std::optional<HostReal> Rate(const EffectApplication& application) {
    const standin::DictEntry* entry = host_.dictionaries().Find(application.parameters, "rate");
    if (entry == nullptr) return std::nullopt;
    return entry->real;
  }

  Seen See(const UserAction& step, const DialogObject& dialog) {
    Seen seen;
    seen.step = step.Text();
    seen.slider = dialog.Find(5)->value;
    seen.value = dialog.Find(4)->text;
    seen.opening = dialog.Find(7)->text;
    seen.preview = dialog.Find(6)->boolean != 0;
    seen.rate = Rate(*application_);
    seen.executions = application_->executions;
    seen.picture = Picture(application_->shown);
    return seen;
  }

  // The fields of the globals block the dialog uses are all cleared.
  void ExpectGlobalsCleared() {
    ASSERT_NE(gGlobals, nullptr);
    EXPECT_EQ(gGlobals->editMessage, nullptr);
    EXPECT_EQ(gGlobals->inDialog, 0);
    EXPECT_EQ(gGlobals->context, nullptr);
  }

  ArtObject* drawn_ = nullptr;
  EffectApplication* application_ = nullptr;
  std::vector<Seen> seen_;
  std::function<void(DialogObject&)> onOpen_;
  HostBoolean allowPreview_ = 0;
};

TEST_F(EditParametersTest, FirstApplicationPreviewsFiftyAndUntickingShowsNoEffect) {
  const std::string atFifty = PictureAt(50);
  ASSERT_NE(atFifty, Picture(drawn_));
  EffectApplication& application = Apply(std::nullopt);

  // The script ends after untick: the window is closed, which cancels.
  EXPECT_EQ(Edit(application, "untick"), kHostErrCancelled);
  EXPECT_EQ(allowPreview_, 1);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"open: 50 \"50\" \"\" [x] rate 50 executed 1",
                                              "untick: 50 \"50\" \"\" [ ] rate 0 executed 2"}));
  EXPECT_EQ(seen_[0].picture, atFifty);
  EXPECT_EQ(seen_[1].picture, Picture(drawn_));
  // Cancel leaves what the preview wrote last.
  EXPECT_EQ(Rate(application), 0.0f);
  ExpectGlobalsCleared();
}

TEST_F(EditParametersTest, UntickingRestoresTheStoredRateAndTickingPreviewsTheSlider) {
  const std::string atThirty = PictureAt(30);
  const std::string atSixty = PictureAt(60);
  ASSERT_NE(atThirty, atSixty);
  EffectApplication& application = Apply(30.0f);

  EXPECT_EQ(Edit(application, "drag 80; untick; drag 60; tick; ok"), kHostNoError);
  // One execution for the whole drag; with the preview off the slider moves
  // only the value text.
  EXPECT_EQ(Rows(), (std::vector<std::string>{"open: 30 \"30\" \"\" [x] rate 30 executed 1",
                                              "drag 80: 80 \"80\" \"\" [x] rate 80 executed 2",
                                              "untick: 80 \"80\" \"(30)\" [ ] rate 30 executed 3",
                                              "drag 60: 60 \"60\" \"(30)\" [ ] rate 30 executed 3",
                                              "tick: 60 \"60\" \"\" [x] rate 60 executed 4",
                                              "ok: 60 \"60\" \"\" [x] rate 60 executed 4"}));
  EXPECT_EQ(seen_[2].picture, atThirty);
  EXPECT_EQ(seen_[4].picture, atSixty);
  // OK writes the slider's value and executes once more.
  EXPECT_EQ(Rate(application), 60.0f);
  EXPECT_EQ(application.executions, 5);
}

TEST_F(EditParametersTest, StoredFractionShowsTruncatedAndPreviewsUnrounded) {
  const std::string atStored = PictureAt(37.5f);
  EffectApplication& application = Apply(37.5f);
  EXPECT_EQ(Edit(application, "ok"), kHostNoError);
  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(Rows()[0], "open: 37 \"37\" \"\" [x] rate 37.5 executed 1");
  EXPECT_EQ(seen_[0].picture, atStored);
  EXPECT_EQ(Rate(application), 37.0f);

  // A stored rate beyond any 32-bit whole number: the slider stops at its
  // end, and the preview uses the value as stored.
  EffectApplication& huge = Apply(1e20f);
  EXPECT_EQ(Edit(huge, "cancel"), kHostErrCancelled);
  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(Rows()[0], "open: 100 \"2147483647\" \"\" [x] rate 1e+20 executed 1");
}

TEST_F(EditParametersTest, EveryWayOfClosingButOkCancelsAndKeepsThePreviewsWrite) {
  for (const char* script : {"drag 70; cancel", "drag 70; close", "drag 70"}) {
    SCOPED_TRACE(script);
    EffectApplication& application = Apply(30.0f);
    EXPECT_EQ(Edit(application, script), kHostErrCancelled);
    EXPECT_EQ(Rate(application), 70.0f);
    EXPECT_EQ(application.executions, 2);  // the first preview and the drag; nothing after
  }
}

TEST_F(EditParametersTest, SliderAnswersOnlyItsTwoNotifierTypesWhileOtherItemsAnswerAny) {
  EffectApplication& application = Apply(std::nullopt);
  // The knob at 90 without a notification, so that any answer shows.
  onOpen_ = [](DialogObject& dialog) { dialog.Find(5)->value = 90; };
  const HostError result =
      Edit(application,
           {UserAction::Notify(5, kBogusNotifier), UserAction::Notify(5, kADMIntermediateChangedNotifier),
            UserAction::Notify(5, kADMUserChangedNotifier), UserAction::Of(Kind::kUntick),
            UserAction::Notify(6, kBogusNotifier), UserAction::Notify(1, kBogusNotifier)});
  const std::string bogus = std::string("notify 5 ") + kBogusNotifier;
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[1], bogus + ": 90 \"50\" \"\" [x] rate 50 executed 1");                    // nothing
  EXPECT_EQ(rows[2].substr(rows[2].find(':')), ": 90 \"90\" \"\" [x] rate 50 executed 1");  // the text only
  EXPECT_EQ(rows[3].substr(rows[3].find(':')),
            ": 90 \"90\" \"\" [x] rate 90 executed 2");  // written, executed
  // Unticked, any notification on the box writes the opening rate again,
  // and any on OK accepts.
  EXPECT_EQ(rows[5].substr(rows[5].find(':')), ": 90 \"90\" \"\" [ ] rate 0 executed 4");
  EXPECT_EQ(result, kHostNoError);
  EXPECT_EQ(Rate(application), 90.0f);
}

TEST_F(EditParametersTest, FailedContextPopReportsItsCodeWithoutWriteBackOrCancel) {
  for (const char* script : {"drag 80; untick; ok", "drag 80; untick; cancel"}) {
    SCOPED_TRACE(script);
    EffectApplication& application = Apply(30.0f);
    host_.journal().ClearFaults();
    host_.journal().FailNth("PopAppContext", 1, kInjected);
    EXPECT_EQ(Edit(application, script), kInjected);
    EXPECT_EQ(Rate(application), 30.0f);  // the preview's last write; OK's 80 is not written
    EXPECT_EQ(application.executions, 3);
    ExpectGlobalsCleared();
    // The context stays pushed in the host; take it off for the balance.
    ASSERT_EQ(host_.contexts().Pushed(), 1);
    host_.contexts().Pop(host_.contexts().Top());
  }
}

// A notification has no result to report a failed write with: the dialog
// goes on, that step's preview is not updated (the drawing keeps the last rate
// written), and the next step writes and previews again.
TEST_F(EditParametersTest, AFailedWriteInANotificationSkipsThatPreviewAndTheDialogGoesOn) {
  EffectApplication& application = Apply(30.0f);
  host_.journal().FailNth("MakeFromBytes", 2, kInjected);  // the write of "drag 80"
  EXPECT_EQ(Edit(application, "drag 80; drag 60; ok"), kHostNoError);
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "open: 30 \"30\" \"\" [x] rate 30 executed 1",
                        "drag 80: 80 \"80\" \"\" [x] rate 30 executed 1",
                        "drag 60: 60 \"60\" \"\" [x] rate 60 executed 2",
                        "ok: 60 \"60\" \"\" [x] rate 60 executed 2",
                    }));
  EXPECT_EQ(host_.journal().Count("UpdateParameters"), 3);
  EXPECT_EQ(Rate(application), 60.0f);
}

TEST_F(EditParametersTest, NestedExecutionsUseTheSuitesTheHandlerHolds) {
  EffectApplication& application = Apply(std::nullopt);
  EXPECT_EQ(Edit(application, "drag 80; untick; tick; ok"), kHostNoError);
  // Every execution ran inside the handler, the last one after OK included,
  // and only the handler acquired and released the suites.
  EXPECT_EQ(application.executions, 5);
  EXPECT_EQ(host_.effects().nestedExecutions(), 5);
  EXPECT_EQ(host_.journal().Count("AcquireSuite"), HostSuiteTable::kCount);
  EXPECT_EQ(host_.journal().Count("ReleaseSuite"), HostSuiteTable::kCount);
  EXPECT_EQ(host_.suites().Outstanding(), 0);
}

TEST_F(EditParametersTest, NoDialogFromTheHostPopsTheContextAndWritesNothing) {
  EffectApplication& application = Apply(std::nullopt);
  host_.journal().FailNth("Create", 1, kInjected);
  EXPECT_EQ(Edit(application, "ok"), kPluginErrNoDialog);
  EXPECT_EQ(host_.journal().Count("PopAppContext"), 1);
  EXPECT_EQ(host_.journal().Count("DisplayAsModal"), 0);
  EXPECT_EQ(host_.journal().Count("Destroy"), 0);
  EXPECT_TRUE(host_.dictionaries().Entries(application.parameters).empty());
  EXPECT_EQ(application.executions, 0);
  ExpectGlobalsCleared();
}

TEST_F(EditParametersTest, NoDialogAndARefusedPopReportThePop) {
  const HostError kPopRefused = HOST_FOURCC('P', 'O', 'P', '!');
  EffectApplication& application = Apply(std::nullopt);
  host_.journal().FailNth("Create", 1, kInjected);
  host_.journal().FailNth("PopAppContext", 1, kPopRefused);
  EXPECT_EQ(Edit(application, "ok"), kPopRefused);
  ExpectGlobalsCleared();
  ASSERT_EQ(host_.contexts().Pushed(), 1);
  host_.contexts().Pop(host_.contexts().Top());  // the refused pop left it pushed
}

// The handler's and the dialog procedures' calls on the dialog, the context
// and the dictionary, in order (the nested executions' own calls left out):
// the slider gets its bounds before its value and the box is ticked before it
// gets its procedure, so neither setting notifies; the dialog is destroyed
// before the context is popped, and the write-back comes after both.
TEST_F(EditParametersTest, OkRunCallsTheHostInTheDescribedOrder) {
  EffectApplication& application = Apply(37.5f);
  ASSERT_EQ(Edit(application, "ok"), kHostNoError);
  const std::regex handle("#[0-9a-f]+");
  std::vector<std::string> calls;
  for (const standin::JournalEntry& entry : host_.journal().entries()) {
    const bool dialogSide = entry.suite == kADMDialogSuite || entry.suite == kADMItemSuite ||
                            entry.suite == kContextSuite || entry.suite == kLiveEffectSuite;
    const bool write = entry.op == "SetRealEntry" || entry.op == "SetUnicodeStringEntry";
    if (dialogSide || write) calls.push_back(std::regex_replace(entry.op + " " + entry.args, handle, "#"));
  }
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "PushAppContext #",
                       "Create #, \"Morvelin\", 16000, 0, #, 0",
                       "GetUserData #",
                       "GetItem #, 5",
                       "SetNotifyProc item 5, proc",
                       "SetMinIntValue item 5, 1",
                       "SetMaxIntValue item 5, 100",
                       "SetIntValue item 5, 37",
                       "GetItem #, 4",
                       "SetText item 4, \"37\"",
                       "GetItem #, 6",
                       "SetBooleanValue item 6, 1",
                       "SetNotifyProc item 6, proc",
                       "GetItem #, 1",
                       "SetNotifyProc item 1, proc",
                       "GetItem #, 2",
                       "SetNotifyProc item 2, proc",
                       "SetUnicodeStringEntry #, \"DisplayString\", #",
                       "SetRealEntry #, \"rate\", 37.5",
                       "UpdateParameters #",
                       "DisplayAsModal #",
                       "GetDialog item 1",
                       "GetItem #, 5",
                       "GetIntValue item 5",
                       "GetUserData #",
                       "DefaultNotify item 1",
                       "Destroy #",
                       "PopAppContext #",
                       "SetUnicodeStringEntry #, \"DisplayString\", #",
                       "SetRealEntry #, \"rate\", 37",
                       "UpdateParameters #",
                   }));
}

// The handler's ways out: each leaves the globals fields cleared, every suite
// released and no dialog or context behind.
struct WayOut {
  const char* name;
  const char* op;  // the operation made to fail, or null
  int nth;
  HostError expected;
  HostBoolean allowPreview;  // as the handler leaves it
  bool shown;                // whether the modal loop ran
};

class EditWayOutTest : public EditParametersTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(EditWayOutTest, ClearsTheGlobalsAndReleasesEverySuite) {
  const WayOut& way = GetParam();
  EffectApplication& application = Apply(std::nullopt);
  if (way.op != nullptr) host_.journal().FailNth(way.op, way.nth, kInjected);
  const char* script = std::string(way.name) == "cancel" ? "cancel" : "ok";
  EXPECT_EQ(Edit(application, script), way.expected);
  EXPECT_EQ(allowPreview_, way.allowPreview);
  EXPECT_EQ(host_.journal().Count("DisplayAsModal"), way.shown ? 1 : 0);
  ExpectGlobalsCleared();
  if (host_.contexts().Pushed() == 1) host_.contexts().Pop(host_.contexts().Top());  // after a failed pop
  const standin::Balance balance = host_.balance();
  EXPECT_EQ(balance.suites, 0);
  EXPECT_EQ(balance.dialogs, 0);
  EXPECT_EQ(balance.strings, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EditWayOutTest,
    ::testing::Values(WayOut{"ok", nullptr, 0, kHostNoError, 1, true},
                      WayOut{"cancel", nullptr, 0, kHostErrCancelled, 1, true},
                      // Nothing is read or shown without every suite.
                      WayOut{"third_suite_missing", "AcquireSuite", 3, kInjected, 0, false},
                      WayOut{"push_fails", "PushAppContext", 1, kInjected, 1, false},
                      WayOut{"no_dialog", "Create", 1, kPluginErrNoDialog, 1, false},
                      // The init procedure's write fails: it reports the code and the host builds no dialog.
                      WayOut{"first_write_fails", "MakeFromBytes", 1, kPluginErrNoDialog, 1, false},
                      WayOut{"pop_fails", "PopAppContext", 1, kInjected, 1, true},
                      // OK's write throws; the entry point turns it into the code.
                      WayOut{"final_write_fails", "MakeFromBytes", 2, kInjected, 1, true}),
    [](const ::testing::TestParamInfo<WayOut>& info) { return std::string(info.param.name); });

TEST(NumberTextTest, FormatsDecimalsEmptyZeroAndParentheses) {
  char text[kNumberTextSize];
  const struct {
    int32_t number;
    bool parenthesised;
    const char* expected;
  } cases[] = {
      {0, true, ""},
      {0, false, ""},
      {57, true, "(57)"},
      {57, false, "57"},
      {-3, false, "-3"},
      {-3, true, "(-3)"},
      {INT32_MIN, false, "-2147483648"},
      {INT32_MIN, true, "(-2147483648)"},
      {INT32_MAX, true, "(2147483647)"},
  };
  for (const auto& c : cases) {
    FormatNumberText(c.number, c.parenthesised, text);
    EXPECT_STREQ(text, c.expected) << c.number << (c.parenthesised ? " parenthesised" : "");
  }
  FormatDecimal(0, text);
  EXPECT_STREQ(text, "0");
}

TEST(NumberTextTest, TruncatesRatesTowardZeroWithinThe32BitRange) {
  EXPECT_EQ(TruncateRate(37.5f), 37);
  EXPECT_EQ(TruncateRate(-37.5f), -37);
  EXPECT_EQ(TruncateRate(0.99f), 0);
  EXPECT_EQ(TruncateRate(2147483520.0f), 2147483520);  // the largest float below 2^31
  EXPECT_EQ(TruncateRate(2147483648.0f), INT32_MAX);
  EXPECT_EQ(TruncateRate(-2147483648.0f), INT32_MIN);
  EXPECT_EQ(TruncateRate(-1e20f), INT32_MIN);
  EXPECT_EQ(TruncateRate(std::nanf("")), 0);  // no whole number; the cast alone would be undefined
}

}  // namespace
