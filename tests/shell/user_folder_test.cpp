// Every file the game writes in the user data folder: never through a link,
// under a path that fits whatever folder the game accepts.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fresh_shell.h"
#include "kv.h"
#include "log.h"
#include "save_game.h"
#include "stats_folder.h"
#include "steamlayer.h"
#include "steamlayer_store.h"
#include "userdir.h"

namespace {

namespace fs = std::filesystem;

int err_lines(const std::string& log) {
  int n = 0;
  for (size_t at = 0; (at = log.find("ERR ", at)) != std::string::npos; at++)
    n += at == 0 || log[at - 1] == '\n';
  return n;
}

struct UserFolder : ::testing::Test {
  std::string root, dir, display;

  void SetUp() override {
    char tmpl[] = "/tmp/userfolderXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    if (const char* d = getenv("DISPLAY")) display = d;
    unsetenv("DISPLAY");  // the guide page is written, never opened
    use_folder(root + "/tavorek");
    ASSERT_TRUE(steamlayer_init());
    save_game_build();
  }
  void TearDown() override {
    fresh_shell();
    unsetenv("XDG_DATA_HOME");
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    chmod(dir.c_str(), 0700);
    fs::remove_all(root);
  }
  // folder ends in "/tavorek", as the platform layer and the game see it.
  void use_folder(const std::string& folder) {
    dir = folder;
    fs::create_directories(dir);
    setenv("XDG_DATA_HOME", dir.substr(0, dir.size() - 8).c_str(), 1);
    filesPath = dir.c_str();
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
};

TEST_F(UserFolder, NoWriterFollowsALink) {
  const std::pair<std::function<void()>, std::vector<const char*>> writers[] = {
      {[] { kv_set("settings_music", 0); }, {".settings_music"}},
      {steamlayer_store_save, {"userstats.txt", "userstats.txt.tmp"}},
      {[] { steamlayer_open_web_page(steamlayer_friends_interface(), STEAMLAYER_GUIDE_PAGE); },
       {"guide.html", "guide.html.tmp"}},
      {wld_save,
       {"game.txtsav", "game.binsav", "game.txtsav.tmp", "game.binsav.tmp", "game.savcommit"}},
      {[&] { log_open(path("tavoreklog.txt").c_str(), path("tavoreklog-previous.txt").c_str()); },
       {"tavoreklog.txt", "tavoreklog-previous.txt"}},
      {[&] { userdir_claim(dir.c_str()); }, {USERDIR_LOCK_FILE}},
  };
  const std::string target = root + "/elsewhere";
  for (const auto& [write, names] : writers)
    for (const std::string name : names)
      for (bool dangling : {false, true}) {
        SCOPED_TRACE(name + (dangling ? ", dangling link" : ", link to a file"));
        fs::remove_all(dir);
        fs::create_directory(dir);
        fs::remove(target);
        if (!dangling) std::ofstream(target) << "keep";
        fs::create_symlink(target, path(name));
        testing::internal::CaptureStdout();
        write();
        const std::string log = testing::internal::GetCapturedStdout();
        log_reset();
        userdir_reset();
        filesPath = dir.c_str();
        EXPECT_EQ(fs::exists(target) ? read_file(target) : "<none>", dangling ? "<none>" : "keep");
        EXPECT_LE(err_lines(log), 1) << log;
      }
}

// Up to the longest folder the platform layer gives, the pair, settings,
// stats and lock all fit. A refused pair is kept aside; with every name to
// keep it aside taken it stays, and the session writes nothing.
TEST_F(UserFolder, EveryFolderAcceptedSavesOrKeepsTheRefusedPair) {
  const struct {
    size_t length;
    bool aside_taken;
  } rows[] = {{200, false}, {233, false}, {238, false}, {239, false}, {255, false}, {255, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.length) + (r.aside_taken ? ", no name to keep aside" : ""));
    std::string folder = root;  // "<root>/d…/d…/tavorek", r.length characters
    for (size_t rest = r.length - root.size() - 8; rest > 0;) {
      const size_t take = rest > 101 ? (rest - 101 == 1 ? 100 : 101) : rest;
      folder += "/" + std::string(take - 1, 'd');
      rest -= take;
    }
    use_folder(folder + "/tavorek");
    ASSERT_EQ(dir.size(), r.length);
    char given[REGFILE_FOLDER_SZ];
    ASSERT_TRUE(steamlayer_user_data_folder(given, sizeof given));
    EXPECT_EQ(given, dir);
    EXPECT_EQ(userdir_claim(filesPath), USERDIR_WRITABLE);
    ASSERT_TRUE(wld_save());
    for (int n = 1; r.aside_taken && n <= REGFILE_MAXASIDE; n++)
      fs::create_symlink("/nonexistent", path("game.txtsav.rejected-" + std::to_string(n)));
    std::ofstream(path("game.txtsav")) << "version 102\n";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(wld_load());
    EXPECT_EQ(wld_save(), !r.aside_taken);
    kv_set("settings_difficulty", 2);
    steamlayer_store_save();
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fs::exists(path(".settings_difficulty")), !r.aside_taken);
    EXPECT_EQ(fs::exists(path(STEAMLAYER_STORE_FILE)), !r.aside_taken);
    if (r.aside_taken) {
      EXPECT_NE(log.find("Game not saved: the refused saved game could"), std::string::npos);
      EXPECT_EQ(read_file(path("game.txtsav")), "version 102\n");
    } else {
      EXPECT_EQ(err_lines(log), 1) << log;  // the refused version's, no other
      EXPECT_EQ(read_file(path("game.txtsav.rejected-1")), "version 102\n");
      EXPECT_TRUE(wld_load());
    }
    userdir_reset();
    fs::remove_all(dir);
  }
}

// A folder this copy can read but not write is taken as such, and the
// player's game in it loads. Root writes through any mode, so the copy runs
// as nobody, who is given the folder.
TEST_F(UserFolder, AReadOnlyFolderIsRead) {
  ASSERT_TRUE(wld_save());
  chmod(root.c_str(), 0755);
  ASSERT_TRUE(geteuid() != 0 || system(("chown -R 65534:65534 " + dir).c_str()) == 0);
  ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(99);
    char given[REGFILE_FOLDER_SZ];
    int wrong = !steamlayer_user_data_folder(given, sizeof given);
    wrong |= (userdir_claim(dir.c_str()) != USERDIR_READ_ONLY) << 1;
    _exit(wrong | !wld_load() << 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "root here cannot become nobody";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: folder refused, 2: not seen read-only, 4: no load";
}

}  // namespace
