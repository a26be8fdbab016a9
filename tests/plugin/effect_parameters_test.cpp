// The effect's parameter dictionary: the writer's order and its failures, and
// the read of the stored rate.
#include "params/effect_parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "plugin/ai_error.h"
#include "standin/dictionary/dictionary_store.h"
#include "tests/support/held_suites_fixture.h"

namespace {

using standin::DictEntry;

const HostError kHostRefused = HOST_FOURCC('D', 'R', 'E', 'F');

class EffectParametersTest : public HeldSuitesTest {
 protected:
  void SetUp() override {
    HeldSuitesTest::SetUp();
    parameters_ = host_.dictionaries().Create();
  }
  void TearDown() override {
    host_.dictionaries().Dispose(parameters_);
    HeldSuitesTest::TearDown();
  }

  std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (const auto& e : host_.journal().entries()) calls.push_back(e.op + "(" + e.args + ")");
    return calls;
  }

  DictionaryHandle parameters_ = nullptr;
};

TEST_F(EffectParametersTest, WritesTheDisplayNameThenTheRateInThatOrder) {
  WriteParameters(parameters_, 37.5f);

  const auto& entries = host_.journal().entries();
  ASSERT_EQ(entries.size(), 6u) << host_.journal().Dump();
  EXPECT_EQ(entries[0].op, "Key");
  EXPECT_EQ(entries[0].args, "\"DisplayString\"");
  EXPECT_EQ(entries[1].op, "MakeFromBytes");
  EXPECT_EQ(entries[1].args, "\"Morvelin\", 8, 0");
  EXPECT_EQ(entries[2].op, "SetUnicodeStringEntry");
  EXPECT_EQ(entries[3].op, "Dispose");
  EXPECT_EQ(entries[3].args, entries[2].args.substr(entries[2].args.rfind(", ") + 2))
      << "the string set is the one disposed of";
  EXPECT_EQ(entries[4].op, "Key");
  EXPECT_EQ(entries[4].args, "\"rate\"");
  EXPECT_EQ(entries[5].op, "SetRealEntry");
  EXPECT_NE(entries[5].args.find("\"rate\", 37.5"), std::string::npos) << entries[5].args;
}

TEST_F(EffectParametersTest, RepeatedWritesLeaveOneOfEachEntryAndTheLastRate) {
  host_.dictionaries().Set(parameters_, "other", DictEntry::Integer(7));
  WriteParameters(parameters_, 10.0f);
  WriteParameters(parameters_, 0.0f);
  WriteParameters(parameters_, 73.0f);

  const auto entries = host_.dictionaries().Entries(parameters_);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].first, "other");
  EXPECT_EQ(entries[0].second.integer, 7) << "entries of others are left alone";
  EXPECT_EQ(entries[1].first, "DisplayString");
  EXPECT_EQ(entries[1].second.type, DictEntry::Type::kString);
  EXPECT_EQ(entries[1].second.text, "Morvelin");
  EXPECT_EQ(entries[2].first, "rate");
  EXPECT_EQ(entries[2].second.type, DictEntry::Type::kReal);
  EXPECT_EQ(entries[2].second.real, 73.0f);
  EXPECT_EQ(host_.strings().Made(), 3);
}

TEST_F(EffectParametersTest, AFailedDisplayStringThrowsAndWritesNeitherEntry) {
  host_.journal().FailNth("MakeFromBytes", 1, kHostRefused);
  try {
    WriteParameters(parameters_, 42.0f);
    FAIL() << "no exception";
  } catch (const ai::Error& e) {
    EXPECT_EQ(e.code(), kHostRefused);
  }
  EXPECT_TRUE(host_.dictionaries().Entries(parameters_).empty());
  EXPECT_EQ(host_.journal().Count("SetUnicodeStringEntry"), 0);
  EXPECT_EQ(host_.journal().Count("SetRealEntry"), 0);
  EXPECT_EQ(host_.strings().Live(), 0);
}

TEST_F(EffectParametersTest, FailedSetsAreNotReportedAndTheStringIsStillDisposedOf) {
  host_.journal().FailNth("SetUnicodeStringEntry", 1, kHostRefused);
  EXPECT_NO_THROW(WriteParameters(parameters_, 20.0f));
  EXPECT_EQ(host_.journal().Count("Dispose"), 1);
  ASSERT_NE(host_.dictionaries().Find(parameters_, "rate"), nullptr) << "the rate is written regardless";
  EXPECT_EQ(host_.dictionaries().Find(parameters_, "DisplayString"), nullptr);

  host_.journal().FailNth("SetRealEntry", 1, kHostRefused);
  EXPECT_NO_THROW(WriteParameters(parameters_, 30.0f));
  EXPECT_EQ(host_.dictionaries().Find(parameters_, "rate")->real, 20.0f) << "the failed set changed nothing";
}

// One stored "rate" and what ReadStoredRate makes of it.
struct StoredRate {
  const char* name;
  bool present;
  DictEntry entry;
  bool readable;
  HostReal expected;
};

void PrintTo(const StoredRate& stored, std::ostream* out) { *out << stored.name; }

const HostReal kUntouched = -1234.5f;

std::vector<StoredRate> StoredRates() {
  const HostReal inf = std::numeric_limits<HostReal>::infinity();
  return {
      {"Missing", false, {}, false, kUntouched},
      {"Zero", true, DictEntry::Real(0.0f), true, 0.0f},
      {"Fraction", true, DictEntry::Real(37.5f), true, 37.5f},
      {"AboveTheRange", true, DictEntry::Real(250.0f), true, 250.0f},
      {"Negative", true, DictEntry::Real(-5.0f), true, -5.0f},
      {"Integer", true, DictEntry::Integer(40), false, kUntouched},
      {"String", true, DictEntry::String("50"), false, kUntouched},
      {"NaN", true, DictEntry::Real(std::numeric_limits<HostReal>::quiet_NaN()), false, kUntouched},
      {"Infinity", true, DictEntry::Real(inf), false, kUntouched},
      {"NegativeInfinity", true, DictEntry::Real(-inf), false, kUntouched},
  };
}

class ReadStoredRateTest : public EffectParametersTest, public ::testing::WithParamInterface<StoredRate> {};

TEST_P(ReadStoredRateTest, ReadsFiniteRealsUnclampedAndEverythingElseAsMissing) {
  const StoredRate& stored = GetParam();
  if (stored.present) host_.dictionaries().Set(parameters_, "rate", stored.entry);

  HostReal rate = kUntouched;
  EXPECT_EQ(ReadStoredRate(parameters_, &rate), stored.readable);
  EXPECT_EQ(rate, stored.expected);

  const std::vector<std::string> ops = host_.journal().Ops();
  const std::vector<std::string> expectedOps =
      stored.present ? std::vector<std::string>{"Key", "IsKnown", "GetRealEntry"}
                     : std::vector<std::string>{"Key", "IsKnown"};
  EXPECT_EQ(ops, expectedOps);
}

INSTANTIATE_TEST_SUITE_P(Stored, ReadStoredRateTest, ::testing::ValuesIn(StoredRates()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EffectParametersTest, AFailedReadCountsAsMissing) {
  host_.dictionaries().Set(parameters_, "rate", DictEntry::Real(60.0f));
  host_.journal().FailNth("GetRealEntry", 1, kHostRefused);
  HostReal rate = kUntouched;
  EXPECT_FALSE(ReadStoredRate(parameters_, &rate));
  EXPECT_EQ(rate, kUntouched);
}

}  // namespace
