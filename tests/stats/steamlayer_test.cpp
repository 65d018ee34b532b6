#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "steamlayer.h"
#include "steamlayer_store.h"

namespace {

// Each test gets a fresh temporary tree and its own HOME / XDG_DATA_HOME.
struct SteamlayerFolder : ::testing::Test {
  std::string root;
  std::string saved_home, saved_xdg;
  bool had_home = false, had_xdg = false;

  void SetUp() override {
    char tmpl[] = "/tmp/steamlayerXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    if (const char* h = getenv("HOME")) had_home = true, saved_home = h;
    if (const char* x = getenv("XDG_DATA_HOME")) had_xdg = true, saved_xdg = x;
    ASSERT_TRUE(steamlayer_init());
  }
  void TearDown() override {
    restore("HOME", had_home, saved_home);
    restore("XDG_DATA_HOME", had_xdg, saved_xdg);
    steamlayer_shutdown();
    EXPECT_EQ(system(("rm -rf '" + root + "'").c_str()), 0);
  }
  static void restore(const char* name, bool had, const std::string& value) {
    if (had)
      setenv(name, value.c_str(), 1);
    else
      unsetenv(name);
  }
  static bool is_dir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
};

TEST_F(SteamlayerFolder, XdgDataHomeIsCreatedWithoutTrailingSlash) {
  setenv("XDG_DATA_HOME", (root + "/a/b/").c_str(), 1);
  setenv("HOME", (root + "/home").c_str(), 1);
  char out[256];
  ASSERT_TRUE(steamlayer_user_data_folder(out, sizeof out));
  EXPECT_EQ(std::string(out), root + "/a/b/tavorek");
  EXPECT_TRUE(is_dir(out));
  EXPECT_FALSE(is_dir(root + "/home"));
  // A second call finds the folder that is already there.
  ASSERT_TRUE(steamlayer_user_data_folder(out, sizeof out));
  EXPECT_EQ(std::string(out), root + "/a/b/tavorek");
}

TEST_F(SteamlayerFolder, EmptyOrRelativeXdgFallsBackToHome) {
  setenv("HOME", root.c_str(), 1);
  char out[256];
  for (const char* xdg : {"", "relative/dir"}) {
    setenv("XDG_DATA_HOME", xdg, 1);
    ASSERT_TRUE(steamlayer_user_data_folder(out, sizeof out)) << xdg;
    EXPECT_EQ(std::string(out), root + "/.local/share/tavorek");
  }
  unsetenv("XDG_DATA_HOME");
  ASSERT_TRUE(steamlayer_user_data_folder(out, sizeof out));
  EXPECT_EQ(std::string(out), root + "/.local/share/tavorek");
  EXPECT_TRUE(is_dir(out));
}

TEST_F(SteamlayerFolder, RefusedWhenFolderCannotBeMade) {
  const std::string file = root + "/plainfile";
  FILE* f = fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", file.c_str(), 1);
  char out[256] = "stale";
  EXPECT_FALSE(steamlayer_user_data_folder(out, sizeof out));
  EXPECT_STREQ(out, "");
  unsetenv("HOME");
  EXPECT_FALSE(steamlayer_user_data_folder(out, sizeof out));
}

TEST_F(SteamlayerFolder, RefusedWhenPathDoesNotFit) {
  setenv("XDG_DATA_HOME", (root + "/" + std::string(300, 'd')).c_str(), 1);
  char out[256];
  EXPECT_FALSE(steamlayer_user_data_folder(out, sizeof out));
  EXPECT_STREQ(out, "");
  setenv("XDG_DATA_HOME", root.c_str(), 1);
  char tiny[8];
  EXPECT_FALSE(steamlayer_user_data_folder(tiny, sizeof tiny));
}

// A damaged store replaces neither an earlier one nor anything under a number (a dangling link).
TEST_F(SteamlayerFolder, DamagedStoresAreKeptUnderTheirOwnNumbers) {
  setenv("XDG_DATA_HOME", root.c_str(), 1);
  const std::string store = root + "/tavorek/userstats.txt";
  ASSERT_TRUE(steamlayer_store_load());  // makes the folder
  ASSERT_EQ(symlink("/nonexistent", (store + ".damaged-2").c_str()), 0);
  const char* damaged[] = {"userstats 2\n", "tavorek userstats 1\nstat s_cats 1\nend\n"};
  for (const char* text : damaged) {
    std::ofstream(store) << text;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(steamlayer_store_load());
    testing::internal::GetCapturedStdout();
  }
  std::stringstream one, three;
  one << std::ifstream(store + ".damaged-1").rdbuf();
  three << std::ifstream(store + ".damaged-3").rdbuf();
  EXPECT_EQ(one.str(), damaged[0]);
  EXPECT_EQ(three.str(), damaged[1]);
  EXPECT_NE(access(store.c_str(), F_OK), 0);
}

}  // namespace
