// Registration at start-up (the About item in the maker's shared submenu, the
// live effect and its Effect-menu item) and the About command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menus/about_menu.h"
#include "menus/sdk_about_plugins_helper.h"
#include "standin/effects/effect_host.h"
#include "tests/support/plugin_session_fixture.h"

namespace {

const HostError kRefused = HOST_FOURCC('N', 'O', 'P', 'E');

// A second host for a test that starts the plug-in several times; the
// fixture's host stays untouched.
struct FreshHost {
  FreshHost() : session(host, PluginMain) { morvelin::LoadPluginResources(host.resources()); }
  std::vector<MenuItemObject*> ItemsOfGroup(const std::string& name) {
    const MenuGroupObject* group = host.menus().FindGroup(name);
    return group == nullptr ? std::vector<MenuItemObject*>{} : host.menus().ItemsOf(group);
  }
  standin::Host host;
  standin::PluginSession session;
};

class RegistrationTest : public PluginSessionTest {
 protected:
  // Makes the maker's submenu as another plug-in of the maker would have.
  void AddGroupAsAnotherPlugin(const std::string& name) {
    standin::MenuStore& menus = host_.menus();
    MenuItemObject* opener = menus.AddItem(nullptr, "", menus.FindGroup("About"), "About Tessik plug-ins", 0);
    ASSERT_NE(menus.AddGroup(name, 1, opener), nullptr);
  }

  const LiveEffectObject* RegisteredEffect() {
    const auto& effects = host_.effects().registry().effects();
    return effects.empty() ? nullptr : effects.front().get();
  }
};

TEST_F(RegistrationTest, FirstPluginOfTheMakerCreatesRootItemSubmenuAndItemInOrder) {
  ASSERT_EQ(session_.Startup(), kHostNoError) << host_.journal().Dump();
  std::vector<std::string> changes;
  for (const auto& entry : host_.journal().entries()) {
    if (entry.op == "AddMenuItem" || entry.op == "AddMenuGroupAsSubMenu") changes.push_back(entry.args);
  }
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0], "null, \"About\", \"About Tessik plug-ins\", 0");
  EXPECT_EQ(changes[1].rfind("\"AboutTessikPlugIns\", 1, ", 0), 0u) << changes[1];
  EXPECT_EQ(changes[2], "null, \"AboutTessikPlugIns\", \"Morvelin\", 0");

  const MenuGroupObject* group = host_.menus().FindGroup("AboutTessikPlugIns");
  ASSERT_NE(group, nullptr);
  ASSERT_NE(group->openedBy, nullptr);
  EXPECT_EQ(group->openedBy->group->name, "About");
  EXPECT_EQ(group->options, 1);
  const auto items = ItemsOfGroup("AboutTessikPlugIns");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(gGlobals->aboutMenuItem, items[0]);  // the last of the three
  EXPECT_EQ(items[0]->owner, host_.self());
}

TEST_F(RegistrationTest, ExistingMakerGroupGetsOnlyTheItem) {
  AddGroupAsAnotherPlugin("AboutTessikPlugIns");
  const std::size_t groupsBefore = host_.menus().groups().size();
  ASSERT_EQ(session_.Startup(), kHostNoError);

  EXPECT_EQ(host_.journal().Count("AddMenuItem"), 1);
  EXPECT_EQ(host_.journal().Count("AddMenuGroupAsSubMenu"), 0);
  EXPECT_EQ(ItemsOfGroup("About").size(), 1u);  // only the other plug-in's root item
  // The search stops at the match, which is the last group.
  EXPECT_EQ(host_.journal().Count("GetMenuGroupName"), static_cast<int>(groupsBefore));
  const auto items = ItemsOfGroup("AboutTessikPlugIns");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->text, "Morvelin");
  EXPECT_EQ(gGlobals->aboutMenuItem, items[0]);
}

TEST_F(RegistrationTest, GroupNamesMustMatchExactly) {
  AddGroupAsAnotherPlugin("abouttessikplugins");
  AddGroupAsAnotherPlugin("AboutTessikPlugIns ");
  const int groupsBefore = static_cast<int>(host_.menus().groups().size());
  ASSERT_EQ(session_.Startup(), kHostNoError);

  EXPECT_EQ(host_.journal().Count("AddMenuGroupAsSubMenu"), 1);
  EXPECT_EQ(host_.journal().Count("GetMenuGroupName"), groupsBefore);  // every group asked, none matched
  ASSERT_EQ(ItemsOfGroup("AboutTessikPlugIns").size(), 1u);
  EXPECT_TRUE(ItemsOfGroup("AboutTessikPlugIns ").empty());
}

// Each failing host call of the About registration ends start-up with its
// code; what was added before stays, and the effect is not registered.
TEST_F(RegistrationTest, AboutRegistrationFailureEndsStartupWithItsCode) {
  struct Case {
    const char* op;
    int nth;
    int rootItems;          // root items left in "About"
    bool submenu;           // the maker's group exists
    const char* args = "";  // only calls whose arguments hold this
  };
  const Case cases[] = {
      {"CountMenuGroups", 1, 0, false},
      {"GetMenuGroupName", 2, 0, false},
      {"AddMenuItem", 1, 0, false},
      {"AddMenuGroupAsSubMenu", 1, 1, false},
      {"AddMenuItem", 2, 1, true},
      {"GetNthMenuGroup", 2, 0, false},
      // The About helper's own acquisition of the menu suite (the first is the table's).
      {"AcquireSuite", 2, 0, false, "\"AI Menu Suite\""},
  };
  for (const Case& c : cases) {
    FreshHost fresh;
    standin::Host& host = fresh.host;
    standin::PluginSession& session = fresh.session;
    host.journal().FailNth(c.op, c.nth, kRefused, c.args);
    EXPECT_EQ(session.Startup(), kRefused) << c.op;
    ASSERT_NE(gGlobals, nullptr) << c.op;  // a registration failure keeps the block
    EXPECT_EQ(gGlobals->aboutMenuItem, nullptr) << c.op;
    EXPECT_EQ(host.menus().ItemsOf(host.menus().FindGroup("About")).size(),
              static_cast<std::size_t>(c.rootItems))
        << c.op;
    EXPECT_EQ(host.menus().FindGroup("AboutTessikPlugIns") != nullptr, c.submenu) << c.op;
    EXPECT_EQ(host.journal().Count("AddLiveEffect"), 0) << c.op;
    EXPECT_EQ(session.Shutdown(), kHostNoError);
    EXPECT_TRUE(host.balance().Zero()) << c.op << ": " << host.balance().Text();
  }
}

TEST_F(RegistrationTest, GroupSearchWithoutTheMenuSuiteFindsNothing) {
  SDKAboutPluginsHelper helper;
  bool found = true;
  EXPECT_EQ(helper.FindMenuGroup("AboutTessikPlugIns", &found), kHostErrSuiteNotFound);
  EXPECT_FALSE(found);
  EXPECT_TRUE(host_.journal().entries().empty());
}

TEST_F(RegistrationTest, LiveEffectIsRegisteredWithItsMenuItemAndAutomaticUpdate) {
  ASSERT_EQ(session_.Startup(), kHostNoError);
  EXPECT_EQ(ArgsOf("GetIndexString"),
            (std::vector<std::string>{standin::HandleText(host_.self()) + ", 16000, 1, 65",
                                      standin::HandleText(host_.self()) + ", 16000, 2, 65"}));

  const LiveEffectObject* effect = RegisteredEffect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(gGlobals->effect, effect);
  EXPECT_EQ(host_.effects().registeredEffect(), effect);
  EXPECT_EQ(effect->owner, host_.self());
  EXPECT_EQ(effect->name, "Morvelin");
  EXPECT_EQ(effect->title, "Morvelin");
  EXPECT_EQ(effect->majorVersion, 9);
  EXPECT_EQ(effect->minorVersion, 0);
  EXPECT_EQ(effect->prefersAsInput, 3);
  EXPECT_EQ(effect->styleFlags, 2);
  ASSERT_TRUE(effect->hasMenuItem);
  EXPECT_EQ(effect->menuName, "Morvelin");
  EXPECT_EQ(effect->category, "Tessik plug-ins");
  EXPECT_EQ(effect->menuTitle, "Morvelin");
  EXPECT_EQ(effect->menuOptions, 0);

  const auto& updates = host_.menus().automaticUpdates();
  ASSERT_EQ(updates.size(), 1u);
  const standin::AutomaticUpdate& u = updates[0];
  EXPECT_EQ(u.item, effect->menuItem);
  EXPECT_EQ((std::vector<int32_t>{u.action, u.ifMenuFlags, u.ifNotMenuFlags, u.ifArtFlags, u.ifNotArtFlags,
                                  u.ifDocFlags, u.ifNotDocFlags}),
            (std::vector<int32_t>{1, 0, 0, 1, 0, 0, 0}));
}

TEST_F(RegistrationTest, EmptyStringFetchesFallBackToTheBuiltInTexts) {
  host_.resources().RemoveString(16001);
  host_.resources().AddString(16002, "");
  ASSERT_EQ(session_.Startup(), kHostNoError) << host_.journal().Dump();
  const LiveEffectObject* effect = RegisteredEffect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->name, "Morvelin");
  EXPECT_EQ(effect->title, "Morvelin");
  EXPECT_EQ(effect->category, "Tessik plug-ins");
  EXPECT_EQ(effect->menuTitle, "Morvelin");
}

// A failing step of the effect's registration ends start-up with its code;
// the steps after it are not tried, and what was registered before stays.
TEST_F(RegistrationTest, LiveEffectRegistrationFailureEndsStartupWithItsCode) {
  struct Case {
    const char* op;
    bool effect;    // the effect stays registered
    bool menuItem;  // its menu item was added
  };
  const Case cases[] = {
      {"AddLiveEffect", false, false},
      {"AddLiveEffectMenuItem", true, false},
      {"UpdateMenuItemAutomatically", true, true},
  };
  for (const Case& c : cases) {
    FreshHost fresh;
    fresh.host.journal().FailNth(c.op, 1, kRefused);
    EXPECT_EQ(fresh.session.Startup(), kRefused) << c.op;
    const auto& effects = fresh.host.effects().registry().effects();
    EXPECT_EQ(!effects.empty(), c.effect) << c.op;
    EXPECT_EQ(!effects.empty() && effects[0]->hasMenuItem, c.menuItem) << c.op;
    EXPECT_EQ(fresh.host.journal().Count("UpdateMenuItemAutomatically"), c.menuItem ? 1 : 0) << c.op;
    EXPECT_TRUE(fresh.host.menus().automaticUpdates().empty()) << c.op;
    // The About entries made before stay in place.
    ASSERT_NE(gGlobals, nullptr) << c.op;
    ASSERT_EQ(fresh.ItemsOfGroup("AboutTessikPlugIns").size(), 1u) << c.op;
    EXPECT_EQ(gGlobals->aboutMenuItem, fresh.ItemsOfGroup("AboutTessikPlugIns")[0]) << c.op;
    EXPECT_EQ(fresh.session.Shutdown(), kHostNoError);
    EXPECT_TRUE(fresh.host.balance().Zero()) << c.op << ": " << fresh.host.balance().Text();
  }
}

TEST_F(RegistrationTest, AboutCommandShowsTheAboutBoxForTheAboutItemOnly) {
  ASSERT_EQ(session_.Startup(), kHostNoError);
  const LiveEffectObject* effect = RegisteredEffect();
  ASSERT_NE(effect, nullptr);

  for (MenuItemHandle other : {effect->menuItem, static_cast<MenuItemHandle>(nullptr)}) {
    host_.journal().Clear();
    EXPECT_EQ(session_.ChooseMenuItem(other), kHostNoError);
    EXPECT_EQ(host_.journal().Count("AcquireSuite"), 15);
    EXPECT_EQ(host_.journal().Count("ReleaseSuite"), 15);
  }
  EXPECT_TRUE(host_.menus().aboutBoxes().empty());

  EXPECT_EQ(session_.ChooseMenuItem(gGlobals->aboutMenuItem), kHostNoError);
  ASSERT_EQ(host_.menus().aboutBoxes().size(), 1u);
  const standin::AboutBoxShown& shown = host_.menus().aboutBoxes()[0];
  EXPECT_EQ(shown.title, "About Morvelin");
  EXPECT_EQ(shown.text, kAboutText);
  // The separators arrive as backslash-n pairs; the text holds no newline.
  EXPECT_EQ(shown.text.find('\n'), std::string::npos);
  EXPECT_NE(shown.text.find("\\n"), std::string::npos);
  EXPECT_NE(shown.text.find("https://tessik.example/morvelin"), std::string::npos);
  EXPECT_EQ(host_.balance().suites, 0);
}

// Without an About item (its registration failed) the plug-in keeps a null
// handle; a menu message for a null item is still not the About command.
TEST_F(RegistrationTest, WithoutAnAboutItemANullMenuItemShowsNothing) {
  FreshHost fresh;
  fresh.host.journal().FailNth("AddMenuItem", 1, kRefused);
  EXPECT_EQ(fresh.session.Startup(), kRefused);
  ASSERT_NE(gGlobals, nullptr);
  EXPECT_EQ(gGlobals->aboutMenuItem, nullptr);
  EXPECT_EQ(fresh.session.ChooseMenuItem(nullptr), kHostNoError);
  EXPECT_TRUE(fresh.host.menus().aboutBoxes().empty());
  EXPECT_EQ(fresh.session.Shutdown(), kHostNoError);
  EXPECT_TRUE(fresh.host.balance().Zero()) << fresh.host.balance().Text();
}

TEST_F(RegistrationTest, AboutCommandFailuresShowNothing) {
  ASSERT_EQ(session_.Startup(), kHostNoError);
  // The About object cannot get the ADM Basic suite: nothing shown, success.
  host_.journal().FailNth("AcquireSuite", 2, kRefused, "\"ADM Basic Suite\"");
  EXPECT_EQ(session_.ChooseMenuItem(gGlobals->aboutMenuItem), kHostNoError);
  host_.journal().ClearFaults();
  // The suite table cannot be acquired: nothing shown, the code comes back.
  host_.journal().FailNth("AcquireSuite", 1, kRefused, "\"AI Art Suite\"");
  EXPECT_EQ(session_.ChooseMenuItem(gGlobals->aboutMenuItem), kRefused);
  EXPECT_TRUE(host_.menus().aboutBoxes().empty());
  EXPECT_EQ(host_.balance().suites, 0);
}

}  // namespace
