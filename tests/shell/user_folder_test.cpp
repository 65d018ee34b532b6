// Every file the game writes in the user data folder: never through a link,
// and under a path that fits whatever folder the game accepts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "kv.h"
#include "log.h"
#include "regfile.h"
#include "save_game.h"
#include "stats_folder.h"
#include "steamlayer.h"
#include "steamlayer_store.h"
#include "userdir.h"
#include "wld_site.h"

namespace {

namespace fs = std::filesystem;

int err_lines(const std::string& log) {
  int n = 0;
  for (size_t at = 0; (at = log.find("ERR ", at)) != std::string::npos; at++)
    n += at == 0 || log[at - 1] == '\n';
  return n;
}

// A folder "<parent>/tavorek" of exactly length characters under root, made.
std::string folder_of_length(const std::string& root, size_t length) {
  std::string path = root;
  size_t rest = length - root.size() - 8;  // "/tavorek" comes last
  while (rest > 0) {
    size_t take = rest > 101 ? 101 : rest;
    if (rest - take == 1) take--;  // a lone '/' would be no name
    path += "/" + std::string(take - 1, 'd');
    rest -= take;
  }
  path += "/tavorek";
  fs::create_directories(path);
  return path;
}

struct UserFolder : WorldTest {
  std::string root, dir;
  const char* saved_path = filesPath;
  FILE* saved_log = log_file;
  std::string saved_display;

  void SetUp() override {
    char tmpl[] = "/tmp/userfolderXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    if (const char* d = getenv("DISPLAY")) saved_display = d;
    unsetenv("DISPLAY");  // the guide page is written, never opened
    use_folder(root + "/tavorek");
    ASSERT_TRUE(steamlayer_init());
    save_game_build();
  }
  void TearDown() override {
    steamlayer_reset();
    userdir_reset();
    if (log_file && log_file != saved_log) fclose(log_file);
    log_file = saved_log;
    filesPath = saved_path;
    unsetenv("XDG_DATA_HOME");
    if (!saved_display.empty()) setenv("DISPLAY", saved_display.c_str(), 1);
    fs::remove_all(root);
    WorldTest::TearDown();
  }
  // folder, ending in "/tavorek", as the platform layer and the game see it.
  void use_folder(const std::string& folder) {
    dir = folder;
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.substr(0, dir.size() - 8).c_str(), 1);
    filesPath = dir.c_str();
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
};

void save_world() { wld_save(); }
void store_stats() { steamlayer_store_save(); }
void write_guide() {
  steamlayer_open_web_page(steamlayer_friends_interface(), STEAMLAYER_GUIDE_PAGE);
}
void open_log() {
  const std::string dir = filesPath;
  log_open((dir + "/tavoreklog.txt").c_str(), (dir + "/tavoreklog-previous.txt").c_str());
}

// A link under any name the game writes leaves its target as it was: no
// write goes through it, and it costs at most one line.
TEST_F(UserFolder, NoWriterFollowsALink) {
  const struct {
    const char* name;
    void (*write)();
  } writers[] = {
      {".settings_music", [] { kv_set("settings_music", 0); }},
      {"userstats.txt", store_stats},
      {"userstats.txt.tmp", store_stats},
      {"guide.html", write_guide},
      {"guide.html.tmp", write_guide},
      {"game.txtsav", save_world},
      {"game.binsav", save_world},
      {"game.txtsav.tmp", save_world},
      {"game.binsav.tmp", save_world},
      {"game.savcommit", save_world},
      {"tavoreklog.txt", open_log},
      {"tavoreklog-previous.txt", open_log},
      {USERDIR_LOCK_FILE, [] { userdir_claim(filesPath); }},
  };
  const std::string target = root + "/elsewhere";
  for (const auto& w : writers)
    for (bool dangling : {false, true}) {
      SCOPED_TRACE(std::string(w.name) + (dangling ? ", dangling link" : ", link to a file"));
      fs::remove_all(dir);
      fs::create_directory(dir);
      fs::remove(target);
      if (!dangling) std::ofstream(target) << "keep";
      fs::create_symlink(target, path(w.name));
      testing::internal::CaptureStdout();
      w.write();
      const std::string log = testing::internal::GetCapturedStdout();
      if (log_file != saved_log) fclose(log_file);
      log_file = saved_log;
      userdir_reset();
      EXPECT_EQ(fs::exists(target) ? read_file(target) : "<none>", dangling ? "<none>" : "keep");
      EXPECT_LE(err_lines(log), 1) << log;
    }
}

// Folders up to the longest the platform layer gives: the pair saves, a
// refused one is kept aside and the next save goes on; settings, stats and
// the lock have room too.
TEST_F(UserFolder, EveryPathFitsEveryFolderAccepted) {
  for (size_t length : {200, 232, 233, 238, 239, 255}) {
    SCOPED_TRACE(length);
    use_folder(folder_of_length(root, length));
    ASSERT_EQ(dir.size(), length);
    char given[REGFILE_FOLDER_SZ];
    ASSERT_TRUE(steamlayer_user_data_folder(given, sizeof given));
    EXPECT_EQ(given, dir);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(wld_save());
    std::ofstream(path("game.txtsav")) << "version 102\n";
    EXPECT_FALSE(wld_load());
    EXPECT_TRUE(wld_save());
    EXPECT_TRUE(wld_load());
    kv_set("settings_difficulty", 2);
    EXPECT_TRUE(steamlayer_store_save());
    EXPECT_EQ(userdir_claim(filesPath), USERDIR_WRITABLE);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(err_lines(log), 1) << log;  // the refused version's, no other
    EXPECT_EQ(read_file(path("game.txtsav.rejected-1")), "version 102\n");
    EXPECT_EQ(kv_get("settings_difficulty", 1), 2);
    EXPECT_TRUE(fs::exists(path(STEAMLAYER_STORE_FILE)));
    EXPECT_TRUE(fs::exists(path(USERDIR_LOCK_FILE)));
    userdir_reset();
  }
}

// With every name to keep it aside taken, a refused pair stays where it is:
// the session then saves nothing, and the pair is there for the next start.
TEST_F(UserFolder, APairThatCannotBeKeptAsideIsNeverOverwritten) {
  ASSERT_TRUE(wld_save());
  for (int n = 1; n <= REGFILE_MAXASIDE; n++)
    fs::create_symlink("/nonexistent", path("game.txtsav.rejected-" + std::to_string(n)));
  std::ofstream(path("game.txtsav")) << "version 102\n";
  const std::string binary = read_file(path("game.binsav"));
  testing::internal::CaptureStdout();
  EXPECT_FALSE(wld_load());
  EXPECT_FALSE(wld_save());
  kv_set("settings_music", 0);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(userdir_state(), USERDIR_SAVE_STUCK);
  EXPECT_NE(log.find("Game not saved: the refused saved game could not be kept aside."),
            std::string::npos)
      << log;
  EXPECT_EQ(read_file(path("game.txtsav")), "version 102\n");
  EXPECT_EQ(read_file(path("game.binsav")), binary);
  EXPECT_FALSE(fs::exists(path(".settings_music")));
}

}  // namespace
