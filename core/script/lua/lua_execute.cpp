// The virtual machine's instruction loop, built twice: threaded dispatch for speed and a
// plain switch as the reference version.
#include "script/lua/lua_internal.h"
#include "script/lua/lua_opcodes.h"
#include "script/lua/lua_vm_ops.h"

namespace tlua {

namespace {

#define VM_THREADED 0
#define EXECUTE_NAME ExecuteReference
#include "script/lua/lua_execute.inc"
#undef EXECUTE_NAME
#undef VM_THREADED

#if defined(__GNUC__)
#define VM_THREADED 1
#else
#define VM_THREADED 0
#endif
#define EXECUTE_NAME ExecuteFast
#include "script/lua/lua_execute.inc"
#undef EXECUTE_NAME
#undef VM_THREADED

}  // namespace

Value* Execute(lua_State* L) {
  return L->g->referenceVm ? ExecuteReference(L) : ExecuteFast(L);
}

}  // namespace tlua
