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

FILE* regfile_open(const char* path, const char* mode) {
  const bool write = mode[0] == 'w';
  // O_NONBLOCK keeps a FIFO without a writer (or reader) from holding the
  // open forever; it is cleared again once the file is known to be regular.
  int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
  int fd = open(path, flags, 0644);
  if (fd < 0) return refuse(strerror(errno));
  struct stat st;
  const bool stated = fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    const char* why = stated ? "not a regular file" : strerror(errno);
    close(fd);
    return refuse(why);
  }
  // Truncated only now, so that nothing but a regular file is ever cut.
  int fl = fcntl(fd, F_GETFL);
  if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0 || (write && ftruncate(fd, 0) != 0)) {
    const char* why = strerror(errno);
    close(fd);
    return refuse(why);
  }
  FILE* f = fdopen(fd, mode);
  if (!f) {
    const char* why = strerror(errno);
    close(fd);
    return refuse(why);
  }
  return f;
}

const char* regfile_reason() { return last_reason; }

bool regfile_is_other(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && !S_ISREG(st.st_mode);
}

void regfile_sync_folder(const char* folder) {
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}
