// FIFOs and folders are refused by every opener, never waited on; links by
// every writer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "log.h"
#include "regfile.h"
#include "wld_init.h"
#include "wld_save.h"
#include "wld_site.h"

namespace {

namespace fs = std::filesystem;

typedef void (*make_fn)(const std::string& path, const std::string& target);

struct Kind {
  const char* what;
  make_fn make;
  const char* refusal;  // regfile_reason when a file of the game's own refuses it
  // Opened by regfile_open "rb", "wb", log_open.
  bool read, write, log;
};

const Kind KINDS[] = {
    {"fifo", [](const std::string& p, const std::string&) { mkfifo(p.c_str(), 0644); },
     "not a regular file", false, false, false},
    {"folder", [](const std::string& p, const std::string&) { fs::create_directory(p); },
     "not a regular file", false, false, false},
    {"link to a file",
     [](const std::string& p, const std::string& t) {
       std::ofstream(t) << "keep";
       fs::create_symlink(t, p);
     },
     "a symbolic link", true, false, false},
    {"dangling link", [](const std::string& p, const std::string& t) { fs::create_symlink(t, p); },
     "a symbolic link", false, false, false},
};

struct FileKinds : WorldTest {
  std::string dir;
  void SetUp() override {
    fresh_sim();
    char tmpl[] = "/tmp/regfileXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    filesPath = dir.c_str();
  }
  void TearDown() override {
    alarm(0);
    WorldTest::TearDown();
    fs::remove_all(dir);
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
  // The file a link points at: as it was made, or never made.
  std::string target_text() const {
    std::stringstream s;
    s << std::ifstream(path("target")).rdbuf();
    return fs::exists(path("target")) ? s.str() : "<none>";
  }
  void make(const Kind& k, const std::string& name) {
    fs::remove_all(path(name));
    fs::remove(path("target"));
    k.make(path(name), path("target"));
    ASSERT_TRUE(fs::exists(fs::symlink_status(path(name))));
  }
};

TEST_F(FileKinds, EveryOpenerRefusesWhatItMustWithoutWaiting) {
  const struct {
    const char* what;
    bool Kind::*opens;
    FILE* (*open)(const std::string& path);
  } openers[] = {
      {"read", &Kind::read, [](const std::string& p) { return regfile_open(p.c_str(), "rb"); }},
      {"write", &Kind::write, [](const std::string& p) { return regfile_open(p.c_str(), "wb"); }},
      {"log", &Kind::log,
       [](const std::string& p) {
         return log_open(p.c_str(), (p + "-previous").c_str()) ? log_file : nullptr;
       }},
  };
  for (const Kind& k : KINDS)
    for (const auto& o : openers) {
      SCOPED_TRACE(std::string(k.what) + ", " + o.what);
      make(k, "file");
      const std::string target_before = target_text();
      alarm(20);  // a hung open ends the test program
      FILE* f = o.open(path("file"));
      alarm(0);
      EXPECT_EQ(f != nullptr, k.*o.opens);
      if (f) {
        fclose(f);
        log_file = nullptr;  // in case it was the log
        continue;
      }
      EXPECT_EQ(target_text(), target_before);
      if (o.opens != &Kind::read) {
        EXPECT_STREQ(regfile_reason(), k.refusal);
      }
      EXPECT_FALSE(fs::exists(path("file-previous")));  // nothing odd is kept as the last run's log
    }
}

// Whatever sits under the marker's name is moved aside with one line, and the
// save goes through.
TEST_F(FileKinds, OddCommitMarkerIsMovedAsideAndTheSaveGoesOn) {
  site_flat(5);
  wld_init();
  const std::string marker = path("game.savcommit"), aside = marker + ".rejected-1";
  const std::string want =
      "ERR " + marker + " is not a regular file; moved aside as " + aside + ".\n";
  for (const Kind& k : KINDS) {
    SCOPED_TRACE(k.what);
    make(k, "game.savcommit");
    fs::remove_all(aside);
    const std::string target_before = target_text();
    alarm(20);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(wld_save());
    const std::string log = testing::internal::GetCapturedStdout();
    alarm(0);
    EXPECT_EQ(log.substr(0, want.size()), want);
    EXPECT_EQ(log.find("ERR ", 1), std::string::npos) << log;
    EXPECT_EQ(target_text(), target_before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(marker)));
  }
}

}  // namespace
