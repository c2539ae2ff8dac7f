// Helpers for the interpreter tests: run a chunk in a fresh state and capture what it
// prints and the error it raises.
#pragma once

#include <string>

#include "script/lua/lauxlib.h"
#include "script/lua/lua.h"
#include "script/lua/lualib.h"

namespace luatest {

struct RunResult {
  int status = 0;      // 0, or the load / run error code
  std::string output;  // what print wrote
  std::string error;   // the error message when status != 0
};

// Opens a state with the standard libraries and a print that writes into a string.
lua_State* OpenState(std::string* output, bool referenceVm = false);

RunResult RunChunk(const std::string& source, const std::string& chunkName = "=test", bool referenceVm = false);

// Reads a whole file; empty on failure.
std::string ReadFile(const std::string& path);

// UTF-8 text of a wide string's units (for comparing wide results).
std::string WideToUtf8(const lua_WChar* w, size_t n);

}  // namespace luatest
