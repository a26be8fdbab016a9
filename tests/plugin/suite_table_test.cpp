// Acquiring and releasing the whole suite table, and the host's per-suite
// accounting behind it.
#include "plugin/suite_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/core/host.h"
#include "standin/core/suite_registry.h"

namespace {

// The host's names and versions, in the order the plug-in must ask for them.
const std::vector<std::string> kExpectedAcquisitions = {
    "\"SP Blocks Suite\", 2",      "\"AI Live Effect Suite\", 4", "\"AI Art Suite\", 14",
    "\"AI Real Math Suite\", 1",   "\"AI Menu Suite\", 9",        "\"AI Path Suite\", 8",
    "\"AI Path Style Suite\", 10", "\"ADM Basic Suite\", 10",     "\"ADM Dialog Suite\", 10",
    "\"ADM Item Suite\", 7",       "\"AI Dictionary Suite\", 6",  "\"AI Unicode String Suite\", 6",
    "\"AI Pathfinder Suite\", 4",  "\"ADM Notifier Suite\", 2",   "\"AI Context Suite\", 4",
};

const HostError kRefused = HOST_FOURCC('N', 'O', 'S', 'U');
const HostError kOther = HOST_FOURCC('O', 'T', 'H', 'R');

class SuiteTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every name of the table answers, whether or not the stand-in has its
    // real implementation yet; these tests never call into a suite.
    for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) {
      host_.suites().Add(entry.name, entry.version, &dummyTable_);
    }
  }

  void TearDown() override {
    ReleaseAllSuites(host_.basic());
    EXPECT_TRUE(host_.balance().Zero()) << host_.balance().Text();
  }

  static int HeldSlots() {
    int held = 0;
    for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) held += *entry.slot != nullptr ? 1 : 0;
    return held;
  }

  std::vector<std::string> Args(const std::string& op) {
    std::vector<std::string> args;
    for (const auto& e : host_.journal().entries()) {
      if (e.op == op) args.push_back(e.args);
    }
    return args;
  }

  standin::Host host_;
  const int dummyTable_[4] = {};
};

TEST_F(SuiteTableTest, AcquiresEveryEntryInOrderAndReleasesThemAll) {
  EXPECT_EQ(AcquireAllSuites(host_.basic()), kHostNoError);
  EXPECT_EQ(Args("AcquireSuite"), kExpectedAcquisitions);
  EXPECT_EQ(HeldSlots(), 15);
  EXPECT_EQ(host_.suites().Outstanding(), 15);

  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
  EXPECT_EQ(Args("ReleaseSuite"), kExpectedAcquisitions);
  EXPECT_EQ(HeldSlots(), 0);
  EXPECT_EQ(host_.suites().Outstanding(), 0);
}

TEST_F(SuiteTableTest, AFailedAcquisitionStillTriesTheRestAndOnlyTheOthersAreReleased) {
  host_.journal().FailNth("AcquireSuite", 0, kRefused, "\"AI Art Suite\"");

  EXPECT_EQ(AcquireAllSuites(host_.basic()), kRefused);
  EXPECT_EQ(host_.journal().Count("AcquireSuite"), 15);
  EXPECT_EQ(sArt, nullptr);
  EXPECT_EQ(HeldSlots(), 14);
  EXPECT_EQ(host_.suites().Outstanding("AI Art Suite"), 0);
  EXPECT_EQ(host_.suites().Outstanding(), 14);

  host_.journal().Clear();
  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
  std::vector<std::string> others = kExpectedAcquisitions;
  others.erase(others.begin() + 2);
  EXPECT_EQ(Args("ReleaseSuite"), others);
  EXPECT_EQ(HeldSlots(), 0);
}

TEST_F(SuiteTableTest, TheFirstOfSeveralFailuresIsTheResult) {
  host_.journal().FailNth("AcquireSuite", 0, kRefused, "\"AI Menu Suite\"");
  host_.journal().FailNth("AcquireSuite", 0, kOther, "\"AI Context Suite\"");
  EXPECT_EQ(AcquireAllSuites(host_.basic()), kRefused);
  EXPECT_EQ(HeldSlots(), 13);

  host_.journal().FailNth("ReleaseSuite", 1, kOther, "\"AI Art Suite\"");
  host_.journal().FailNth("ReleaseSuite", 1, kRefused, "\"AI Pathfinder Suite\"");
  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kOther);
  EXPECT_EQ(HeldSlots(), 2);
}

TEST_F(SuiteTableTest, AFailedReleaseKeepsItsSlotAndTheNextReleaseRetriesIt) {
  ASSERT_EQ(AcquireAllSuites(host_.basic()), kHostNoError);
  host_.journal().FailNth("ReleaseSuite", 1, kRefused, "\"AI Path Suite\"");

  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kRefused);
  EXPECT_EQ(host_.journal().Count("ReleaseSuite"), 15);
  EXPECT_NE(sPath, nullptr);
  EXPECT_EQ(HeldSlots(), 1);
  EXPECT_EQ(host_.suites().Outstanding("AI Path Suite"), 1);

  host_.journal().Clear();
  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
  EXPECT_EQ(Args("ReleaseSuite"), std::vector<std::string>{"\"AI Path Suite\", 8"});
  EXPECT_EQ(sPath, nullptr);
  EXPECT_EQ(host_.suites().Outstanding(), 0);
}

// The next message acquires the table again before it releases it: the suite
// whose release was refused must not be acquired a second time, or one
// acquisition would never be returned.
TEST_F(SuiteTableTest, ASlotKeptByARefusedReleaseIsNotAcquiredAgain) {
  ASSERT_EQ(AcquireAllSuites(host_.basic()), kHostNoError);
  host_.journal().FailNth("ReleaseSuite", 1, kRefused, "\"AI Path Suite\"");
  ASSERT_EQ(ReleaseAllSuites(host_.basic()), kRefused);

  host_.journal().Clear();
  EXPECT_EQ(AcquireAllSuites(host_.basic()), kHostNoError);
  std::vector<std::string> others = kExpectedAcquisitions;
  others.erase(others.begin() + 5);
  EXPECT_EQ(Args("AcquireSuite"), others);
  EXPECT_EQ(HeldSlots(), 15);
  EXPECT_EQ(host_.suites().Outstanding("AI Path Suite"), 1);

  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
  EXPECT_EQ(host_.suites().Outstanding(), 0);
}

TEST_F(SuiteTableTest, ReleasingWithNothingHeldCallsNothing) {
  EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
}

TEST(SuiteRegistryTest, UnknownNamesAndVersionsAndCountsPerSuite) {
  standin::Host host;
  SPBasicSuite* basic = host.basic();
  const void* suite = &host;  // any non-null marker

  EXPECT_EQ(basic->AcquireSuite("AI Art Suite", 99, &suite), kHostErrSuiteNotFound);
  EXPECT_EQ(basic->AcquireSuite("AI Nonsense Suite", 1, &suite), kHostErrSuiteNotFound);
  EXPECT_EQ(suite, &host) << "a failed acquisition leaves the out-pointer alone";
  EXPECT_NE(basic->ReleaseSuite("AI Dictionary Suite", 6), kHostNoError) << "released without an acquisition";
  EXPECT_NE(basic->ReleaseSuite("AI Nonsense Suite", 1), kHostNoError);

  ASSERT_EQ(basic->AcquireSuite("AI Dictionary Suite", 6, &suite), kHostNoError);
  ASSERT_EQ(basic->AcquireSuite("AI Dictionary Suite", 6, &suite), kHostNoError);
  ASSERT_EQ(basic->AcquireSuite("AI Unicode String Suite", 6, &suite), kHostNoError);
  EXPECT_EQ(host.suites().Outstanding("AI Dictionary Suite"), 2);
  EXPECT_EQ(host.suites().Outstanding(), 3);

  EXPECT_EQ(basic->ReleaseSuite("AI Dictionary Suite", 6), kHostNoError);
  EXPECT_EQ(host.suites().Outstanding("AI Dictionary Suite"), 1);
  EXPECT_EQ(basic->ReleaseSuite("AI Dictionary Suite", 6), kHostNoError);
  EXPECT_EQ(basic->ReleaseSuite("AI Unicode String Suite", 6), kHostNoError);
  EXPECT_NE(basic->ReleaseSuite("AI Unicode String Suite", 6), kHostNoError) << "one release too many";
  EXPECT_TRUE(host.balance().Zero()) << host.balance().Text();
}

}  // namespace

TEST(SuiteRegistryTest, TheStandInOffersEverySuiteOfTheTable) {
  standin::Host host;
  EXPECT_EQ(AcquireAllSuites(host.basic()), kHostNoError);
  for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) EXPECT_NE(*entry.slot, nullptr) << entry.name;
  EXPECT_EQ(ReleaseAllSuites(host.basic()), kHostNoError);
  EXPECT_EQ(host.balance().suites, 0);
}
