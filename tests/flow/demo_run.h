#pragma once
// End-to-end runs of the demo game on assets/: the real executable, headless, driven by a
// session script of the test hook. The points of the demo's screens (1024x768) and the
// pieces of sessions the tests share.

#include <filesystem>
#include <memory>
#include <string>

#include "flow/game_defaults.h"
#include "persistence/prefs_db.h"
#include "platform/file_map.h"
#include "platform/settings.h"
#include "windows/harness_run.h"

class TDemoRun : public THarnessRun {
 protected:
  static constexpr const char* NameField = "470 496";
  static constexpr const char* CreateButton = "717 496";
  static constexpr const char* RenameButton = "327 562";
  static constexpr const char* DeleteButton = "512 562";
  static constexpr const char* PlayAsChosen = "697 562";
  static constexpr const char* SecondSlot = "512 260";
  static constexpr const char* MenuPlay = "512 412";
  static constexpr const char* ChangePlayer = "512 482";
  static constexpr const char* SceneNext = "899 718";
  static constexpr const char* SceneMenu = "125 718";
  // The sidebar's menu button on the play screens, and the pause dialog's button that saves
  // and goes back to the main menu.
  static constexpr const char* SidebarMenu = "80 382";
  static constexpr const char* PauseMenu = "612 441";
  static constexpr const char* QuitYes = "412 441";

  // arguments: the command line, e.g. "options=demoStartScene=190201" to begin the new game
  // at another scene of the demo.
  int Play(const std::string& session, const std::string& arguments = "") {
    return Run("tarvelon", std::filesystem::path(TARVELON_SOURCE_DIR) / "assets", session, mPlayTimeoutSeconds,
               arguments);
  }
  // How long one run may take before it is stopped.
  int mPlayTimeoutSeconds = 280;
  std::filesystem::path UserFolder() const { return UserFile("Tarvelon", "", "Tarvelon"); }
  std::string Log() const { return ReadFile(UserFolder() / "logfile.txt"); }
  std::string Report() const { return Output() + Transcript() + Log(); }

  // A click, with the pointer moved there first (a widget under the pointer holds it).
  static std::string Click(const char* point) { return std::string("move ") + point + "\nclick " + point + "\n"; }
  // Grandpa's kitchen, from its first line clicked through to the last (the slam's shake
  // takes no clicks and goes on by itself); the clearing opens after it.
  static std::string ThroughTheKitchen(const char* point) {
    return Click(point) + "advance 100\n" + Click(point) + "advance 100\n" + Click(point) + Click(point) +
           Click(point) + "advance 200\n" + Click(point) + "advance 1000\n" + Click(point) + "advance 100\n" +
           Click(point) + Click(point);
  }
  // The first start: the profiles dialog opens by itself, a player of that name is made and
  // chosen, and the main menu greets it (captured as "main_menu", the pointer aside).
  std::string NewPlayer(const char* typedName) const {
    return Settle("first") + Click(NameField) + "type " + typedName + "\n" + Click(CreateButton) + Settle("one") +
           Click(PlayAsChosen) + "move 900 700\n" + Settle("main_menu");
  }
};

// The saved values, read from the game's preferences database as the game reads them: with
// its key, and in its installation, which the game names by its program folder.
class TSavedPrefs {
 public:
  TSavedPrefs(const std::filesystem::path& userFolder, const std::filesystem::path& programFolder) {
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
