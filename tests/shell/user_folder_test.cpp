#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fresh_shell.h"
#include "kv.h"
#include "sdlmain.h"
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

// Whatever is under the lock file's name, the session gets the lock when it
// can and otherwise the state that says why (its exit status).
TEST_F(UserFolder, TheLockFileServesWhateverIsThere) {
  const std::string lock = folder + "/" USERDIR_LOCK_FILE;
  const bool root_runs = geteuid() == 0;  // nobody then meets another user's files
  enum { FOLDER = -1, HELD = -2 };
  const struct {
    int lock_mode;  // a file's mode, or FOLDER, or HELD by another copy
    mode_t folder_mode;
    int state;
    bool moved;
  } cases[] = {
      {FOLDER, 0777, USERDIR_WRITABLE, true},
      {0444, 0777, USERDIR_WRITABLE, false},
      {0, 0777, USERDIR_WRITABLE, true},
      {HELD, 0777, USERDIR_NOT_OWNER, false},
      {0644, 0555, USERDIR_READ_ONLY, false},
      // Another user's file in a sticky folder cannot be moved aside.
      {0, 01777, root_runs ? USERDIR_NO_LOCK : USERDIR_WRITABLE, !root_runs},
  };
  chmod(root.c_str(), 0755);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lock_mode << " in " << c.folder_mode);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const int fd = c.lock_mode == FOLDER ? mkdir(lock.c_str(), 0700)
                                         : open(lock.c_str(), O_CREAT, c.lock_mode & 0777);
    if (c.lock_mode == HELD) flock(fd, LOCK_EX);
    chmod(folder.c_str(), c.folder_mode);
    EXPECT_EXIT(
        {
          AS_NOBODY();
          _exit(userdir_claim(folder.c_str()));
        },
        testing::ExitedWithCode(c.state), "");
    if (fd > 0) close(fd);
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(lock + ".rejected-1")),
              c.moved);
  }
}

// Start-up: the lines logged before the log file opens are in it, and a link
// at its name is moved aside like a stray lock file.
TEST_F(UserFolder, StartUpLogsEveryLine) {
  ASSERT_TRUE(steamlayer_init());
  const std::string logname = folder + "/tavoreklog.txt", there = root + "/elsewhere";
  std::filesystem::create_directories(folder + "/" USERDIR_LOCK_FILE);
  std::filesystem::create_symlink(there, logname);
  FILE* caught = std::exchange(log_file, nullptr);
  LOG("ERR before the folder is known");
  sdlmain_open_user_folder();
  FILE* opened = std::exchange(log_file, caught);
  ASSERT_NE(opened, nullptr);
  fclose(opened);
  const std::string text = read_file(logname);
  EXPECT_EQ(text.find("ERR before the folder is known\n"), 0u);
  for (const char* name : {USERDIR_LOCK_FILE, "tavoreklog.txt"})
    EXPECT_NE(text.find(folder + "/" + name + " is not a regular file; moved aside"),
              std::string::npos)
        << name;
  EXPECT_FALSE(std::filesystem::exists(there));
}
