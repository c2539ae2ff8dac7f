// A table-driven case: a chunk and either its printed output or its error message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lua_test_util.h"

namespace luatest {

struct Case {
  const char* name;
  const char* source;
  const char* output;  // expected print output when error is null
  const char* error;   // expected error message, or null
};

// Runs a case under both instruction loops and checks the result.
inline void CheckCase(const Case& c) {
  for (bool reference : {false, true}) {
    SCOPED_TRACE(std::string(c.name) + (reference ? " (reference loop)" : " (threaded loop)"));
    RunResult r = RunChunk(c.source, "=test", reference);
    if (c.error) {
      EXPECT_NE(r.status, 0) << "output: " << r.output;
      EXPECT_EQ(r.error, c.error);
    } else {
      EXPECT_EQ(r.status, 0) << r.error;
      EXPECT_EQ(r.output, c.output);
    }
  }
}

}  // namespace luatest
