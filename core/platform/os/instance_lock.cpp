#include "platform/os/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

TInstanceLock::~TInstanceLock() { Release(); }

TInstanceLock::TResult TInstanceLock::Acquire(const std::string& path) {
  Release();
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return TResult::Failed;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? TResult::HeldElsewhere : TResult::Failed;
  }
  mFd = fd;
  return TResult::Acquired;
}

void TInstanceLock::Release() {
  if (mFd < 0) return;
  flock(mFd, LOCK_UN);
  close(mFd);
  mFd = -1;
}
