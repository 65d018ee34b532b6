#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fresh_core.h"
#include "notify.h"

namespace {

std::vector<std::string> calls;

void h1(const char* text) { calls.push_back(std::string("h1:") + text); }
void h2(const char* text) { calls.push_back(std::string("h2:") + text); }
void h3(const char* text) { calls.push_back(std::string("h3:") + text); }

// Re-entrant handlers.
void posts_inner(const char* text) {
  calls.push_back("outer begins");
  notify_post("x inner");
  calls.push_back("outer ends");
}
void listens_h3(const char* text) {
  calls.push_back("listens_h3");
  notify_listen("w", h3);
}
void unlistens_self(const char* text) {
  calls.push_back("unlistens_self");
  notify_unlisten("w", unlistens_self);
}

struct NotifyTest : ::testing::Test {
  void SetUp() override {
    fresh_core();
    calls.clear();
  }
  void TearDown() override { fresh_core(); }
};

TEST_F(NotifyTest, SeveralHandlersPerWordInOrder) {
  EXPECT_TRUE(notify_listen("w", h1));
  EXPECT_TRUE(notify_listen("w", h2));
  EXPECT_EQ(notify_post("w a=1"), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"h1:w a=1", "h2:w a=1"}));
}

TEST_F(NotifyTest, OneHandlerUnderSeveralWords) {
  EXPECT_TRUE(notify_listen("w", h1));
  EXPECT_TRUE(notify_listen("v", h1));
  EXPECT_EQ(notify_post("w"), 1);
  EXPECT_EQ(notify_post("v"), 1);
  EXPECT_EQ(notify_post("x"), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"h1:w", "h1:v"}));
}

TEST_F(NotifyTest, RemovalMovesLastEntryIntoTheGap) {
  notify_listen("w", h1);
  notify_listen("w", h2);
  notify_listen("w", h3);
  EXPECT_FALSE(notify_unlisten("v", h1));  // word and handler must both match
  EXPECT_FALSE(notify_unlisten("w", posts_inner));
  EXPECT_TRUE(notify_unlisten("w", h1));
  EXPECT_FALSE(notify_unlisten("w", h1));
  EXPECT_EQ(notify_post("w"), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"h3:w", "h2:w"}));
}

TEST_F(NotifyTest, SixtyFifthRegistrationIsRefused) {
  static char names[NOTIFY_MAX_SZ][16];
  const int free_slots = NOTIFY_MAX_SZ - notify_count();
  for (int i = 0; i < free_slots; i++) {
    snprintf(names[i], sizeof names[i], "n%d", i);
    EXPECT_TRUE(notify_listen(names[i], h1)) << i;
  }
  EXPECT_EQ(notify_count(), NOTIFY_MAX_SZ);
  EXPECT_FALSE(notify_listen("w", h2));
  EXPECT_EQ(notify_post("w"), 0);
  EXPECT_EQ(notify_count(), NOTIFY_MAX_SZ);
  ASSERT_GT(free_slots, 0);
  EXPECT_TRUE(notify_unlisten(names[0], h1));
  EXPECT_TRUE(notify_listen("w", h2));
  EXPECT_EQ(notify_post("w"), 1);
  for (int i = 1; i < free_slots; i++) EXPECT_TRUE(notify_unlisten(names[i], h1));
}

TEST_F(NotifyTest, NestedPostRunsToCompletionFirst) {
  notify_listen("w", posts_inner);
  notify_listen("x", h1);
  notify_listen("w", h2);
  EXPECT_EQ(notify_post("w"), 2);  // the nested call is counted by its own post
  EXPECT_EQ(calls, (std::vector<std::string>{"outer begins", "h1:x inner", "outer ends", "h2:w"}));
}

TEST_F(NotifyTest, ListenerAddedDuringDispatchIsReached) {
  notify_listen("w", listens_h3);
  EXPECT_EQ(notify_post("w"), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"listens_h3", "h3:w"}));
}

TEST_F(NotifyTest, EntryMovedIntoRemovedSlotIsSkippedOnce) {
  notify_listen("w", unlistens_self);
  notify_listen("w", h1);
  notify_listen("w", h2);  // moves into slot 0, behind the loop
  EXPECT_EQ(notify_post("w"), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"unlistens_self", "h1:w"}));
  calls.clear();
  EXPECT_EQ(notify_post("w"), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"h2:w", "h1:w"}));
}

TEST_F(NotifyTest, FlushOfEmptyQueueCallsNothing) {
  notify_listen("w", h1);
  EXPECT_EQ(notify_flush(), 0);
  EXPECT_TRUE(calls.empty());
}

TEST_F(NotifyTest, DuplicatePairIsRefusedAndCalledOnce) {
  EXPECT_TRUE(notify_listen("w", h1));
  EXPECT_FALSE(notify_listen("w", h1));
  EXPECT_EQ(notify_post("w"), 1);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(NotifyTest, WordMatchesWholeWordOnly) {
  notify_listen("start", h1);
  EXPECT_EQ(notify_post("restart"), 0);
  EXPECT_EQ(notify_post("startx"), 0);
  EXPECT_EQ(notify_post("star"), 0);
  EXPECT_EQ(notify_post("start"), 1);
  EXPECT_EQ(notify_post("start a=1"), 1);
  EXPECT_EQ(notify_post("start\n"), 1);
  EXPECT_EQ(notify_post(" start"), 0);
  EXPECT_EQ(notify_post(""), 0);
}

TEST(NotifyParams, KeySearchIsSubstringFromWordEnd) {
  EXPECT_EQ(notify_int("cmd xval=3 val=5", "val"), 3);
  EXPECT_EQ(notify_int("val=7", "val"), INT_MIN);  // the word itself is not searched
  EXPECT_EQ(notify_float("cameraControl distScale=", "distScale"), -FLT_MAX);
  EXPECT_EQ(notify_int("cmd a 5", "a"), INT_MIN);
  EXPECT_EQ(notify_int("cmd a=x", "a"), 0);
  EXPECT_EQ(notify_int("cmd a=99999999999", "a"), INT_MAX);
  EXPECT_FLOAT_EQ(notify_float("cmd d=0.5 e=2", "e"), 2.0f);
}

TEST(NotifyParams, StringValueIsCutAt79) {
  std::string text = "cmd nm=" + std::string(100, 'a') + " x=1";
  char out[NOTIFY_STRING_SZ];
  notify_string(text.c_str(), "nm", out);
  EXPECT_EQ(strlen(out), 79u);
  notify_string("cmd nm= x=1", "nm", out);
  EXPECT_STREQ(out, "");
  notify_string("cmd nm=abc\nx", "nm", out);
  EXPECT_STREQ(out, "abc");
}

}  // namespace
