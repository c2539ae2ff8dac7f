// End to end: the menus around the play on the demo game. The main menu opens the options,
// whose effects slider and sound switch are stored for the player when taken over, and the
// highscore table of the stored scores; the pause dialog reaches both too. A chapter's end
// shows the score screen, whose texts unfold one after another. The options, the table and
// the score match the golden frames of tests/golden/menus (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/flow_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "flow/demo_run.h"
#include "persistence/jx_hiscores.h"

namespace fs = std::filesystem;

namespace {

class MenuScreensEndToEnd : public TDemoRun {
 protected:
  // Below the main menu's panel; in the pause dialog above its two buttons.
  static constexpr const char* MenuOptions = "239 658";
  static constexpr const char* MenuHiscores = "421 658";
  static constexpr const char* PauseOptions = "412 389";
  static constexpr const char* PauseHiscores = "612 389";
  // The options dialog: the display and the sound switches, the effects slider's knob at the default volume
  // (800) and a point further left on its rail, and the two buttons.
  static constexpr const char* FullScreenBox = "340 282";
  static constexpr const char* MuteBox = "340 338";
  static constexpr const char* EffectsKnob = "659 406";
  static constexpr const char* EffectsLower = "560 406";
  static constexpr const char* OptionsSave = "397 548";
  static constexpr const char* OptionsCancel = "627 548";
  static constexpr const char* HiscoreClose = "512 656";

  void ExpectGolden(const std::string& name) { EXPECT_EQ(MatchGoldenFrame(name, "menus/" + name + ".png"), ""); }

  // Scores of the scored game's table, written as the game keeps them.
  void WriteScores() {
    fs::create_directories(UserFolder());
    SetGameDefaults();
    SetDataFolders(UserFolder().string(), (UserFolder() / "common").string(), "");
    {
      TJxHiscores scores(true);
      scores.SetInfoString(2, GetGameModeTableName(0));
      const std::pair<const char*, int> rows[] = {{"Adelheid", 9400}, {"Opa Hinnerk", 7250}, {"Mara", 6100},
                                                  {"Friederike-Charlotte von Nebel", 4800}, {"Jürgen", 3150}};
      for (const auto& [name, score] : rows) {
        scores.SetInfoString(1, name);
        scores.AddScore(score, true, "");
      }
    }
    SetDataFolders("", "", "");
    ClearConfig();
  }
};

}  // namespace

TEST_F(MenuScreensEndToEnd, OptionsAndHighscoresFromTheMenus) {
  WriteScores();
  std::string session = NewPlayer("Jürgen") + "hold\n" +
                        // The options: the effects a little lower, sound off, taken over.
                        Click(MenuOptions) + "advance 500\nmove 900 700\n" + Settle("options") +
                        "move " + EffectsKnob + "\ndown " + EffectsKnob + "\nmove " + EffectsLower + "\nup " +
                        EffectsLower + "\nadvance 100\n" + Click(MuteBox) + "advance 100\n" + Click(OptionsSave) +
                        "advance 500\n" +
                        // The highscores, then closed again.
                        Click(MenuHiscores) + "advance 500\nmove 900 700\n" + Settle("hiscores") +
                        Click(HiscoreClose) + "advance 500\n" +
                        // In the game, the pause dialog opens both: sound on again and the
                        // window mode there, both kept though the dialog is left without
                        // taking the volumes over.
                        Click(MenuPlay) + "advance 1500\n" + Click(SceneNext) + "advance 1500\n" +
                        ThroughTheKitchen("700 330") + "advance 600\nmove 700 330\nadvance 9000\n" + Click(SidebarMenu) + "advance 300\n" + Click(PauseHiscores) +
                        "advance 500\n" + Click(HiscoreClose) + "advance 300\n" +
                        Click(PauseOptions) + "advance 500\n" + Click(MuteBox) + "advance 100\nmove 900 700\n" +
                        Settle("pause_options") + Click(FullScreenBox) + "advance 300\nmove 900 700\n" +
                        Settle("pause_switched") +
                        Click(OptionsCancel) + "advance 300\nquit\n";
  EXPECT_EQ(Play(session), 0) << Report();
  EXPECT_EQ(Transcript().find("capture unsettled"), std::string::npos) << Transcript();
  ExpectGolden("options");
  ExpectGolden("hiscores");
  std::string log = Log();
  EXPECT_EQ(log.find("Lua error"), std::string::npos) << log;
  // The name was typed with the typing sounds, and the effects change played its sound.
  EXPECT_EQ(log.find("sfx_typing"), std::string::npos) << log;
  EXPECT_EQ(log.find("positive_sound"), std::string::npos) << log;

  TSavedPrefs prefs(UserFolder(), mRoot / "game");
  int level = (*prefs).GetInt("soundlevel", -1, 0);
  EXPECT_GT(level, 0);
  EXPECT_LT(level, 800);
  EXPECT_EQ((*prefs).GetInt("musiclevel", -1, 0), 800);
  // Switched again in the pause, which the cancel does not undo: the sound on; the display
  // from full screen (as the options showed it) to a window, which is kept for the next
  // start, or, where the screen has no room for the window, left as it is, and so is the
  // box that shows it.
  EXPECT_EQ((*prefs).GetInt("soundoff", -1, 0), 0);
  int fullScreen = (*prefs).GetInt("fullscreen", -1);
  if (fullScreen == -1) {
    EXPECT_EQ(CompareFrames("pause_switched", "pause_options"), "");
  } else {
    EXPECT_EQ(fullScreen, 0);
  }
}

// Leaving the first chapter shows the score over the next one: the texts unfold one after
// another, the chapter's bonus (1000) and the unused hints' (300) in the score.
TEST_F(MenuScreensEndToEnd, TheScoreUnfoldsAtAChaptersEnd) {
  std::string game = std::string("options=scriptGame=::") + TARVELON_FIXTURES + "/menus/chapter_end_game.lua";
  std::string session = NewPlayer("Ann") + "hold\n" + Click(MenuPlay) + "advance 1500\n" + Click(SceneNext) +
                        "move 900 700\nadvance 2700\n" + Settle("score_unfolding") + "advance 6000\n" +
                        Settle("score_shown") + "quit\n";
  EXPECT_EQ(Play(session, game), 0) << Report();
  EXPECT_EQ(Transcript().find("capture unsettled"), std::string::npos) << Transcript();
  ExpectGolden("score_unfolding");
  ExpectGolden("score_shown");
  EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();
}
