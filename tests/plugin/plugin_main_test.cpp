// The entry point: dispatch, start-up, shut-down, Unload/Reload, exceptions,
// and messages that need a globals block arriving without one.
#include "plugin/plugin_main.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>

#include "plugin/ai_error.h"
#include "plugin/plugin_globals.h"
#include "standin/core/plugin_file.h"
#include "tests/support/plugin_session_fixture.h"

namespace {

const HostError kRefused = HOST_FOURCC('N', 'O', 'P', 'E');

using PluginMainTest = PluginSessionTest;

TEST_F(PluginMainTest, UnknownCallerOrSelectorDoesNothing) {
  const char* const pairs[][2] = {
      {"SP Interface", "startup"},  // case matters
      {"sp interface", "Startup"},
      {"SP Interface", "Startup "},
      {"AI Menu", "Startup"},  // a known selector under another caller
      {"SP Access", "AI Go"},
      {"Unknown Caller", "Shutdown"},
      {"AI Live Effect", "AI Live Effect Interpolate"},
  };
  for (const auto& pair : pairs) {
    SPMessageData message = host_.MessageHeader();
    message.globals = &message;  // a value the plug-in must leave alone
    EXPECT_EQ(PluginMain(pair[0], pair[1], &message), kHostNoError) << pair[0] << " / " << pair[1];
    EXPECT_EQ(message.globals, &message);
  }
  EXPECT_EQ(PluginMain(nullptr, "Startup", nullptr), kHostNoError);
  EXPECT_EQ(PluginMain("SP Interface", nullptr, nullptr), kHostNoError);
  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
  EXPECT_EQ(gGlobals, nullptr);
}

// The host's AllocateBlock, with the new block filled with a pattern that no
// field may keep.
HostError HOSTCALL AllocateDirtyBlock(uint32_t size, void** block) {
  const HostError error = standin::Host::Current()->basic()->AllocateBlock(size, block);
  if (error == kHostNoError) std::memset(*block, 0xA5, size);
  return error;
}

TEST_F(PluginMainTest, StartupKeepsAZeroedBlockAndHoldsNoSuite) {
  SPBasicSuite dirtyingBasic = *host_.basic();
  dirtyingBasic.AllocateBlock = AllocateDirtyBlock;
  SPMessageData startup = host_.MessageHeader();
  startup.basic = &dirtyingBasic;
  ASSERT_EQ(PluginMain(kSPInterfaceCaller, kSPInterfaceStartupSelector, &startup), kHostNoError)
      << host_.journal().Dump();
  ASSERT_NE(gGlobals, nullptr);
  EXPECT_EQ(startup.globals, gGlobals);
  host_.pluginGlobals() = startup.globals;
  EXPECT_EQ(ArgsOf("AllocateBlock"), std::vector<std::string>{std::to_string(sizeof(PluginGlobals))});
  EXPECT_NE(gGlobals->effect, nullptr);
  EXPECT_NE(gGlobals->aboutMenuItem, nullptr);
  EXPECT_EQ(gGlobals->editMessage, nullptr);
  EXPECT_EQ(gGlobals->inDialog, 0);
  EXPECT_EQ(gGlobals->openingRate, 0.0f);
  EXPECT_EQ(gGlobals->context, nullptr);
  for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) EXPECT_EQ(*entry.slot, nullptr) << entry.name;
  EXPECT_EQ(host_.balance().suites, 0);
  EXPECT_EQ(host_.balance().strings, 0);

  ASSERT_EQ(session_.Shutdown(), kHostNoError);
  EXPECT_EQ(gGlobals, nullptr);
  EXPECT_EQ(host_.pluginGlobals(), nullptr);
  EXPECT_EQ(host_.balance().blocks, 0);
}

TEST_F(PluginMainTest, ShutdownWithoutBlockCallsNothing) {
  EXPECT_EQ(session_.Shutdown(), kHostNoError);
  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
}

TEST_F(PluginMainTest, UnloadThenReloadRestoresTheBlock) {
  ASSERT_EQ(session_.Startup(), kHostNoError);
  PluginGlobals* const block = gGlobals;
  block->openingRate = 42.0f;
  host_.pluginGlobals() = nullptr;  // the host may forget what Startup left; Unload parks it anew
  host_.journal().Clear();

  ASSERT_EQ(session_.Unload(), kHostNoError);
  EXPECT_EQ(host_.pluginGlobals(), block);
  gGlobals = nullptr;  // unloading the library loses its data
  ASSERT_EQ(session_.Reload(), kHostNoError);
  EXPECT_EQ(gGlobals, block);
  EXPECT_EQ(gGlobals->openingRate, 42.0f);
  // Neither allocates, frees nor acquires.
  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
}

// Plug-in code that loses its static data when it leaves memory, as a DLL
// does, and that can be made unloadable.
class ForgetfulFile final : public standin::PluginFile {
 public:
  void Unload() override {
    ++unloads;
    gGlobals = nullptr;
  }
  PluginMainProc Load() override {
    ++loads;
    return loadable ? PluginMain : nullptr;
  }
  int unloads = 0;
  int loads = 0;
  bool loadable = true;
};

TEST_F(PluginMainTest, AnUnloadedPluginIsLoadedAgainForTheReloadAndFindsItsParkedBlock) {
  ForgetfulFile file;
  standin::PluginSession session(host_, PluginMain, &file);
  ASSERT_EQ(session.Startup(), kHostNoError);
  PluginGlobals* const block = gGlobals;
  block->openingRate = 42.0f;

  ASSERT_EQ(session.Unload(), kHostNoError);
  EXPECT_EQ(file.unloads, 1);
  EXPECT_EQ(session.ChooseMenuItem(nullptr), kHostErrBadParameter);  // no code in memory to answer
  file.loadable = false;
  EXPECT_EQ(session.Reload(), kHostErrBadParameter);
  file.loadable = true;
  ASSERT_EQ(session.Reload(), kHostNoError);
  EXPECT_EQ(file.loads, 2);
  EXPECT_EQ(gGlobals, block);
  EXPECT_EQ(gGlobals->openingRate, 42.0f);
  ASSERT_EQ(session.Shutdown(), kHostNoError);
  EXPECT_EQ(file.unloads, 1);
}

TEST_F(PluginMainTest, FailedAcquisitionAtStartupAllocatesNothingAndReleasesTheRest) {
  host_.journal().FailNth("AcquireSuite", 3, kRefused);
  host_.journal().FailNth("AcquireSuite", 5, HOST_FOURCC('L', 'A', 'T', 'E'));
  EXPECT_EQ(session_.Startup(), kRefused);
  EXPECT_EQ(host_.journal().Count("AcquireSuite"), 15);
  EXPECT_EQ(host_.journal().Count("ReleaseSuite"), 13);
  EXPECT_EQ(host_.journal().Count("AllocateBlock"), 0);
  EXPECT_EQ(gGlobals, nullptr);
  EXPECT_EQ(host_.pluginGlobals(), nullptr);
  EXPECT_EQ(host_.balance().suites, 0);
}

TEST_F(PluginMainTest, FailedAllocationAtStartupRegistersNothing) {
  host_.journal().FailNth("AllocateBlock", 1, kHostErrOutOfMemory);
  EXPECT_EQ(session_.Startup(), kHostErrOutOfMemory);
  EXPECT_EQ(gGlobals, nullptr);
  EXPECT_EQ(host_.journal().Count("AddMenuItem"), 0);
  EXPECT_EQ(host_.journal().Count("AddLiveEffect"), 0);
  EXPECT_EQ(host_.balance().suites, 0);
}

// Messages that need the block, when start-up never made one: answered
// without touching memory or calling the host.
TEST_F(PluginMainTest, MessagesWithoutBlockAreAnsweredWithoutAction) {
  MenuMessage menu{};
  menu.d = host_.MessageHeader();
  EXPECT_EQ(PluginMain(kMenuCaller, kMenuGoSelector, &menu), kHostNoError);

  LiveEffectGoLiveMessage goLive{};
  goLive.d = host_.MessageHeader();
  EXPECT_EQ(PluginMain(kLiveEffectCaller, kLiveEffectGoLiveSelector, &goLive), kHostNoError);

  LiveEffectEditParamMessage edit{};
  edit.d = host_.MessageHeader();
  EXPECT_EQ(PluginMain(kLiveEffectCaller, kLiveEffectEditParametersSelector, &edit), kPluginErrNoGlobals);

  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
  EXPECT_TRUE(host_.menus().aboutBoxes().empty());
}

TEST_F(PluginMainTest, KnownMessageWithoutRecordIsRefused) {
  EXPECT_EQ(PluginMain(kSPInterfaceCaller, kSPInterfaceStartupSelector, nullptr), kHostErrBadParameter);
  EXPECT_EQ(PluginMain(kSPAccessCaller, kSPAccessUnloadSelector, nullptr), kHostErrBadParameter);
  EXPECT_TRUE(host_.journal().entries().empty());
  EXPECT_EQ(gGlobals, nullptr);
}

// Test suites standing in for a host whose call throws: what the entry point
// must turn into a code.
HostError HOSTCALL AddLiveEffectThrowingBadAlloc(const LiveEffectInfo*, LiveEffectHandle*) {
  throw std::bad_alloc();
}
HostError HOSTCALL AddLiveEffectThrowingOther(const LiveEffectInfo*, LiveEffectHandle*) {
  throw std::runtime_error("not a host error");
}
HostError HOSTCALL AddLiveEffectThrowingCodelessError(const LiveEffectInfo*, LiveEffectHandle*) {
  throw ai::Error(kHostNoError);
}

TEST_F(PluginMainTest, NoExceptionLeavesTheEntryPoint) {
  struct Case {
    HostError(HOSTCALL* addLiveEffect)(const LiveEffectInfo*, LiveEffectHandle*);
    HostError expected;
  };
  const Case cases[] = {
      {AddLiveEffectThrowingBadAlloc, kHostErrOutOfMemory},
      {AddLiveEffectThrowingOther, kPluginErrUnexpected},
      {AddLiveEffectThrowingCodelessError, kPluginErrUnexpected},
  };
  for (const Case& c : cases) {
    const LiveEffectSuite throwing = {c.addLiveEffect, nullptr, nullptr};
    host_.suites().Add(kLiveEffectSuite, kLiveEffectSuiteVersion, &throwing);
    EXPECT_EQ(session_.Startup(), c.expected);
    // Start-up released its suites on the way out; the block stays until shut-down.
    EXPECT_EQ(host_.balance().suites, 0);
    EXPECT_NE(gGlobals, nullptr);
    EXPECT_EQ(session_.Shutdown(), kHostNoError);
  }
}

// The host cannot make a string while the About item is registered: the
// ai::Error comes back as the host's code, and neither the suite table nor
// the About object keeps a suite.
TEST_F(PluginMainTest, HostStringFailureBecomesItsCode) {
  host_.journal().FailNth("Copy", 1, kRefused);
  EXPECT_EQ(session_.Startup(), kRefused);
  EXPECT_EQ(host_.balance().suites, 0) << host_.journal().Dump();
  EXPECT_EQ(host_.suites().Outstanding(kMenuSuite), 0);
  EXPECT_EQ(host_.balance().strings, 0);
  EXPECT_EQ(host_.journal().Count("AddLiveEffect"), 0);
  ASSERT_NE(gGlobals, nullptr);
  EXPECT_EQ(gGlobals->aboutMenuItem, nullptr);
}

}  // namespace
