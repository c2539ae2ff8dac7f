/* The plain C interface of a game-state module: a shared object whose file name contains
   ".jxmod", lying at the top of the asset folder. At start-up the game opens it, calls
   CreateHandler once, and from then on offers the handler every game-state event and
   question after the portal handlers, in the order the modules were found. At teardown it
   hands the handler back to DestroyHandler and closes the library.

   The handler table lists the operations in the game-state handler's order. A null entry
   answers as a handler with nothing to say: events are not taken, a Query keeps the
   current answer, and the questions answer no. A string that Query returns must stay valid
   until the module's next call. Everything runs on the game's main thread. */
#ifndef TARVELON_JX_MODULE_H
#define TARVELON_JX_MODULE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define JX_MODULE_VERSION 1

typedef struct TJxModuleHandler TJxModuleHandler;

struct TJxModuleHandler {
  uint32_t version; /* JX_MODULE_VERSION: a table of another version is refused */
  /* Non-zero takes the event: the handlers after this one do not see it. */
  int (*HandleEvent)(TJxModuleHandler* self, const char* name, const char* value);
  const char* (*Query)(TJxModuleHandler* self, const char* name, const char* current);
  int (*QueryRestartMode)(TJxModuleHandler* self);
  int (*QueryJumpToMenu)(TJxModuleHandler* self);
  int (*QueryMuteGame)(TJxModuleHandler* self);
  int (*QueryWaitForQuit)(TJxModuleHandler* self);
};

/* The exports, looked up by name. CreateHandler answers null to refuse. */
typedef TJxModuleHandler* (*TJxCreateHandler)(void);
typedef void (*TJxDestroyHandler)(TJxModuleHandler* handler);

#ifdef __cplusplus
}
#endif

#endif
