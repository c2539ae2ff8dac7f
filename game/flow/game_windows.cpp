#include "flow/game_windows.h"

#include "menus/credits_window.h"
#include "menus/custom_text_edit.h"
#include "menus/diary_window.h"
#include "menus/hiscore_window.h"
#include "menus/main_menu_window.h"
#include "menus/options_window.h"
#include "menus/profiles_window.h"
#include "menus/rollover_window.h"
#include "menus/score_window.h"
#include "menus/ticker_window.h"
#include "minigames/jigsaw_window.h"
#include "minigames/mastermind_window.h"
#include "minigames/labyrinth_window.h"
#include "minigames/memory_window.h"
#include "minigames/mix_potion_window.h"
#include "minigames/mirrored_image_window.h"
#include "minigames/nine_mens_morris_window.h"
#include "minigames/placing_pictures_window.h"
#include "minigames/plotpoint_window.h"
#include "minigames/rotation_tiles_window.h"
#include "minigames/unlocking_doors_window.h"
#include "minigames/shark_shooter_window.h"
#include "scenes/adventure_screen_window.h"
#include "scenes/chapter_screen_window.h"
#include "scenes/cutscene_window.h"
#include "scenes/hidden_object_game_window.h"
#include "scenes/scene.h"
#include "windows/window_manager.h"

namespace {

struct TGameWindowType {
  const char* name;
  TWindowCreator creator;
};

// Every window type the game's scripts name; "TextEdit" replaces the engine's text field
// with the game's own.
const TGameWindowType GameWindowTypes[] = {
    {"SceneWindow", &TScene::Create},
    {"CutsceneWindow", &TCutsceneWindow::Create},
    {"HiddenObjectGame", &THiddenObjectGameWindow::Create},
    {"ChapterScreenWindow", &TChapterScreenWindow::Create},
    {"AdventureScreenWindow", &TAdventureScreenWindow::Create},
    {"JigsawPuzzleWindow", &TJigsawPuzzleWindow::Create},
    {"UnlockingDoors", &TUnlockingDoorsWindow::Create},
    {"MirroredImageWindow", &TMirroredImageWindow::Create},
    {"SharkShooterWindow", &TSharkShooterWindow::Create},
    {"NineMensMorrisWindow", &TNineMensMorrisWindow::Create},
    {"PlacingPicturesWindow", &TPlacingPicturesWindow::Create},
    {"MixPotion", &TMixPotionWindow::Create},
    {"TickerWindow", &TTickerWindow::Create},
    {"MainMenuWindow", &TMainMenuWindow::Create},
    {"OptionsWindow", &TOptionsWindow::Create},
    {"HiscoreWindow", &THiscoreWindow::Create},
    {"DiaryWindow", &TDiaryWindow::Create},
    {"ProfilesWindow", &TProfilesWindow::Create},
    {"CreditsWindow", &TCreditsWindow::Create},
    {"RolloverWindow", &TRolloverWindow::Create},
    {"TextEdit", &TCustomTextEdit::Create},
    {"PlotpointWindow", &TPlotpointWindow::Create},
    {"ScoreWindow", &TScoreWindow::Create},
    {"MastermindWindow", &TMastermindWindow::Create},
    {"MemoryGameWindow", &TMemoryWindow::Create},
    {"RotationTilesWindow", &TRotationTilesWindow::Create},
    {"LabyrinthWindow", &TLabyrinthWindow::Create},
};

}  // namespace

void RegisterGameWindows(TWindowManager& windows) {
  for (const TGameWindowType& type : GameWindowTypes) windows.RegisterWindowType(type.name, type.creator);
}
