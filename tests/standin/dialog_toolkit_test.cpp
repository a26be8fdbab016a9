// The stand-in's dialog toolkit and context suite, driven directly through
// their suite tables: dialogs from the template, the scripted user's
// notifications, handle checks and the context stack's accounting.
#include "standin/dialogs/dialog_toolkit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/session/plugin_resources.h"
#include "standin/core/host.h"
#include "standin/core/resource_table.h"
#include "standin/core/suite_registry.h"
#include "standin/dialogs/context_stack.h"

namespace {

using standin::UserAction;
using Kind = standin::UserAction::Kind;

constexpr HostError kInjected = HOST_FOURCC('T', 'E', 'S', 'T');

// What the notify procedures below saw: "<item ID> <type> <value>".
std::vector<std::string> gHeard;
HostError gInitResult = kHostNoError;
int gInitCalls = 0;

void HOSTCALL Record(ItemHandle item, NotifierHandle notifier) {
  const ADMNotifierSuite& notifiers = standin::ADMNotifierSuiteTable();
  const char* type = notifiers.IsNotifierType(notifier, kADMIntermediateChangedNotifier) ? "intermediate"
                     : notifiers.IsNotifierType(notifier, kADMUserChangedNotifier)       ? "user"
                                                                                         : "other";
  gHeard.push_back(std::to_string(item->id) + " " + type + " " +
                   std::to_string(item->role == ItemRole::kCheckBox ? item->boolean : item->value));
}

// Records, then lets the toolkit do what it does by default.
void HOSTCALL RecordAndDefault(ItemHandle item, NotifierHandle notifier) {
  Record(item, notifier);
  standin::ADMItemSuiteTable().DefaultNotify(item, notifier);
}

HostError HOSTCALL Init(DialogHandle /*dialog*/) {
  ++gInitCalls;
  return gInitResult;
}

class DialogToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    morvelin::LoadPluginResources(host_.resources());
    gHeard.clear();
    gInitResult = kHostNoError;
    gInitCalls = 0;
  }
  void TearDown() override { EXPECT_TRUE(host_.balance().Zero()) << host_.balance().Text(); }

  DialogHandle Create(int32_t resourceID = 16000) {
    return dialogs_.Create(host_.self(), "Morvelin", resourceID, 0, Init, &userData_, 0);
  }

  // Builds the dialog with the slider at 50 within 1..100 and Record on every
  // item (the buttons then the default handling), plays `script` and
  // destroys the dialog. Returns the loop's ID.
  int32_t Play(const std::string& script) {
    std::vector<UserAction> actions;
    std::string error;
    EXPECT_TRUE(standin::ParseUserScript(script, &actions, &error)) << error;
    const DialogHandle dialog = Create();
    EXPECT_NE(dialog, nullptr);
    for (int32_t id = 1; id <= 7; ++id) {
      const bool button = id == 1 || id == 2;
      items_.SetNotifyProc(dialogs_.GetItem(dialog, id), button ? RecordAndDefault : Record);
    }
    items_.SetMinIntValue(dialogs_.GetItem(dialog, 5), 1);
    items_.SetIntValue(dialogs_.GetItem(dialog, 5), 50);
    host_.dialogs().SetScript(actions);
    const int32_t id = dialogs_.DisplayAsModal(dialog);
    dialogs_.Destroy(dialog);
    return id;
  }

  standin::Host host_;
  const ADMDialogSuite& dialogs_ = standin::ADMDialogSuiteTable();
  const ADMItemSuite& items_ = standin::ADMItemSuiteTable();
  int userData_ = 0;
};

TEST_F(DialogToolkitTest, CreateGivesNoDialogForAMissingTemplateAFailedInitOrAnInjectedCode) {
  EXPECT_EQ(Create(999), nullptr);
  EXPECT_EQ(gInitCalls, 0);
  EXPECT_EQ(dialogs_.Create(nullptr, "Morvelin", 16000, 0, Init, nullptr, 0), nullptr);  // not our plug-in

  host_.journal().FailNth("Create", 1, kInjected);
  EXPECT_EQ(Create(), nullptr);
  EXPECT_EQ(gInitCalls, 0);

  gInitResult = kInjected;
  EXPECT_EQ(Create(), nullptr);
  EXPECT_EQ(gInitCalls, 1);
  EXPECT_EQ(host_.dialogs().Open(), 0);  // built, then destroyed again
}

TEST_F(DialogToolkitTest, DragNotifiesEveryPositionPassedAndTheRelease) {
  EXPECT_EQ(Play("drag 53; drag 53; drag 51; drag 500"), 2);
  const std::vector<std::string> expected = {
      "5 intermediate 51", "5 intermediate 52", "5 intermediate 53", "5 user 53",  // drag 53
      "5 user 53",                                            // already there: release only
      "5 intermediate 52", "5 intermediate 51", "5 user 51",  // back down
  };
  ASSERT_GE(gHeard.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(gHeard.begin(), gHeard.begin() + expected.size()), expected);
  // Past the end the knob stops at 100: 49 positions, then the release.
  EXPECT_EQ(gHeard.size(), expected.size() + 50);
  EXPECT_EQ(gHeard.back(), "5 user 100");
}

TEST_F(DialogToolkitTest, SlideHoldsTheKnobUntilADragReleasesIt) {
  EXPECT_EQ(Play("slide 52; slide 51; drag 51"), 2);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"5 intermediate 51", "5 intermediate 52", "5 intermediate 51",
                                              "5 user 51"}));
}

TEST_F(DialogToolkitTest, ActionSourceTakesOverAfterTheScriptAndSeesEachStep) {
  // The source answers from what the dialog shows: the slider, then closes.
  std::vector<int32_t> seen;
  host_.dialogs().SetActionSource([&](const DialogObject& dialog) -> std::optional<UserAction> {
    seen.push_back(dialog.Find(5)->value);
    if (seen.size() == 1) return UserAction::Drag(52);
    if (seen.size() == 2) return UserAction::Of(Kind::kTick);
    return std::nullopt;
  });
  EXPECT_EQ(Play("drag 51"), 2);
  EXPECT_EQ(seen, (std::vector<int32_t>{51, 52, 52}));
  EXPECT_EQ(gHeard.back(), "6 user 1");

  // A button ends the loop: the source is not asked again.
  seen.clear();
  host_.dialogs().SetActionSource([&](const DialogObject&) -> std::optional<UserAction> {
    seen.push_back(0);
    return UserAction::Of(Kind::kOk);
  });
  EXPECT_EQ(Play(""), 1);
  EXPECT_EQ(seen.size(), 1u);
  host_.dialogs().SetActionSource(nullptr);
}

TEST_F(DialogToolkitTest, CheckBoxClicksToggleAndTickOnlyActsOnAChange) {
  EXPECT_EQ(Play("tick; tick; untick; untick; click preview; click preview"), 2);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"6 user 1", "6 user 0", "6 user 1", "6 user 0"}));
}

TEST_F(DialogToolkitTest, ButtonsEndTheLoopWithTheirIDs) {
  EXPECT_EQ(Play("ok; cancel"), 1);
  EXPECT_EQ(gHeard, std::vector<std::string>{"1 user 0"});  // nothing after the loop ended
  EXPECT_EQ(Play("cancel"), 2);
  EXPECT_EQ(Play("close; ok"), 2);
  EXPECT_EQ(Play(""), 2);  // out of actions: closed
}

TEST_F(DialogToolkitTest, ButtonWithoutNotifyProcedureGetsTheDefaultHandling) {
  const DialogHandle dialog = Create();
  host_.dialogs().SetScript({UserAction::Of(Kind::kOk)});
  EXPECT_EQ(dialogs_.DisplayAsModal(dialog), 1);
  // The script was taken by that loop; the next one ends at once.
  EXPECT_EQ(dialogs_.DisplayAsModal(dialog), 2);
  dialogs_.Destroy(dialog);
}

TEST_F(DialogToolkitTest, UnknownAndStaleHandlesAreIgnored) {
  const DialogHandle dialog = Create();
  const ItemHandle slider = dialogs_.GetItem(dialog, 5);
  dialogs_.Destroy(dialog);
  dialogs_.Destroy(dialog);  // twice: counted once
  EXPECT_EQ(host_.dialogs().Open(), 0);

  for (ItemHandle item : {slider, static_cast<ItemHandle>(nullptr)}) {
    items_.SetIntValue(item, 5);
    items_.SetText(item, "x");
    items_.SetNotifyProc(item, Record);
    items_.DefaultNotify(item, nullptr);
    EXPECT_EQ(items_.GetIntValue(item), 0);
    EXPECT_EQ(items_.GetBooleanValue(item), 0);
    EXPECT_EQ(items_.GetDialog(item), nullptr);
  }
  EXPECT_EQ(dialogs_.GetItem(dialog, 5), nullptr);
  EXPECT_EQ(dialogs_.GetUserData(dialog), nullptr);
  EXPECT_EQ(dialogs_.DisplayAsModal(dialog), 0);
  EXPECT_EQ(dialogs_.DisplayAsModal(nullptr), 0);
  // A notifier that is not being delivered is of no type.
  EXPECT_EQ(standin::ADMNotifierSuiteTable().IsNotifierType(nullptr, kADMUserChangedNotifier), 0);
}

TEST(UserScriptTest, ReadsActionsAndNamesTheFirstBadOne) {
  std::vector<UserAction> actions;
  std::string error;
  ASSERT_TRUE(standin::ParseUserScript(
      " drag 80 ;untick;\n tick;;click preview; drag\t-3; slide 7; ok; cancel; close ", &actions, &error));
  std::vector<std::string> texts;
  for (const UserAction& action : actions) texts.push_back(action.Text());
  EXPECT_EQ(texts, (std::vector<std::string>{"drag 80", "untick", "tick", "click preview", "drag -3",
                                             "slide 7", "ok", "cancel", "close"}));

  for (const char* bad : {"drag", "drag80", "drag 8x", "drag 99999999999", "slide", "slider 3", "Ok", "click",
                          "tick; jump; ok"}) {
    SCOPED_TRACE(bad);
    std::vector<UserAction> kept = actions;
    EXPECT_FALSE(standin::ParseUserScript(bad, &kept, &error));
    EXPECT_NE(error.find("unknown action"), std::string::npos);
    EXPECT_EQ(kept.size(), actions.size());
  }
  EXPECT_NE(error.find("\"jump\""), std::string::npos);
}

TEST(ContextSuiteTest, PushesAndPopsNestAndABadPopChangesNothing) {
  standin::Host host;
  const void* table = nullptr;
  ASSERT_EQ(host.suites().Acquire(kContextSuite, kContextSuiteVersion, &table), kHostNoError);
  const ContextSuite& contexts = *static_cast<const ContextSuite*>(table);

  AppContextHandle outer = nullptr;
  AppContextHandle inner = nullptr;
  ASSERT_EQ(contexts.PushAppContext(host.self(), &outer), kHostNoError);
  ASSERT_EQ(contexts.PushAppContext(host.self(), &inner), kHostNoError);
  EXPECT_EQ(host.balance().contexts, 2);
  EXPECT_EQ(contexts.PopAppContext(outer), kHostErrBadParameter);  // not the top one
  EXPECT_EQ(contexts.PopAppContext(nullptr), kHostErrBadParameter);
  EXPECT_EQ(contexts.PopAppContext(inner), kHostNoError);
  EXPECT_EQ(contexts.PopAppContext(inner), kHostErrBadParameter);  // popped already
  EXPECT_EQ(contexts.PopAppContext(outer), kHostNoError);

  EXPECT_EQ(contexts.PushAppContext(nullptr, &outer), kHostErrBadParameter);
  EXPECT_EQ(contexts.PushAppContext(host.self(), nullptr), kHostErrBadParameter);
  host.journal().FailNth("PushAppContext", 1, kInjected);
  EXPECT_EQ(contexts.PushAppContext(host.self(), &outer), kInjected);
  EXPECT_EQ(host.balance().contexts, 0);

  ASSERT_EQ(contexts.PushAppContext(host.self(), &outer), kHostNoError);
  host.journal().FailNth("PopAppContext", 1, kInjected);
  EXPECT_EQ(contexts.PopAppContext(outer), kInjected);
  EXPECT_EQ(host.balance().contexts, 1);  // still pushed
  EXPECT_EQ(contexts.PopAppContext(outer), kHostNoError);
  host.suites().Release(kContextSuite, kContextSuiteVersion);
  EXPECT_TRUE(host.balance().Zero()) << host.balance().Text();
}

}  // namespace
