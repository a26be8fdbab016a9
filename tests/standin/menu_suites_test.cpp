// The stand-in's menu and ADM Basic suites and its effect registration, as
// the plug-in reaches them: indexed strings, handle checks, refused changes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cli/session/plugin_resources.h"
#include "plugin/host_unicode_string.h"
#include "standin/core/resource_table.h"
#include "standin/effects/effect_host.h"
#include "standin/menus/menu_store.h"
#include "tests/support/held_suites_fixture.h"

namespace {

class MenuSuitesTest : public HeldSuitesTest {
 protected:
  void SetUp() override {
    HeldSuitesTest::SetUp();
    morvelin::LoadPluginResources(host_.resources());
  }
};

TEST_F(MenuSuitesTest, IndexStringsAreCutToTheBufferAndTerminated) {
  char buffer[65];
  ASSERT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 1, buffer, sizeof buffer), kHostNoError);
  EXPECT_STREQ(buffer, "Tessik plug-ins");

  host_.resources().AddString(16002, std::string(100, 'x'));
  ASSERT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 2, buffer, sizeof buffer), kHostNoError);
  EXPECT_EQ(std::strlen(buffer), 64u);

  char tiny[4];
  ASSERT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 1, tiny, sizeof tiny), kHostNoError);
  EXPECT_STREQ(tiny, "Tes");
}

TEST_F(MenuSuitesTest, IndexStringRefusalsLeaveTheBufferUntouched) {
  char buffer[8];
  std::memcpy(buffer, "keep me", sizeof buffer);
  PluginRef stranger = reinterpret_cast<PluginRef>(&buffer);
  EXPECT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 3, buffer, sizeof buffer), kHostErrBadParameter);
  EXPECT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, -1, buffer, sizeof buffer), kHostErrBadParameter);
  EXPECT_EQ(sADMBasic->GetIndexString(host_.self(), INT32_MAX, 2, buffer, sizeof buffer),
            kHostErrBadParameter);
  EXPECT_EQ(sADMBasic->GetIndexString(stranger, 16000, 1, buffer, sizeof buffer), kHostErrBadParameter);
  EXPECT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 1, buffer, 0), kHostErrBadParameter);
  EXPECT_EQ(sADMBasic->GetIndexString(host_.self(), 16000, 1, nullptr, 8), kHostErrBadParameter);
  EXPECT_STREQ(buffer, "keep me");
}

TEST_F(MenuSuitesTest, MenuCallsCheckTheirHandles) {
  MenuGroupObject notAGroup;
  MenuItemObject notAnItem;
  const char* name = nullptr;
  MenuGroupHandle group = nullptr;
  EXPECT_EQ(sMenu->GetMenuGroupName(&notAGroup, &name), kHostErrBadParameter);
  EXPECT_EQ(sMenu->GetMenuGroupName(nullptr, &name), kHostErrBadParameter);
  EXPECT_EQ(sMenu->GetNthMenuGroup(-1, &group), kHostErrBadParameter);
  EXPECT_EQ(sMenu->GetNthMenuGroup(static_cast<int32_t>(host_.menus().groups().size()), &group),
            kHostErrBadParameter);
  EXPECT_EQ(sMenu->AddMenuGroupAsSubMenu("Mine", 1, &notAnItem, &group), kHostErrBadParameter);
  EXPECT_EQ(sMenu->UpdateMenuItemAutomatically(&notAnItem, 1, 0, 0, 1, 0, 0, 0), kHostErrBadParameter);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(group, nullptr);
  EXPECT_TRUE(host_.menus().automaticUpdates().empty());
}

TEST_F(MenuSuitesTest, MenuChangesThatCannotBeMadeAreRefused) {
  const HostUnicodeString text("Mine", kPlatformEncoding);
  MenuItemHandle item = nullptr;
  const MenuItemInfo intoNowhere = {"No Such Group", text.handle()};
  EXPECT_EQ(sMenu->AddMenuItem(host_.self(), nullptr, &intoNowhere, 0, &item), kHostErrBadParameter);
  const MenuItemInfo deadText = {"About", reinterpret_cast<UnicodeStringHandle>(&item)};
  EXPECT_EQ(sMenu->AddMenuItem(host_.self(), nullptr, &deadText, 0, &item), kHostErrBadParameter);
  EXPECT_EQ(item, nullptr);

  const MenuItemInfo info = {"About", text.handle()};
  ASSERT_EQ(sMenu->AddMenuItem(host_.self(), nullptr, &info, 0, &item), kHostNoError);
  EXPECT_EQ(item->text, "Mine");  // the host keeps its own copy of the text
  MenuGroupHandle group = nullptr;
  EXPECT_EQ(sMenu->AddMenuGroupAsSubMenu("Help", 1, item, &group), kHostErrBadParameter);  // name taken
  ASSERT_EQ(sMenu->AddMenuGroupAsSubMenu("Mine", 1, item, &group), kHostNoError);
  EXPECT_EQ(sMenu->AddMenuGroupAsSubMenu("Mine too", 1, item, &group),
            kHostErrBadParameter);  // item opens one
}

TEST_F(MenuSuitesTest, EffectRegistrationRefusesDuplicatesAndStrangers) {
  LiveEffectInfo info{};
  info.self = host_.self();
  info.name = "Morvelin";
  LiveEffectHandle effect = nullptr;
  ASSERT_EQ(sLiveEffect->AddLiveEffect(&info, &effect), kHostNoError);
  LiveEffectHandle again = nullptr;
  EXPECT_EQ(sLiveEffect->AddLiveEffect(&info, &again), kHostErrBadParameter);  // names identify effects

  const LiveEffectMenuInfo menu = {"Tessik plug-ins", "Morvelin", 0};
  MenuItemHandle item = nullptr;
  LiveEffectObject stranger;
  EXPECT_EQ(sLiveEffect->AddLiveEffectMenuItem(&stranger, "Morvelin", &menu, &item, nullptr),
            kHostErrBadParameter);
  MenuGroupHandle group = nullptr;
  ASSERT_EQ(sLiveEffect->AddLiveEffectMenuItem(effect, "Morvelin", &menu, &item, &group), kHostNoError);
  EXPECT_EQ(group->name, "Tessik plug-ins");
  EXPECT_EQ(group->openedBy->group->name, "Effect");
  EXPECT_EQ(sLiveEffect->AddLiveEffectMenuItem(effect, "Morvelin", &menu, &item, nullptr),
            kHostErrBadParameter);
  EXPECT_EQ(host_.effects().registeredEffect(), effect);
}

}  // namespace
