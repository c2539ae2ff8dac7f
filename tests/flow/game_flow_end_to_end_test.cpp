// End to end: the real executable on assets/, headless, driven by the test hook. The first
// start opens the main menu with the profiles dialog, where a player is made; a second one
// is made, renamed and deleted through "Spieler wechseln"; the game starts, goes on to the clearing through the exit script of
// the arrival and a fade, saves and returns to the menu; Alt+Enter switches the display; the
// close button asks before the game ends. The second start greets the same player and goes
// on in the same scene with the same global values and score. The main menu and the
// profiles dialog match the golden frames of tests/golden/game_flow (regenerate them with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/flow_end_to_end_tests
// and look at every one before committing).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "flow/game_defaults.h"
#include "graphics/device/golden_png.h"
#include "persistence/prefs_db.h"
#include "platform/file_map.h"
#include "platform/settings.h"
#include "windows/harness_run.h"

namespace fs = std::filesystem;

namespace {

struct TFrame {
  std::vector<uint32_t> argb;
  uint32_t width = 0, height = 0;
  bool Read(const fs::path& path) { return ReadGoldenPng(path.string(), argb, width, height); }
};

// Channels may differ by the rounding of another optimisation level; nothing more.
std::string Compare(const TFrame& actual, const TFrame& expected, const std::string& name) {
  if (actual.width != expected.width || actual.height != expected.height) return name + ": the sizes differ";
  int differing = 0;
  std::string first;
  for (size_t i = 0; i < actual.argb.size(); i++) {
    for (int shift = 0; shift < 32; shift += 8) {
      int a = int((actual.argb[i] >> shift) & 0xFF), e = int((expected.argb[i] >> shift) & 0xFF);
      if (std::abs(a - e) <= 2) continue;
      if (differing++ == 0)
        first = " first at (" + std::to_string(i % actual.width) + ", " + std::to_string(i / actual.width) + ")";
      break;
    }
  }
  return differing ? name + ": " + std::to_string(differing) + " pixels differ," + first : "";
}

// Points of the screens (1024x768).
const char* const NameField = "470 496";
const char* const CreateButton = "717 496";
const char* const RenameButton = "327 562";
const char* const DeleteButton = "512 562";
const char* const PlayAsChosen = "697 562";
const char* const SecondSlot = "512 260";
const char* const MenuPlay = "512 412";
const char* const ChangePlayer = "512 482";
const char* const SceneNext = "899 718";
const char* const SceneMenu = "125 718";
const char* const QuitYes = "412 441";

class GameFlowEndToEnd : public THarnessRun {
 protected:
  int Play(const std::string& session) {
    return Run("tarvelon", fs::path(TARVELON_SOURCE_DIR) / "assets", session, 600);
  }
  fs::path Frame(const std::string& name) const { return mRoot / (name + ".png"); }
  fs::path UserFolder() const { return UserFile("Tarvelon", "", "Tarvelon"); }
  std::string Log() const { return ReadFile(UserFolder() / "logfile.txt"); }
  std::string Report() const { return Output() + Transcript() + Log(); }

  // A click, with the pointer moved there first (a widget under the pointer holds it).
  static std::string Click(const char* point) { return std::string("move ") + point + "\nclick " + point + "\n"; }
  // The screen once it has stopped changing.
  std::string Settle(const std::string& name) const { return "settle " + Frame(name).string() + " 60000\n"; }

  void ExpectSame(const std::string& name, const std::string& expectedName) {
    TFrame actual, expected;
    ASSERT_TRUE(actual.Read(Frame(name))) << name;
    ASSERT_TRUE(expected.Read(Frame(expectedName))) << expectedName;
    EXPECT_EQ(Compare(actual, expected, name), "");
  }
  // Compares a frame with its golden image, or stores it as the golden image.
  void ExpectGolden(const std::string& name) {
    fs::path golden = fs::path(TARVELON_GOLDEN) / "game_flow" / (name + ".png");
    const char* update = std::getenv("TARVELON_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
      fs::create_directories(golden.parent_path());
      fs::copy_file(Frame(name), golden, fs::copy_options::overwrite_existing);
      return;
    }
    TFrame actual, expected;
    ASSERT_TRUE(actual.Read(Frame(name))) << name;
    ASSERT_TRUE(expected.Read(golden)) << golden;
    EXPECT_EQ(Compare(actual, expected, name), "");
  }
};

// The saved values, read from the game's preferences database as the game reads them: with
// its key, and in its installation, which the game names by its program folder.
class TSavedPrefs {
 public:
  TSavedPrefs(const fs::path& userFolder, const fs::path& programFolder) {
    SetGameDefaults();
    SetConfig("installkey", programFolder.string() + "/");
    SetDataFolders(userFolder.string(), (userFolder / "common").string(), "");
    mDb = std::make_unique<TPrefsDB>(false);
  }
  ~TSavedPrefs() {
    mDb.reset();
    SetDataFolders("", "", "");
    ClearConfig();
  }
  TPrefsDB& operator*() { return *mDb; }

 private:
  std::unique_ptr<TPrefsDB> mDb;
};

}  // namespace

TEST_F(GameFlowEndToEnd, PlayersAGameSavedAndGoneOnWith) {
  std::string session = Settle("first") +
                  // The profiles dialog opens by itself: the first player plays.
                  Click(NameField) + "type Jürgen\n" + Click(CreateButton) + Settle("one") + Click(PlayAsChosen) +
                  "move 900 700\n" + Settle("main_menu") +
                  // A second player, renamed, then deleted: Jürgen is chosen again.
                  Click(ChangePlayer) + Settle("dialog") + Click(NameField) + "type Anna\n" +
                  Click(CreateButton) + Settle("two") + Click(NameField) + "type Anna-Lena\n" +
                  Click(RenameButton) + "move 900 700\n" + Settle("profiles") + Click(SecondSlot) +
                  Click(DeleteButton) + Settle("deleted") + Click(PlayAsChosen) + "move 900 700\n" +
                  Settle("menu_chosen") +
                  // The arrival, then on to the clearing through the fade.
                  Click(MenuPlay) + Settle("arrival") + Click(SceneNext) + Settle("clearing") +
                  // Saved, back in the menu; the display switched; the close button asks.
                  Click(SceneMenu) + Settle("menu_again") + "key Alt+Return\n" + Settle("switched") +
                  "window close\n" + Settle("quit") + Click(QuitYes) +
                  // The game ends through the dialog, before the hook's own quit.
                  "wait 60000\nquit\n";
  EXPECT_EQ(Play(session), 0) << Report();
  std::string transcript = Transcript();
  // The hook's quit, the session's last line, never came.
  size_t lines = size_t(std::count(session.begin(), session.end(), '\n'));
  EXPECT_EQ(transcript.find("done " + std::to_string(lines) + "\n"), std::string::npos) << transcript;
  EXPECT_EQ(transcript.find("capture unsettled"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("event 3 0 0 0 0"), std::string::npos);
  ExpectGolden("profiles");
  ExpectGolden("main_menu");
  ExpectSame("menu_chosen", "main_menu");
  ExpectSame("menu_again", "main_menu");
  EXPECT_EQ(Log().find("Lua error"), std::string::npos) << Log();

  size_t switched = transcript.find("event 19 ");
  ASSERT_NE(switched, std::string::npos) << transcript;
  int fullScreen = transcript[switched + 9] - '0';
  {
    TSavedPrefs prefs(UserFolder(), mRoot / "game");
    EXPECT_EQ((*prefs).GetUserCount(), 1);
    EXPECT_EQ((*prefs).GetString("name", "", 0).ToStd(), "Jürgen");
    EXPECT_EQ((*prefs).GetInt("curuser", -1), 0);
    // After the switch the display's mode is kept for the next start.
    EXPECT_EQ((*prefs).GetInt("fullscreen", -1), fullScreen);
    std::string game = (*prefs).GetString("gamedata", "", 0).ToStd();
    EXPECT_NE(game.find("currentScene = 120001"), std::string::npos) << game;
    EXPECT_NE((*prefs).GetString("gamestate", "", 0).ToStd().find("briefGelesen"), std::string::npos);
    EXPECT_EQ((*prefs).GetInt("HighscoreCurrentUser_OtherHighscoreMadeInLevel", 0, 0), 150);
    EXPECT_EQ((*prefs).GetInt("Diary_numberOfContent", -1, 0), 0);
  }

  // The second start: the same player, and the game goes on where it was saved, with the
  // letter read and the score made (both shown by the clearing).
  EXPECT_EQ(Play(Settle("menu_second") + Click(MenuPlay) + Settle("restored") + "quit\n"), 0) << Report();
  ExpectSame("menu_second", "main_menu");
  ExpectSame("restored", "clearing");
  std::string log = Log();
  EXPECT_EQ(log.find("Created screen") != std::string::npos, fullScreen == 1) << log;
  EXPECT_EQ(log.find("Lua error"), std::string::npos) << log;
}
