#pragma once
// Benchmarks measure one core: the process is held to the first core it may run on, so
// `taskset -c N` picks a quiet one.
#include <sched.h>

inline void RunOnOneCore() {
  cpu_set_t allowed, one;
  CPU_ZERO(&one);
  int cpu = 0;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
    while (cpu < CPU_SETSIZE - 1 && !CPU_ISSET(cpu, &allowed)) ++cpu;
  CPU_SET(cpu, &one);
  sched_setaffinity(0, sizeof one, &one);
}
