// The stand-in's dictionary suite: interned keys, typed entries, string
// entries and their accounting, and its answers to bad handles.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "plugin/suite_table.h"
#include "standin/dictionary/dictionary_store.h"
#include "tests/support/held_suites_fixture.h"

namespace {

using standin::DictEntry;

class DictionaryTest : public HeldSuitesTest {
 protected:
  void SetUp() override {
    HeldSuitesTest::SetUp();
    ASSERT_NE(sDictionary, nullptr);
    dictionary_ = host_.dictionaries().Create();
  }
  void TearDown() override {
    host_.dictionaries().Dispose(dictionary_);
    HeldSuitesTest::TearDown();
  }

  DictionaryHandle dictionary_ = nullptr;
};

TEST_F(DictionaryTest, KeysAreInterned) {
  const DictKey rate = sDictionary->Key("rate");
  EXPECT_NE(rate, nullptr);
  EXPECT_EQ(sDictionary->Key("rate"), rate);
  EXPECT_NE(sDictionary->Key("Rate"), rate) << "names are case-sensitive";
  EXPECT_EQ(*host_.dictionaries().KeyName(rate), "rate");
  EXPECT_EQ(sDictionary->Key(nullptr), nullptr);
}

TEST_F(DictionaryTest, EntriesReadBackAsTheTypeTheyWereWrittenAs) {
  const DictKey real = sDictionary->Key("real");
  const DictKey integer = sDictionary->Key("integer");
  const DictKey boolean = sDictionary->Key("boolean");
  ASSERT_EQ(sDictionary->SetRealEntry(dictionary_, real, 2.5f), kHostNoError);
  ASSERT_EQ(sDictionary->SetIntegerEntry(dictionary_, integer, -7), kHostNoError);
  ASSERT_EQ(sDictionary->SetBooleanEntry(dictionary_, boolean, 5), kHostNoError);

  HostReal r = 0;
  int32_t i = 0;
  HostBoolean b = 0;
  EXPECT_EQ(sDictionary->GetRealEntry(dictionary_, real, &r), kHostNoError);
  EXPECT_EQ(sDictionary->GetIntegerEntry(dictionary_, integer, &i), kHostNoError);
  EXPECT_EQ(sDictionary->GetBooleanEntry(dictionary_, boolean, &b), kHostNoError);
  EXPECT_EQ(r, 2.5f);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(b, 1);
}

TEST_F(DictionaryTest, AMissingEntryOrAnotherTypeIsWrongTypeAndLeavesTheValueAlone) {
  const DictKey key = sDictionary->Key("rate");
  HostReal value = 9.0f;
  EXPECT_FALSE(sDictionary->IsKnown(dictionary_, key));
  EXPECT_EQ(sDictionary->GetRealEntry(dictionary_, key, &value), kHostErrWrongType);
  EXPECT_EQ(value, 9.0f);

  ASSERT_EQ(sDictionary->SetIntegerEntry(dictionary_, key, 40), kHostNoError);
  EXPECT_TRUE(sDictionary->IsKnown(dictionary_, key)) << "known whatever its type";
  EXPECT_EQ(sDictionary->GetRealEntry(dictionary_, key, &value), kHostErrWrongType);
  EXPECT_EQ(value, 9.0f);
  HostBoolean flag = 3;
  EXPECT_EQ(sDictionary->GetBooleanEntry(dictionary_, key, &flag), kHostErrWrongType);
  EXPECT_EQ(flag, 3);
  UnicodeStringHandle text = nullptr;
  EXPECT_EQ(sDictionary->GetUnicodeStringEntry(dictionary_, key, &text), kHostErrWrongType);
  EXPECT_EQ(text, nullptr);
}

TEST_F(DictionaryTest, SettingReplacesInPlaceAndDeletingRemoves) {
  const DictKey a = sDictionary->Key("a");
  const DictKey b = sDictionary->Key("b");
  ASSERT_EQ(sDictionary->SetRealEntry(dictionary_, a, 1.0f), kHostNoError);
  ASSERT_EQ(sDictionary->SetRealEntry(dictionary_, b, 2.0f), kHostNoError);
  ASSERT_EQ(sDictionary->SetIntegerEntry(dictionary_, a, 3), kHostNoError);

  auto entries = host_.dictionaries().Entries(dictionary_);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].first, "a");
  EXPECT_EQ(entries[0].second.type, DictEntry::Type::kInteger);
  EXPECT_EQ(entries[0].second.integer, 3);

  EXPECT_EQ(sDictionary->DeleteEntry(dictionary_, a), kHostNoError);
  EXPECT_EQ(sDictionary->DeleteEntry(dictionary_, a), kHostNoError)
      << "deleting what is not there is no error";
  EXPECT_FALSE(sDictionary->IsKnown(dictionary_, a));
  EXPECT_EQ(host_.dictionaries().Entries(dictionary_).size(), 1u);
}

TEST_F(DictionaryTest, StringEntriesAreCopiesInsideTheDictionary) {
  const DictKey key = sDictionary->Key("DisplayString");
  UnicodeStringHandle mine = nullptr;
  ASSERT_EQ(sUnicodeString->MakeFromBytes(&mine, "Morvelin", 8, kPlatformEncoding), kHostNoError);
  ASSERT_EQ(sDictionary->SetUnicodeStringEntry(dictionary_, key, mine), kHostNoError);
  sUnicodeString->Dispose(mine);
  EXPECT_EQ(host_.strings().Live(), 0) << "the entry is not a live string";
  EXPECT_EQ(host_.dictionaries().Find(dictionary_, "DisplayString")->text, "Morvelin");

  UnicodeStringHandle read = nullptr;
  ASSERT_EQ(sDictionary->GetUnicodeStringEntry(dictionary_, key, &read), kHostNoError);
  EXPECT_EQ(*host_.strings().Text(read), "Morvelin");
  EXPECT_EQ(host_.strings().Live(), 1) << "reading hands out a new string";
  sUnicodeString->Dispose(read);

  EXPECT_EQ(sDictionary->SetUnicodeStringEntry(dictionary_, key, mine), kHostErrBadParameter)
      << "a disposed string";
  EXPECT_EQ(sDictionary->SetUnicodeStringEntry(dictionary_, key, nullptr), kHostErrBadParameter);
  EXPECT_EQ(host_.dictionaries().Find(dictionary_, "DisplayString")->text, "Morvelin");
}

TEST_F(DictionaryTest, UnknownHandlesAreRefusedAndChangeNothing) {
  const DictKey key = sDictionary->Key("rate");
  const DictionaryHandle gone = host_.dictionaries().Create();
  ASSERT_TRUE(host_.dictionaries().Dispose(gone));
  const DictKey madeUp = reinterpret_cast<DictKey>(static_cast<std::uintptr_t>(0x1230));
  HostReal value = 4.0f;

  EXPECT_EQ(sDictionary->SetRealEntry(gone, key, 1.0f), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->SetRealEntry(nullptr, key, 1.0f), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->SetRealEntry(dictionary_, madeUp, 1.0f), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->SetRealEntry(dictionary_, nullptr, 1.0f), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->GetRealEntry(gone, key, &value), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->GetRealEntry(dictionary_, madeUp, &value), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->GetRealEntry(dictionary_, key, nullptr), kHostErrBadParameter);
  EXPECT_EQ(sDictionary->DeleteEntry(gone, key), kHostErrBadParameter);
  EXPECT_FALSE(sDictionary->IsKnown(gone, key));
  EXPECT_FALSE(sDictionary->IsKnown(dictionary_, madeUp));
  EXPECT_EQ(value, 4.0f);
  EXPECT_TRUE(host_.dictionaries().Entries(dictionary_).empty());
  EXPECT_NE(host_.dictionaries().Create(), gone) << "a dictionary handle is never handed out twice";
}

TEST_F(DictionaryTest, AnInjectedFailureIsReturnedAndWritesNothing) {
  const DictKey key = sDictionary->Key("rate");
  const HostError refused = HOST_FOURCC('N', 'O', 'P', 'E');
  host_.journal().FailNth("SetRealEntry", 1, refused, "\"rate\"");
  EXPECT_EQ(sDictionary->SetRealEntry(dictionary_, key, 5.0f), refused);
  EXPECT_FALSE(sDictionary->IsKnown(dictionary_, key));
  EXPECT_EQ(sDictionary->SetRealEntry(dictionary_, key, 5.0f), kHostNoError);
  EXPECT_EQ(host_.journal().Count("SetRealEntry"), 2);
}

}  // namespace
