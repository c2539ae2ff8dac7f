// The team's corpus of Lua 5.0 programs prints what the .out file beside each says,
// under both instruction loops.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lua_test_util.h"

namespace luatest {
namespace {

const std::string kCorpus = std::string(TARVELON_FIXTURES) + "/script/corpus/";

std::vector<std::string> CorpusPrograms() {
  std::vector<std::string> names;
  if (DIR* d = opendir(kCorpus.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 4 && n.substr(n.size() - 4) == ".lua") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(LuaCorpus, ProgramsPrintTheExpectedOutput) {
  std::vector<std::string> programs = CorpusPrograms();
  ASSERT_GE(programs.size(), 6u);
  for (const std::string& name : programs) {
    std::string source = ReadFile(kCorpus + name);
    std::string expected = ReadFile(kCorpus + name.substr(0, name.size() - 4) + ".out");
    for (bool reference : {false, true}) {
      SCOPED_TRACE(name + (reference ? " (reference loop)" : ""));
      RunResult r = RunChunk(source, "@" + name, reference);
      EXPECT_EQ(r.status, 0) << r.error;
      EXPECT_EQ(r.output, expected);
    }
  }
}

}  // namespace
}  // namespace luatest
