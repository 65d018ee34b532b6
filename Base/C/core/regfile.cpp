#include "regfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

static const char* last_reason = "";

static FILE* refuse(const char* reason) {
  last_reason = reason;
  return nullptr;
}

// Reason taken before the close, which may change errno.
static FILE* refuse_fd(int fd, const char* reason) {
  close(fd);
  return refuse(reason);
}

static int stat_of(const char* path, struct stat* st, regfile_links links) {
  return links == REGFILE_FOLLOW ? stat(path, st) : lstat(path, st);
}

// A failed open says "No such device or address" for a FIFO without a reader
// and "Too many levels of symbolic links" for a link it may not follow: the
// kind of file found there explains it better.
static FILE* refuse_open(const char* path, regfile_links links) {
  const int err = errno;
  struct stat st;
  if (stat_of(path, &st, links) != 0 || S_ISREG(st.st_mode)) return refuse(strerror(err));
  return refuse(S_ISLNK(st.st_mode) ? "a symbolic link" : "not a regular file");
}

FILE* regfile_open(const char* path, const char* mode, regfile_links links) {
  const bool cut = mode[0] == 'w', write = cut || mode[0] == 'a';
  // O_NONBLOCK keeps a FIFO without a writer (or reader) from holding the
  // open forever; it is cleared again once the file is known to be regular.
  int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
  if (!cut && write) flags |= O_APPEND;
  if (write) links = REGFILE_NOFOLLOW;
  if (links == REGFILE_NOFOLLOW) flags |= O_NOFOLLOW;
  int fd = open(path, flags, 0644);
  if (fd < 0) return refuse_open(path, links);
  struct stat st;
  const bool stated = fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode))
    return refuse_fd(fd, stated ? "not a regular file" : strerror(errno));
  // Truncated only now, so that nothing but a regular file is ever cut.
  int fl = fcntl(fd, F_GETFL);
  if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0 || (cut && ftruncate(fd, 0) != 0))
    return refuse_fd(fd, strerror(errno));
  FILE* f = fdopen(fd, mode);
  return f ? f : refuse_fd(fd, strerror(errno));
}

const char* regfile_reason() { return last_reason; }

bool regfile_is_other(const char* path, regfile_links links) {
  struct stat st;
  return stat_of(path, &st, links) == 0 && !S_ISREG(st.st_mode);
}

bool regfile_aside_name(const char* path, const char* tag, int n, char* out, int size) {
  const int len = snprintf(out, size, "%s.%s-%d", path, tag, n);
  struct stat st;
  return len > 0 && len < size && lstat(out, &st) != 0 && errno == ENOENT;
}

bool regfile_move_aside(const char* path, const char* tag, char* out, int size) {
  for (int n = 1; n <= REGFILE_MAXASIDE; n++)
    if (regfile_aside_name(path, tag, n, out, size)) return rename(path, out) == 0;
  errno = EEXIST;
  return false;
}

void regfile_sync_folder(const char* folder) {
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

void regfile_sync_folder_of(const char* path) {
  char folder[REGFILE_PATH_SZ];
  snprintf(folder, sizeof folder, "%s", path);
  char* slash = strrchr(folder, '/');
  if (!slash || slash == folder) return;
  *slash = '\0';
  regfile_sync_folder(folder);
}
