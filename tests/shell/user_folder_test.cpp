#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fresh_shell.h"
#include "kv.h"
#include "stats_folder.h"
#include "steamlayer_store.h"
#include "userdir.h"

// Root writes through any mode: cases about modes run as nobody.
#define AS_NOBODY() \
  if (geteuid() == 0 && setuid(65534) != 0) _exit(99)

struct UserFolder : StatsFolder {
  void TearDown() override {
    StatsFolder::TearDown();
    fresh_shell();
  }
};

TEST_F(UserFolder, NoWriterFollowsALink) {
  ASSERT_TRUE(steamlayer_init());
  const std::string there = root + "/elsewhere";
  const std::pair<const char*, std::function<void()>> writers[] = {
      {".settings_music", [] { kv_set("settings_music", 0); }},
      {"userstats.txt.tmp", steamlayer_store_save},
      {"tavoreklog.txt", [&] { log_open((folder + "/tavoreklog.txt").c_str(), there.c_str()); }},
  };
  for (const auto& [name, write] : writers)
    for (bool dangling : {false, true}) {
      std::filesystem::remove_all(folder);
      std::filesystem::create_directories(folder);
      std::filesystem::remove(there);
      if (!dangling) std::ofstream(there) << "keep";
      std::filesystem::create_symlink(there, folder + "/" + name);
      filesPath = folder.c_str();
      FILE* caught = log_file;
      write();
      if (FILE* opened = std::exchange(log_file, caught); opened && opened != caught)
        fclose(opened);
      EXPECT_EQ(read_file(there), dangling ? "" : "keep") << name;
    }
}

// A folder the player may read but not write still holds the player's game.
TEST_F(UserFolder, AReadOnlyFolderIsTaken) {
  ASSERT_TRUE(steamlayer_init());
  std::filesystem::create_directories(folder);
  chmod(root.c_str(), 0755);
  chmod(folder.c_str(), 0555);
  EXPECT_EXIT(
      {
        AS_NOBODY();
        char out[REGFILE_FOLDER_SZ];
        _exit(steamlayer_user_data_folder(out, sizeof out) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  chmod(folder.c_str(), 0700);
}

// Whatever is found under the lock file's name, the session gets the lock
// when it can and otherwise the state that says why (the exit status).
TEST_F(UserFolder, TheLockFileServesWhateverIsThere) {
  const std::string lock = folder + "/" USERDIR_LOCK_FILE, aside = lock + ".rejected-1";
  const bool root_runs = geteuid() == 0;
  const struct {
    const char* what;
    mode_t folder_mode;
    std::function<void()> make;
    int state;
    bool moved;
  } cases[] = {
      {"a folder", 0777, [&] { mkdir(lock.c_str(), 0700); }, USERDIR_WRITABLE, true},
      {"not writable", 0777, [&] { close(open(lock.c_str(), O_CREAT, 0444)); }, USERDIR_WRITABLE,
       false},
      {"no access", 0777, [&] { close(open(lock.c_str(), O_CREAT, 0)); }, USERDIR_WRITABLE, true},
      {"held", 0777, [] {}, USERDIR_NOT_OWNER, false},
      {"read-only folder", 0555, [&] { close(open(lock.c_str(), O_CREAT, 0644)); },
       USERDIR_READ_ONLY, false},
      // Another user's file in a sticky folder cannot be moved aside.
      {"stuck", 01777, [&] { close(open(lock.c_str(), O_CREAT, 0)); },
       root_runs ? USERDIR_NO_LOCK : USERDIR_WRITABLE, !root_runs},
  };
  chmod(root.c_str(), 0755);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    c.make();
    const int held = c.state == USERDIR_NOT_OWNER ? open(lock.c_str(), O_CREAT | O_RDWR, 0644) : -1;
    if (held >= 0) flock(held, LOCK_EX);
    chmod(folder.c_str(), c.folder_mode);
    EXPECT_EXIT(
        {
          AS_NOBODY();
          _exit(userdir_claim(folder.c_str()));
        },
        testing::ExitedWithCode(c.state), "");
    if (held >= 0) close(held);
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(aside)), c.moved);
  }
}
