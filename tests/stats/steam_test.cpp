// The stats wrapper and its handlers against the desktop layer's local store.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "log.h"
#include "stats_folder.h"
#include "steam.h"
#include "steamlayer.h"

namespace {

struct SteamStore : StatsFolder {
  void SetUp() override {
    StatsFolder::SetUp();
    ASSERT_TRUE(steamlayer_init());
  }
  void TearDown() override {
    steamlayer_shutdown();
    StatsFolder::TearDown();
  }
  std::string store_path() { return folder + "/userstats.txt"; }
  void write_store(const std::string& text) {
    char out[256];
    ASSERT_TRUE(steamlayer_user_data_folder(out, sizeof out));
    std::ofstream(store_path()) << text;
  }
  // A new session of the layer, as a restart of the game gives.
  void restart() {
    steamlayer_shutdown();
    ASSERT_TRUE(steamlayer_init());
  }
};

// A helper the handlers reach through steam_helper while it lives.
struct Wired : SteamHelper {
  Wired() { steam_helper = this; }
  ~Wired() { steam_helper = nullptr; }
};

const char* SEEDED =
    "tavorek userstats 1\n"
    "stat s_hires 12\nstat s_dead 3\nstat s_alive 55\nstat s_silver 400\nstat s_farms 2\n"
    "achievement a_ombrelith 0 0\nachievement a_fundamentalist 1 1700000000\n"
    "board lb_fastestbuild 0 0\nboard lb_population 1 55\nboard lb_silver 1 400\nend\n";

TEST_F(SteamStore, SeededStoreIsReceivedAndBoardsFoundInTheNextRun) {
  write_store(SEEDED);
  Wired helper;
  EXPECT_EQ(log_count("Current Stats were requested."), 1);
  // Nothing answers from inside the requests.
  EXPECT_EQ(log_count("Received 7 achievements."), 0);
  EXPECT_EQ(helper.boards[0], 0u);
  EXPECT_FALSE(helper.UploadScore("lb_fastestbuild", 10));
  steamlayer_run_callbacks();
  EXPECT_EQ(log_count("Received 7 achievements."), 1);
  EXPECT_EQ(log_count("ombrelith[ ] fundamentalist[X] masterfarmer[ ] masterplanner[ ] fatcat[ ] "
                      "brute[ ] jobcreator[ ]"),
            1);
  EXPECT_EQ(log_count("hires 12, dead 3, alive 55, farms 2, silver 400"), 1);
  for (int b = 0; b < STEAM_BOARDS; b++) EXPECT_EQ(helper.boards[b], b + 1u) << b;
  steamlayer_run_callbacks();
  EXPECT_EQ(log_count("Received 7 achievements."), 1);  // delivered once
}

TEST_F(SteamStore, StatAndAchievementSyncedSurviveARestart) {
  {
    Wired helper;
    steamlayer_run_callbacks();
    steam_on_intstat("steamintstat name=s_farms val=4");
    steam_on_achievement("achievement name=a_ombrelith");
    steam_on_achievement("achievement name=a_ombrelith");  // set once, stored twice
    EXPECT_EQ(log_count("OnAchievementStored()"), 0);
    steamlayer_run_callbacks();
    EXPECT_EQ(log_count("OnAchievementStored()"), 1);
    steam_on_intstat("steamintstat name=s_hires val=9");  // not synced: written at shut-down
  }
  restart();
  SteamHelper again;
  steamlayer_run_callbacks();
  EXPECT_EQ(log_count("ombrelith[X] fundamentalist[ ] masterfarmer[ ] masterplanner[ ] fatcat[ ] "
                      "brute[ ] jobcreator[ ]"),
            1);
  EXPECT_EQ(log_count("hires 9, dead 0, alive 0, farms 4, silver 0"), 1);
  // The time it was set is kept with it.
  const std::string text = read_file(store_path());
  const size_t at = text.find("achievement a_ombrelith 1 ");
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_GT(atoll(text.c_str() + at + 26), 1700000000LL);
}

TEST_F(SteamStore, DamagedStoreIsMovedAsideAndAFreshOneStarts) {
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"negative stat", std::string(SEEDED).replace(35, 2, "-1")},
      {"stat past 32 bits", "tavorek userstats 1\nstat s_hires 2147483648\nend\n"},
      {"unknown stat", "tavorek userstats 1\nstat s_cats 1\nend\n"},
      {"stat twice", "tavorek userstats 1\nstat s_dead 1\nstat s_dead 2\nend\n"},
      {"flag not 0 or 1", "tavorek userstats 1\nachievement a_brute 2 5\nend\n"},
      {"set without time", "tavorek userstats 1\nachievement a_brute 1 0\nend\n"},
      {"cut short", std::string(SEEDED).substr(0, 120)},
      {"no end", "tavorek userstats 1\nstat s_dead 1\n"},
      {"trailing text", "tavorek userstats 1\nstat s_dead 1 x\nend\n"},
      {"wrong header", "userstats 2\nend\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_store(c.text);
    unlink((store_path() + ".damaged-1").c_str());
    restart();
    SteamHelper helper;
    steamlayer_run_callbacks();
    EXPECT_NE(log().find("ERR Stats store " + store_path() + " is damaged"), std::string::npos);
    EXPECT_EQ(read_file(store_path() + ".damaged-1"), c.text);
    EXPECT_NE(log().find("hires 0, dead 0, alive 0, farms 0, silver 0"), std::string::npos);
    EXPECT_NE(access(store_path().c_str(), F_OK), 0);  // fresh, not yet written
  }
}

TEST_F(SteamStore, BoardsKeepTheBestInTheirOwnOrder) {
  Wired helper;
  steamlayer_run_callbacks();
  const struct {
    void (*handler)(const char*);
    const char* text;
    int32_t best_fastest, best_population;
  } posts[] = {
      {steam_on_gameend, "gameend win=1 age=900.4 crowd=10 numdead=0", 900, 0},
      {steam_on_gameend, "gameend win=1 age=1200 crowd=10 numdead=0", 900, 0},  // slower
      {steam_on_gameend, "gameend win=1 age=99.5 crowd=10 numdead=0", 100, 0},  // rounds up
      {steam_on_gameend, "gameend win=0 age=10 crowd=10 numdead=0", 100, 0},    // lost
      {steam_on_gameend, "gameend win=1 age=0 crowd=10 numdead=0", 100, 0},
      {steam_on_intstat, "steamintstat name=s_alive val=50", 100, 50},
      {steam_on_intstat, "steamintstat name=s_alive val=40", 100, 50},
      {steam_on_intstat, "steamintstat name=s_alive val=60", 100, 60},
  };
  for (const auto& p : posts) {
    SCOPED_TRACE(p.text);
    p.handler(p.text);
    steamlayer_run_callbacks();
    const std::string text = read_file(store_path());
    EXPECT_NE(text.find("board lb_fastestbuild 1 " + std::to_string(p.best_fastest) + "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("board lb_population " + std::to_string(p.best_population > 0) + " " +
                        std::to_string(p.best_population) + "\n"),
              std::string::npos)
        << text;
  }
  EXPECT_EQ(log().find("ERR"), std::string::npos) << log();
}

TEST_F(SteamStore, FaultyScoresAndSumsAreRefused) {
  Wired helper;
  steamlayer_run_callbacks();
  // A game age past the 32-bit range, or infinite, is refused with one line.
  steam_on_gameend("gameend win=1 age=inf crowd=1 numdead=0");
  steam_on_gameend("gameend win=1 age=3e10 crowd=1 numdead=0");
  EXPECT_EQ(log_count("ERR Refused the fastest-build score of a game age of inf seconds."), 1);
  EXPECT_NE(log().find("ERR Refused the fastest-build score of a game age of 3"),
            std::string::npos);
  // An upload the layer turns away is a failure, not a lost success.
  helper.boards[STEAM_BOARD_FASTEST] = 99;
  EXPECT_FALSE(helper.UploadScore("lb_fastestbuild", 5));
  steam_on_gameend("gameend win=1 age=5 crowd=1 numdead=0");
  EXPECT_EQ(log_count("ERR Failed to upload score to steam."), 1);
  // The delta path works on the integer stat and saturates; every stat is an integer, so the
  // float form changes nothing.
  const struct {
    void (*handler)(const char*);
    const char* text;
    int32_t want;
  } deltas[] = {{steam_on_intstat, "steamintstat name=s_dead val=10 delta=5", 15},
                {steam_on_intstat, "steamintstat name=s_dead delta=-3", 12},
                {steam_on_intstat, "steamintstat name=s_dead delta=2147483647", 2147483647},
                {steam_on_intstat, "steamintstat name=s_dead delta=1", 2147483647},
                {steam_on_intstat, "steamintstat name=s_dead", 2147483647},
                {steam_on_fltstat, "steamfltstat name=s_dead val=1.5 delta=1", 2147483647}};
  for (const auto& d : deltas) {
    d.handler(d.text);
    int32_t v = -1;
    ASSERT_TRUE(steamlayer_get_int_stat(helper.stats, "s_dead", &v));
    EXPECT_EQ(v, d.want) << d.text;
  }
}

TEST_F(SteamStore, ReplacedUploadIsNotAnsweredAndResetClearsStatsAndAchievements) {
  write_store(SEEDED);
  {
    SteamHelper helper;
    steamlayer_run_callbacks();
    const steamlayer_call first =
        steamlayer_upload_score(helper.stats, 2, STEAMLAYER_KEEP_BEST, 70, nullptr, 0);
    ASSERT_NE(first, 0u);
    // Set to the first call, then replaced by a second upload before either answers.
    helper.upload.Set(first, &helper, &SteamHelper::OnUploadScore);
    EXPECT_TRUE(helper.UploadScore("lb_population", 80));
    EXPECT_TRUE(helper.upload.IsActive());
    steamlayer_run_callbacks();
    EXPECT_FALSE(helper.upload.IsActive());
    steamlayer_reset_all_stats(helper.stats, true);
  }
  restart();
  SteamHelper again;
  steamlayer_run_callbacks();
  EXPECT_EQ(log_count(NO_ACHIEVEMENTS), 1);
  EXPECT_GE(log_count("hires 0, dead 0, alive 0, farms 0, silver 0"), 1);
  // Best scores are the boards', not stats: they stay.
  EXPECT_NE(read_file(store_path()).find("board lb_population 1 80\n"), std::string::npos);
}

TEST_F(SteamStore, GuidePageIsWrittenAndOpenedOrNamed) {
  const std::string saved_path = getenv("PATH") ? getenv("PATH") : "";
  const char* display = getenv("DISPLAY");
  const std::string saved_display = display ? display : "", bin = root + "/bin";
  mkdir(bin.c_str(), 0700);
  setenv("PATH", bin.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  const std::string page = folder + "/guide.html";
  unsetenv("DISPLAY");
  steam_on_guide("guide");
  EXPECT_EQ(log_count("No display to open the web page on; it is at file://" + page), 1);
  EXPECT_NE(read_file(page).find("<h1>Tavorek, Ombrelith</h1>"), std::string::npos);
  setenv("DISPLAY", ":99", 1);
  steam_on_guide("guide");  // no opener on the path
  EXPECT_NE(log().find("ERR Could not start xdg-open"), std::string::npos);
  const std::string opener = bin + "/xdg-open";
  // The opener writes its address and the mask of the signals it was started
  // ignoring, with the shell's builtins alone (the path holds nothing else).
  std::ofstream(opener) << "#!/bin/sh\nwhile read -r k v; do [ \"$k\" != SigIgn: ] || m=$v; done "
                           "</proc/$$/status\necho \"$1 $m\" >\"$0.out\"\n";
  chmod(opener.c_str(), 0700);
  // The game ignores SIGPIPE; the opener, and the browser it starts, must not.
  void (*was)(int) = signal(SIGPIPE, SIG_IGN);
  steam_on_guide("guide");
  signal(SIGPIPE, was);
  EXPECT_EQ(log_count("Opening the web page file://" + page), 1);
  for (int i = 0; i < 200 && read_file(opener + ".out").empty(); i++) usleep(10000);
  const std::string out = read_file(opener + ".out");
  const size_t mask = out.find(' ');
  ASSERT_NE(mask, std::string::npos) << out;
  EXPECT_EQ(out.substr(0, mask), "file://" + page);
  EXPECT_EQ(strtoull(out.c_str() + mask, nullptr, 16) >> (SIGPIPE - 1) & 1, 0u) << out;
  setenv("PATH", saved_path.c_str(), 1);
  display ? setenv("DISPLAY", saved_display.c_str(), 1) : unsetenv("DISPLAY");
}

}  // namespace
