// The Edit-Parameters dialog end to end: the handler, the dialog's procedures
// and the nested preview executions, with a scripted user in the stand-in's
// dialog toolkit. What the person sees is recorded after each step.
#include "params/edit_parameters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
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
    for (const testscene::ArtSpec& circle :
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
  ASSERT_EQ(seen_.size(), 2u);
  const Seen& open = seen_[0];
  EXPECT_EQ(open.slider, 50);
  EXPECT_EQ(open.value, "50");
  EXPECT_TRUE(open.preview);
  EXPECT_EQ(open.rate, 50.0f);
  EXPECT_EQ(open.executions, 1);
  EXPECT_EQ(open.picture, atFifty);

  const Seen& unticked = seen_[1];
  EXPECT_FALSE(unticked.preview);
  EXPECT_EQ(unticked.rate, 0.0f);
  EXPECT_EQ(unticked.opening, "");
  EXPECT_EQ(unticked.executions, 2);
  EXPECT_EQ(unticked.picture, Picture(drawn_));
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
  ASSERT_EQ(seen_.size(), 6u);
  // One execution for the whole drag, none for the positions it passed.
  const Seen& dragged = seen_[1];
  EXPECT_EQ(dragged.value, "80");
  EXPECT_EQ(dragged.rate, 80.0f);
  EXPECT_EQ(dragged.executions, 2);

  const Seen& unticked = seen_[2];
  EXPECT_EQ(unticked.opening, "(30)");
  EXPECT_EQ(unticked.rate, 30.0f);
  EXPECT_EQ(unticked.picture, atThirty);
  EXPECT_EQ(unticked.executions, 3);

  // With the preview off the slider moves only the value text.
  const Seen& moved = seen_[3];
  EXPECT_EQ(moved.slider, 60);
  EXPECT_EQ(moved.value, "60");
  EXPECT_EQ(moved.opening, "(30)");
  EXPECT_EQ(moved.rate, 30.0f);
  EXPECT_EQ(moved.executions, 3);

  const Seen& ticked = seen_[4];
  EXPECT_EQ(ticked.opening, "");
  EXPECT_EQ(ticked.rate, 60.0f);
  EXPECT_EQ(ticked.picture, atSixty);
  EXPECT_EQ(ticked.executions, 4);

  // OK writes the slider's value and executes once more.
  EXPECT_EQ(Rate(application), 60.0f);
  EXPECT_EQ(application.executions, 5);
  EXPECT_EQ(Picture(application.shown), atSixty);
}

TEST_F(EditParametersTest, StoredFractionShowsTruncatedAndPreviewsUnrounded) {
  const std::string atStored = PictureAt(37.5f);
  EffectApplication& application = Apply(37.5f);

  EXPECT_EQ(Edit(application, "ok"), kHostNoError);
  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(seen_[0].slider, 37);
  EXPECT_EQ(seen_[0].value, "37");
  EXPECT_EQ(seen_[0].rate, 37.5f);
  EXPECT_EQ(seen_[0].picture, atStored);
  EXPECT_EQ(Rate(application), 37.0f);

  // A stored rate beyond any 32-bit whole number: the slider stops at its
  // end, and the preview uses the value as stored.
  EffectApplication& huge = Apply(1e20f);
  EXPECT_EQ(Edit(huge, "cancel"), kHostErrCancelled);
  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(seen_[0].slider, 100);
  EXPECT_EQ(seen_[0].value, "2147483647");
  EXPECT_EQ(Rate(huge), 1e20f);
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
  ASSERT_EQ(seen_.size(), 7u);
  EXPECT_EQ(seen_[1].value, "50");  // bogus: nothing
  EXPECT_EQ(seen_[1].executions, 1);
  EXPECT_EQ(seen_[2].value, "90");  // intermediate: the text only
  EXPECT_EQ(seen_[2].rate, 50.0f);
  EXPECT_EQ(seen_[2].executions, 1);
  EXPECT_EQ(seen_[3].rate, 90.0f);  // user changed: written and executed
  EXPECT_EQ(seen_[3].executions, 2);
  EXPECT_EQ(seen_[4].rate, 0.0f);     // unticked: the opening rate
  EXPECT_EQ(seen_[5].executions, 4);  // any notification on the box writes it again
  EXPECT_EQ(result, kHostNoError);    // any notification on OK accepts
  EXPECT_EQ(Rate(application), 90.0f);
}

TEST_F(EditParametersTest, FailedContextPushShowsNoDialog) {
  EffectApplication& application = Apply(30.0f);
  host_.journal().FailNth("PushAppContext", 1, kInjected);
  EXPECT_EQ(Edit(application, "ok"), kInjected);
  EXPECT_EQ(allowPreview_, 1);
  EXPECT_EQ(host_.journal().Count("Create"), 0);
  EXPECT_EQ(host_.journal().Count("PopAppContext"), 0);
  EXPECT_EQ(application.executions, 0);
  ExpectGlobalsCleared();
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

// The handler's ways out: each leaves the globals fields cleared, every suite
// released and no dialog or context behind.
struct WayOut {
  const char* name;
  const char* op;  // the operation made to fail, or null
  int nth;
  HostError expected;
};

class EditWayOutTest : public EditParametersTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(EditWayOutTest, ClearsTheGlobalsAndReleasesEverySuite) {
  const WayOut& way = GetParam();
  EffectApplication& application = Apply(std::nullopt);
  if (way.op != nullptr) host_.journal().FailNth(way.op, way.nth, kInjected);
  const char* script = std::string(way.name) == "cancel" ? "cancel" : "ok";
  EXPECT_EQ(Edit(application, script), way.expected);
  ExpectGlobalsCleared();
  if (host_.contexts().Pushed() == 1) host_.contexts().Pop(host_.contexts().Top());  // after a failed pop
  const standin::Balance balance = host_.balance();
  EXPECT_EQ(balance.suites, 0);
  EXPECT_EQ(balance.dialogs, 0);
  EXPECT_EQ(balance.strings, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EditWayOutTest,
    ::testing::Values(WayOut{"ok", nullptr, 0, kHostNoError}, WayOut{"cancel", nullptr, 0, kHostErrCancelled},
                      WayOut{"third_suite_missing", "AcquireSuite", 3, kInjected},
                      WayOut{"push_fails", "PushAppContext", 1, kInjected},
                      WayOut{"no_dialog", "Create", 1, kPluginErrNoDialog},
                      // The init procedure's write fails: it reports the code and the host builds no dialog.
                      WayOut{"first_write_fails", "MakeFromBytes", 1, kPluginErrNoDialog},
                      WayOut{"pop_fails", "PopAppContext", 1, kInjected},
                      // OK's write throws; the entry point turns it into the code.
                      WayOut{"final_write_fails", "MakeFromBytes", 2, kInjected}),
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
}

}  // namespace
