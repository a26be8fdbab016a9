// A test that runs like one message handler: a fresh stand-in host, every
// suite of the table acquired for the test's length (as far as the host has
// it) and released at the end, when the host must have nothing outstanding.
#pragma once

#include <gtest/gtest.h>

#include "plugin/suite_table.h"
#include "standin/core/host.h"
#include "standin/dictionary/string_store.h"

class HeldSuitesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Suites the host does not offer stay null; the tests use only those it has.
    AcquireAllSuites(host_.basic());
    host_.journal().Clear();
  }

  void TearDown() override {
    EXPECT_EQ(ReleaseAllSuites(host_.basic()), kHostNoError);
    standin::Balance balance = host_.balance();
    EXPECT_EQ(balance.badDisposes, expectedBadDisposes_);
    balance.badDisposes = 0;
    EXPECT_TRUE(balance.Zero()) << balance.Text();
  }

  standin::Host host_;
  // A test that disposes of a bad handle on purpose says how many times.
  int expectedBadDisposes_ = 0;
};
