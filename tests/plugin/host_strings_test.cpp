// HostUnicodeString and ai::Error over the stand-in's Unicode string suite,
// and the stand-in's string store itself.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "plugin/ai_error.h"
#include "plugin/host_unicode_string.h"
#include "standin/dictionary/string_store.h"
#include "tests/support/held_suites_fixture.h"

namespace {

const HostError kHostRefused = HOST_FOURCC('U', 'S', 'T', 'R');

class HostStringsTest : public HeldSuitesTest {
 protected:
  std::string TextOf(const HostUnicodeString& s) {
    const std::string* text = host_.strings().Text(s.handle());
    return text != nullptr ? *text : "(not a live string)";
  }
  int Calls(const std::string& op) { return host_.journal().Count(op); }
};

TEST_F(HostStringsTest, MakesFromTheTextItsByteLengthAndTheEncoding) {
  {
    HostUnicodeString about("About Tessik plug-ins", kPlatformEncoding);
    ASSERT_EQ(host_.journal().entries().size(), 1u);
    EXPECT_EQ(host_.journal().entries()[0].op, "MakeFromBytes");
    EXPECT_EQ(host_.journal().entries()[0].args, "\"About Tessik plug-ins\", 21, 0");
    EXPECT_EQ(TextOf(about), "About Tessik plug-ins");
    EXPECT_EQ(host_.strings().Live(), 1);
  }
  EXPECT_EQ(Calls("Dispose"), 1);
}

TEST_F(HostStringsTest, NullTextOwnsNothingAndCallsNothing) {
  {
    HostUnicodeString none(nullptr, kPlatformEncoding);
    EXPECT_EQ(none.handle(), nullptr);
    HostUnicodeString copy(none);
    EXPECT_EQ(copy.handle(), nullptr);
  }
  EXPECT_TRUE(host_.journal().entries().empty()) << host_.journal().Dump();
}

TEST_F(HostStringsTest, ACopyOwnsItsOwnHandle) {
  {
    HostUnicodeString source("Morvelin", kPlatformEncoding);
    {
      HostUnicodeString copy(source);
      EXPECT_NE(copy.handle(), source.handle());
      EXPECT_EQ(TextOf(copy), "Morvelin");
      EXPECT_EQ(host_.strings().Live(), 2);
    }
    EXPECT_EQ(Calls("Dispose"), 1);
    EXPECT_EQ(TextOf(source), "Morvelin") << "destroying the copy left the source alone";
  }
  EXPECT_EQ(Calls("Dispose"), 2);
}

TEST_F(HostStringsTest, FailuresThrowTheHostsCodeAndLeakNothing) {
  host_.journal().FailNth("MakeFromBytes", 1, kHostRefused);
  try {
    HostUnicodeString s("Morvelin", kPlatformEncoding);
    FAIL() << "no exception";
  } catch (const ai::Error& e) {
    EXPECT_EQ(e.code(), kHostRefused);
    EXPECT_STREQ(e.what(), std::exception().what()) << "the standard default description";
  }
  EXPECT_EQ(Calls("Dispose"), 0);

  HostUnicodeString source("Morvelin", kPlatformEncoding);
  host_.journal().FailNth("Copy", 1, kHostRefused);
  try {
    HostUnicodeString copy(source);
    FAIL() << "no exception";
  } catch (const std::exception& e) {
    const auto* error = dynamic_cast<const ai::Error*>(&e);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), kHostRefused);
  }
  EXPECT_EQ(host_.strings().Live(), 1);

  // An encoding the host does not know is the host's failure to report.
  EXPECT_THROW(HostUnicodeString("x", 7), ai::Error);
  EXPECT_EQ(host_.strings().Live(), 1);
}

TEST_F(HostStringsTest, MakingWithoutTheSuiteHeldThrowsInsteadOfCallingThroughNull) {
  const UnicodeStringSuite* held = sUnicodeString;
  sUnicodeString = nullptr;
  try {
    HostUnicodeString s("Morvelin", kPlatformEncoding);
    ADD_FAILURE() << "no exception";
  } catch (const ai::Error& e) {
    EXPECT_EQ(e.code(), kHostErrSuiteNotFound);
  }
  sUnicodeString = held;
  EXPECT_TRUE(host_.journal().entries().empty());
}

TEST_F(HostStringsTest, AStringThatOutlivesItsSuiteIsLeftToTheHostsAccounting) {
  UnicodeStringHandle handle = nullptr;
  const UnicodeStringSuite* held = sUnicodeString;
  {
    HostUnicodeString s("Morvelin", kPlatformEncoding);
    handle = s.handle();
    sUnicodeString = nullptr;
  }  // no call through the empty slot
  sUnicodeString = held;
  EXPECT_EQ(Calls("Dispose"), 0);
  ASSERT_EQ(host_.strings().Live(), 1);
  sUnicodeString->Dispose(handle);  // what the host's clean-up would do
}

TEST_F(HostStringsTest, CopyAssignmentDisposesTheOldStringOnceAndKeepsItOnFailure) {
  {
    HostUnicodeString target("old", kPlatformEncoding);
    HostUnicodeString source("new", kPlatformEncoding);
    const UnicodeStringHandle old = target.handle();

    target = source;
    EXPECT_FALSE(host_.strings().IsLive(old));
    EXPECT_NE(target.handle(), source.handle());
    EXPECT_EQ(TextOf(target), "new");
    EXPECT_EQ(host_.strings().Live(), 2);

    HostUnicodeString& alias = target;
    const UnicodeStringHandle before = target.handle();
    target = alias;
    EXPECT_EQ(target.handle(), before) << "self-assignment changes nothing";

    host_.journal().FailNth("Copy", 0, kHostRefused);
    EXPECT_THROW(target = source, ai::Error);
    EXPECT_EQ(target.handle(), before) << "a failed assignment keeps the string it had";
    EXPECT_EQ(TextOf(target), "new");

    HostUnicodeString empty(nullptr, kPlatformEncoding);
    target = empty;
    EXPECT_EQ(target.handle(), nullptr);
    EXPECT_EQ(host_.strings().Live(), 1);
  }
  EXPECT_EQ(host_.strings().Made(), 3);
  EXPECT_EQ(Calls("Dispose"), 3);
}

TEST_F(HostStringsTest, MovesHandOverTheHandleWithoutAnyHostCall) {
  {
    HostUnicodeString first("first", kPlatformEncoding);
    const UnicodeStringHandle handle = first.handle();
    host_.journal().Clear();

    HostUnicodeString moved(std::move(first));
    EXPECT_EQ(moved.handle(), handle);
    EXPECT_EQ(first.handle(),
              nullptr);  // NOLINT(bugprone-use-after-move): the moved-from state is the contract
    EXPECT_TRUE(host_.journal().entries().empty());

    HostUnicodeString second("second", kPlatformEncoding);
    const UnicodeStringHandle secondHandle = second.handle();
    moved = std::move(second);
    EXPECT_FALSE(host_.strings().IsLive(handle)) << "the target's old string is disposed of";
    EXPECT_EQ(moved.handle(), secondHandle);

    HostUnicodeString& alias = moved;
    moved = std::move(alias);
    EXPECT_EQ(moved.handle(), secondHandle) << "self-move keeps the string";
  }
  EXPECT_EQ(host_.strings().Made(), 2);
  EXPECT_EQ(host_.strings().Live(), 0);
}

TEST_F(HostStringsTest, Windows1252BytesBecomeUtf8) {
  HostUnicodeString cafe("caf\xE9", kPlatformEncoding);
  EXPECT_EQ(host_.journal().entries()[0].args, "\"caf\\xE9\", 4, 0");
  EXPECT_EQ(TextOf(cafe), "caf\xC3\xA9");

  // The 0x80..0x9F block is where the code page departs from Latin-1; its
  // unassigned bytes stay the C1 control of the same number.
  HostUnicodeString high("\x80\x81\x9F\xA0\xFF", kPlatformEncoding);
  EXPECT_EQ(TextOf(high), "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xBF");
}

TEST_F(HostStringsTest, TheStoreCatchesDoubleAndUnknownDisposesWithoutCrashing) {
  UnicodeStringHandle s = nullptr;
  ASSERT_EQ(sUnicodeString->MakeFromBytes(&s, "abc", 3, kPlatformEncoding), kHostNoError);
  sUnicodeString->Dispose(s);
  sUnicodeString->Dispose(s);
  sUnicodeString->Dispose(nullptr);
  EXPECT_EQ(host_.strings().BadDisposes(), 2);
  EXPECT_EQ(host_.strings().Live(), 0);
  expectedBadDisposes_ = 2;

  // A disposed handle is never handed out again, so it stays recognisably stale.
  UnicodeStringHandle t = nullptr;
  ASSERT_EQ(sUnicodeString->MakeFromBytes(&t, "abc", 3, kPlatformEncoding), kHostNoError);
  EXPECT_NE(t, s);
  UnicodeStringHandle copy = nullptr;
  EXPECT_EQ(sUnicodeString->Copy(&copy, s), kHostErrBadParameter);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(sUnicodeString->MakeFromBytes(&copy, nullptr, 2, kPlatformEncoding), kHostErrBadParameter);
  EXPECT_EQ(sUnicodeString->MakeFromBytes(&copy, "abc", -1, kPlatformEncoding), kHostErrBadParameter);
  EXPECT_EQ(sUnicodeString->MakeFromBytes(nullptr, "abc", 3, kPlatformEncoding), kHostErrBadParameter);
  EXPECT_EQ(copy, nullptr);
  sUnicodeString->Dispose(t);
}

}  // namespace
