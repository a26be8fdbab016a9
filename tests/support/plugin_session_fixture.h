// A test that plays the host around the whole plug-in: a fresh stand-in host
// with the plug-in's resources loaded and a PluginSession on PluginMain. The
// plug-in's process-wide state (the globals pointer, the suite slots) is
// reset before each test. At the end the plug-in is shut down when it still
// has a block, and the host must have nothing outstanding.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "cli/session/plugin_resources.h"
#include "plugin/plugin_globals.h"
#include "plugin/plugin_main.h"
#include "plugin/suite_table.h"
#include "standin/core/host.h"
#include "standin/core/plugin_session.h"
#include "standin/core/resource_table.h"
#include "standin/core/suite_registry.h"
#include "standin/dictionary/string_store.h"
#include "standin/menus/menu_store.h"

class PluginSessionTest : public ::testing::Test {
 protected:
  PluginSessionTest() : session_(host_, PluginMain) {}

  void SetUp() override {
    gGlobals = nullptr;
    morvelin::LoadPluginResources(host_.resources());
  }

  void TearDown() override {
    if (gGlobals != nullptr) session_.Shutdown();
    EXPECT_EQ(gGlobals, nullptr);
    EXPECT_TRUE(host_.balance().Zero()) << host_.balance().Text();
    EXPECT_EQ(host_.strings().BadDisposes(), 0);
    gGlobals = nullptr;
  }

  // The items of menu group `name`, in order; empty when there is no such group.
  std::vector<MenuItemObject*> ItemsOfGroup(const std::string& name) {
    const MenuGroupObject* group = host_.menus().FindGroup(name);
    return group == nullptr ? std::vector<MenuItemObject*>{} : host_.menus().ItemsOf(group);
  }

  // Journal entries of `op`, as "args" strings, in call order.
  std::vector<std::string> ArgsOf(const std::string& op) {
    std::vector<std::string> args;
    for (const auto& entry : host_.journal().entries()) {
      if (entry.op == op) args.push_back(entry.args);
    }
    return args;
  }

  standin::Host host_;
  standin::PluginSession session_;
};
