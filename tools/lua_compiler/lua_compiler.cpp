// The chunk compiler: compiles a script in the engine's Lua dialect to a precompiled chunk.
//   lua_compiler [-o output] [-s] [-p] [-n name] input.lua
//   -o  output file (default "luac.out"); "-" writes to standard output
//   -s  strip debug information (line numbers, local and upvalue names)
//   -p  parse only (check the syntax), write nothing
//   -n  chunk name recorded in the chunk (default "@" followed by the input name)
// Errors go to standard error and the exit code is 1.
#include <cstdio>
#include <cstring>
#include <string>

#include "script/lua/lauxlib.h"
#include "script/lua/lua_internal.h"

namespace {

int Usage(const char* prog) {
  fprintf(stderr, "usage: %s [-o output] [-s] [-p] [-n name] input.lua\n", prog);
  return 1;
}

int Writer(lua_State*, const void* p, size_t n, void* ud) { return fwrite(p, 1, n, static_cast<FILE*>(ud)) == n; }

bool ReadAll(const char* path, std::string* text) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
  bool ok = !ferror(f);
  fclose(f);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* output = "luac.out";
  const char* name = nullptr;
  const char* input = nullptr;
  bool strip = false, parseOnly = false;
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (strcmp(argv[i], "-n") == 0 && i + 1 < argc) {
      name = argv[++i];
    } else if (strcmp(argv[i], "-s") == 0) {
      strip = true;
    } else if (strcmp(argv[i], "-p") == 0) {
      parseOnly = true;
    } else if ((argv[i][0] == '-' && argv[i][1] != '\0') || input) {
      return Usage(argv[0]);
    } else {
      input = argv[i];
    }
  }
  if (!input) return Usage(argv[0]);
  std::string text;
  if (!ReadAll(input, &text)) {
    fprintf(stderr, "%s: cannot read %s\n", argv[0], input);
    return 1;
  }
  lua_State* L = lua_open();
  if (!L) {
    fprintf(stderr, "%s: not enough memory\n", argv[0]);
    return 1;
  }
  std::string chunkName = name ? name : std::string("@") + input;
  if (luaL_loadbuffer(L, text.data(), text.size(), chunkName.c_str()) != 0) {
    fprintf(stderr, "%s: %s\n", argv[0], lua_tostring(L, -1));
    lua_close(L);
    return 1;
  }
  int status = 0;
  if (!parseOnly) {
    FILE* out = strcmp(output, "-") == 0 ? stdout : fopen(output, "wb");
    if (!out) {
      fprintf(stderr, "%s: cannot open %s\n", argv[0], output);
      lua_close(L);
      return 1;
    }
    const tlua::Value* f = L->top - 1;
    tlua::Dump(L, static_cast<tlua::LClosure*>(tlua::ClValue(f))->p, Writer, out, strip);
    bool failed = ferror(out) != 0;
    if (out != stdout) failed = (fclose(out) != 0) || failed;
    if (failed) {
      fprintf(stderr, "%s: cannot write %s\n", argv[0], output);
      status = 1;
    }
  }
  lua_close(L);
  return status;
}
