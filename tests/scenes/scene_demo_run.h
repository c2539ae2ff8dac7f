#pragma once
// The end-to-end runs of the demo's scenes: a session that must run clean (no hook error, no
// Lua error in the game's log) and frames compared with the golden images of
// tests/golden/scenes; the points of the clearing the runs share.

#include <gtest/gtest.h>

#include <string>

#include "flow/demo_run.h"

class TSceneDemoRun : public TDemoRun {
 protected:
  // Where the pointer rests: in the sky of the clearing, on no widget.
  static constexpr const char* Rest = "700 330";
  // Grandpa's letter on the clearing.
  static constexpr const char* Letter = "512 455";

  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "scenes/" + name + ".png"), ""); }
  void ExpectCleanRun(const std::string& session) {
    EXPECT_EQ(Play(session), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
};
