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
  // The clearing's exit to the shed, the way to grandpa's house, the lantern in the grass
  // and the well.
  static constexpr const char* ExitShed = "940 460";
  static constexpr const char* ExitHouse = "250 260";
  static constexpr const char* Lantern = "736 576";
  static constexpr const char* Well = "375 500";
  // The inventory strip's first slot and the pick-up window's button.
  static constexpr const char* Slot0 = "222 718";
  static constexpr const char* PickupOk = "512 517";
  // The shed's things on the list of the held seed, each found by a click on it: the hammer
  // first.
  static constexpr const char* ShedThings[] = {"336 196", "556 386", "456 196", "916 196", "676 386",
                                               "336 606", "676 196", "896 386", "456 386"};

  // A new player, the chapter screen skipped, grandpa's kitchen clicked through, the letter
  // clicked away: the clearing at rest, the pointer in the sky.
  std::string ToTheClearing() const {
    return NewPlayer("Mara") + "hold\n" + Click(MenuPlay) + "advance 800\n" + Click(Rest) + "advance 1500\n" +
           ThroughTheKitchen(Rest) + "advance 3000\n" + Click(Letter) + "advance 9000\nmove " + Rest + "\n";
  }
  // Saved and back in the main menu through the sidebar's pause dialog.
  static std::string SaveAndLeave() {
    return Click(SidebarMenu) + "advance 300\n" + Click(PauseMenu) + "advance 1500\n";
  }

  // The saved game's text, read from the preferences as the game reads it.
  std::string SavedGame() {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    return (*prefs).GetString("gamedata", "", 0).ToStd();
  }

  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "scenes/" + name + ".png"), ""); }
  void ExpectCleanRun(const std::string& session, const std::string& arguments = "") {
    EXPECT_EQ(Play(session, arguments), 0) << Report();
    EXPECT_EQ(Transcript().find("error"), std::string::npos) << Transcript();
    EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
  }
};
