// The journal's record of the messages the host sends: each on its own line
// before the calls made while the plug-in handled it, with the code it
// returned, nested messages inside their outer one; suite-call indices,
// counts and injected faults as if there were no messages.
#include "standin/journal/journal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using standin::Journal;

constexpr HostError kStop = 0x53544F50;  // 'STOP'

// One message with a call before and after it and, inside, a nested message
// between two calls; the outer returns `outer`, the inner `inner`.
std::string RunNested(Journal& journal, HostError outer, HostError inner) {
  journal.Enter("S", "before", "");
  journal.Message("Caller", "Outer", [&] {
    journal.Enter("S", "first", "1");
    journal.Message("Caller", "Inner", [&] { return inner; });
    journal.Enter("S", "second", "2");
    return outer;
  });
  journal.Enter("S", "after", "");
  return journal.Dump();
}

TEST(JournalMessages, StandBeforeTheirCallsWithTheirCodesAndLeaveIndicesAlone) {
  struct Case {
    const char* name;
    HostError outer, inner;
    const char* outerText;
    const char* innerText;
  };
  for (const Case& c : {Case{"both succeed", 0, 0, "0", "0"}, Case{"inner fails", 0, kStop, "0", "'STOP'"},
                        Case{"outer fails", -5, 0, "-5", "0"}}) {
    SCOPED_TRACE(c.name);
    Journal journal;
    // A fault by index counts suite calls only: entry 2 is "second".
    journal.FailAt(2, kStop);
    EXPECT_EQ(RunNested(journal, c.outer, c.inner),
              std::string("S.before()\n") + "message \"Caller\" \"Outer\" returned " + c.outerText + "\n" +
                  "S.first(1)\n" + "message \"Caller\" \"Inner\" returned " + c.innerText + "\n" +
                  "S.second(2) -> 'STOP'\n" + "S.after()\n");
    EXPECT_EQ(journal.entries().size(), 4u);
    EXPECT_EQ(journal.Count("second"), 1);
    ASSERT_EQ(journal.messages().size(), 2u);
    EXPECT_EQ(journal.messages()[0].before, 1u);
    EXPECT_EQ(journal.messages()[1].before, 2u);
  }
}

TEST(JournalMessages, AreForgottenByClearAndNotKeptWhileNotRecording) {
  Journal journal;
  // A Clear while the plug-in handles a message forgets it; the code of the
  // message sent after it is its own.
  journal.Message("Caller", "Cleared", [&] {
    journal.Clear();
    journal.Message("Caller", "Next", [] { return HostError{7}; });
    return HostError{9};
  });
  EXPECT_EQ(journal.Dump(), "message \"Caller\" \"Next\" returned 7\n");

  journal.Clear();
  journal.SetRecording(false);
  EXPECT_EQ(journal.Message("Caller", "Quiet", [] { return HostError{3}; }), 3);
  journal.SetRecording(true);
  EXPECT_EQ(journal.Message("Caller", "Heard", [] { return HostError{0}; }), 0);
  EXPECT_EQ(journal.Dump(), "message \"Caller\" \"Heard\" returned 0\n");
}

TEST(JournalMessages, ADumpWhileTheMessageRunsSaysItHasNotReturned) {
  Journal journal;
  std::string during;
  journal.Message("Caller", "Running", [&] {
    journal.Enter("S", "call", "");
    during = journal.Dump();
    return HostError{0};
  });
  EXPECT_EQ(during, "message \"Caller\" \"Running\" (not returned yet)\nS.call()\n");
}

}  // namespace
