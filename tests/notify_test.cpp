#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "notify.h"

namespace {

std::vector<std::string> calls;

void h1(const char* text) { calls.push_back(std::string("h1:") + text); }
void h2(const char* text) { calls.push_back(std::string("h2:") + text); }
void h3(const char* text) { calls.push_back(std::string("h3:") + text); }

struct NotifyTest : ::testing::Test {
  void SetUp() override { calls.clear(); }
  void TearDown() override {
    const char* words[] = {"w", "v", "start", "x"};
    notify_handler hs[] = {h1, h2, h3};
    for (const char* w : words)
      for (notify_handler h : hs)
        while (notify_unlisten(w, h)) {
        }
  }
};

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
