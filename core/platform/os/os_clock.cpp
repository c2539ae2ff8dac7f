#include "platform/os/os_clock.h"

#include <time.h>

#include <cerrno>

uint32_t OsMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void OsSleep(uint32_t ms) {
  timespec rest{time_t(ms / 1000), long(ms % 1000) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}
