#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "log.h"
#include "userdir.h"

namespace {

namespace fs = std::filesystem;

const uid_t NOBODY = 65534;

struct Child {
  int status;  // what the child returned, -1 when it did not end by itself
  std::string log;
};

// fn in a process of its own, as a second copy of the game would be, with
// its log lines caught.
Child in_child(const std::function<int()>& fn) {
  int out[2];
  EXPECT_EQ(pipe(out), 0);
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    close(out[0]);
    dup2(out[1], STDOUT_FILENO);
    const int status = fn();
    fflush(stdout);
    _exit(status);
  }
  close(out[1]);
  Child c{-1, ""};
  char buf[512];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) c.log.append(buf, n);
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  if (WIFEXITED(st)) c.status = WEXITSTATUS(st);
  return c;
}

// Root writes through any mode: the child becomes nobody, who owns the
// folder, so that mode 0500 really keeps it from writing there.
int as_reader_of(const std::string& dir) {
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
    return 99;
  return userdir_claim(dir.c_str());
}

// As root, path handed to nobody, who runs the second copies.
bool nobodys(const std::string& path) {
  return geteuid() != 0 || chown(path.c_str(), NOBODY, NOBODY) == 0;
}

struct UserDir : ::testing::Test {
  std::string root, dir;
  void SetUp() override {
    char tmpl[] = "/tmp/userdirXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    dir = root + "/tavorek";
    fs::create_directory(dir);
    // The second copies run as nobody when the tests run as root: the folder is theirs.
    chmod(root.c_str(), 0755);
    ASSERT_TRUE(nobodys(dir));
  }
  void TearDown() override {
    userdir_reset();
    chmod(dir.c_str(), 0700);
    fs::remove_all(root);
  }
  std::string lock() const { return dir + "/" USERDIR_LOCK_FILE; }
};

TEST_F(UserDir, OneCopyOwnsTheFolderOthersReadIt) {
  const std::string not_owner =
      "ERR This session cannot be saved: another copy of the game is using the user data "
      "folder.\n";
  const std::string read_only =
      "ERR This session cannot be saved: the user data folder cannot be written.\n";
  enum Before { NOTHING, OWNED, OWNED_AND_QUIT, READ_ONLY };
  const struct {
    const char* what;
    Before before;
    int want;
    std::string log;
    bool lock_made;
  } cases[] = {
      {"a free folder", NOTHING, USERDIR_WRITABLE, "", true},
      {"another copy owns it", OWNED, USERDIR_NOT_OWNER, not_owner, true},
      {"the owner has quit", OWNED_AND_QUIT, USERDIR_WRITABLE, "", true},
      {"a read-only folder", READ_ONLY, USERDIR_READ_ONLY, read_only, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(lock());
    if (c.before == OWNED || c.before == OWNED_AND_QUIT) {
      ASSERT_EQ(userdir_claim(dir.c_str()), USERDIR_WRITABLE);
      ASSERT_TRUE(nobodys(lock()));
    }
    if (c.before == OWNED_AND_QUIT) userdir_reset();
    if (c.before == READ_ONLY) {
      ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
    }
    const Child second = in_child([&] { return as_reader_of(dir); });
    if (second.status == 99) GTEST_SKIP() << "root here cannot become nobody: no read-only folder";
    EXPECT_EQ(second.status, c.want);
    EXPECT_EQ(second.log, c.log);
    EXPECT_EQ(fs::exists(lock()), c.lock_made);
    userdir_reset();
    chmod(dir.c_str(), 0700);
  }
}

}  // namespace
