/* A module that exports CreateHandler but no DestroyHandler: the game must refuse it
   without calling CreateHandler. */
#include <stdlib.h>

#include "host/jx_module.h"

static TJxModuleHandler gHandler = {JX_MODULE_VERSION, NULL, NULL, NULL, NULL, NULL, NULL};

TJxModuleHandler* CreateHandler(void) {
  setenv("JXMOD_NODESTROY_CREATED", "1", 1);
  return &gHandler;
}
