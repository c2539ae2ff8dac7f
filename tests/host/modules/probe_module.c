/* A game-state module for the tests: it takes the events whose names begin with "probe.take",
   answers the query "probe.answer", counts what it sees, and reports its creation and its
   end through environment variables, which outlive the unloaded library. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/jx_module.h"

static int gEvents = 0;
static char gAnswer[64];

static int HandleEvent(TJxModuleHandler* self, const char* name, const char* value) {
  (void)self;
  (void)value;
  gEvents++;
  return strncmp(name, "probe.take", 10) == 0;
}

static const char* Query(TJxModuleHandler* self, const char* name, const char* current) {
  (void)self;
  if (strcmp(name, "probe.answer") != 0) return current;
  snprintf(gAnswer, sizeof(gAnswer), "from module after %d events", gEvents);
  return gAnswer;
}

static int Yes(TJxModuleHandler* self) {
  (void)self;
  return 1;
}

static TJxModuleHandler gHandler = {JX_MODULE_VERSION, HandleEvent, Query, NULL, Yes, NULL, NULL};

TJxModuleHandler* CreateHandler(void) {
  setenv("JXMOD_PROBE_CREATED", "1", 1);
  return &gHandler;
}

void DestroyHandler(TJxModuleHandler* handler) {
  if (handler == &gHandler) setenv("JXMOD_PROBE_DESTROYED", "1", 1);
}
