#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fresh_shell.h"
#include "kv.h"
#include "stats_folder.h"
#include "steamlayer_store.h"

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
        if (geteuid() == 0 && setuid(65534) != 0) _exit(9);  // root writes through any mode
        char out[REGFILE_FOLDER_SZ];
        _exit(steamlayer_user_data_folder(out, sizeof out) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  chmod(folder.c_str(), 0700);
}
