// How the game moves from screen to screen: a scene change sets the model's current scene
// and opens its screen, at once or once the screen named "scene" has faded out; opening a
// screen runs the left scene's exit script and replaces the top modal window with the
// window that the scene kind's script builds. Also the start and the end of a game, the
// way back to the main menu, and the music.

#include <string>

#include "flow/settings.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/scene.h"
#include "persistence/jx_hiscores.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "scenes/fade_in_out_interface.h"
#include "script/script.h"
#include "sound/sound.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"

namespace {

// Which script builds the screen of a scene: the first kind in this order that the scene
// is of. A scene that is both an adventure screen and a later kind is an adventure screen.
struct TSceneScript {
  TModelType modelType;
  const char* script;
};
const TSceneScript SceneScripts[] = {
    {ModelChapterScreen, "standard/scripts/scenes/chapterscreen.lua"},
    {ModelCutscene, "standard/scripts/scenes/cutscene.lua"},
    {ModelMirroredImageGame, "standard/scripts/scenes/mirroredimagegame.lua"},
    {ModelNineMensMorrisGame, "standard/scripts/scenes/ninemensmorrisgame.lua"},
    {ModelPlacingPicturesGame, "standard/scripts/scenes/placingpicturesgame.lua"},
    {ModelSharkShooterGame, "standard/scripts/scenes/sharkshootergame.lua"},
    {ModelHiddenObjectGame, "standard/scripts/scenes/hiddenobjectgame.lua"},
    {ModelUnlockingDoorsMiniGame, "standard/scripts/scenes/unlockingdoors.lua"},
    {ModelMixPotionMiniGame, "standard/scripts/scenes/mixpotion.lua"},
    {ModelAdventureScreen, "standard/scripts/scenes/adventurescreen.lua"},
    {ModelPlacingObjectGame, "standard/scripts/scenes/adventurescreen.lua"},
    {ModelJigsawPuzzle, "standard/scripts/scenes/jigsaw.lua"},
    {ModelPlotpoint, "standard/scripts/scenes/plotpoint.lua"},
    {ModelMastermindGame, "standard/scripts/scenes/mastermind.lua"},
    {ModelMemoryGame, "standard/scripts/scenes/memory.lua"},
    {ModelRotationTilesGame, "standard/scripts/scenes/rotationTiles.lua"},
    {ModelLabyrinthGame, "standard/scripts/scenes/labyrinthgame.lua"},
};

const char* const MainMenuFlag = "isMainMenu";

bool IsMainMenu() {
  CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance();
  return globals && globals->GetGlobalBool(MainMenuFlag);
}

void SetMainMenu(bool on) {
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance())
    globals->SetGlobalBool(MainMenuFlag, on);
}

// "DoModal('file')" with the file name quoted as a Lua string.
TString DoModalChunk(const TString& file) {
  std::string chunk = "DoModal(";
  AppendLuaString(chunk, file);
  chunk += ")";
  return TString(chunk);
}

}  // namespace

TString TSettings::GetSceneScript(const CScene& scene) {
  for (const TSceneScript& entry : SceneScripts)
    if (scene.IsOfType(entry.modelType)) return entry.script;
  return TString();
}

void TSettings::GoToScene(int32_t number, bool fade) {
  TWindowManager* windows = GetWindowManager();
  if (mGameEnded) {
    mHiscores->AddScore(int(HighscoreSystem::Call(&CHighscoreSystem::GetHighscoreAsInt)), true, "");
    ResetUserGame(GetCurrentUser());
    mGameEnded = false;
    QuitToMainMenu();
    // The credits open over what is left: the main menu.
    TString credits = GetConfig("scriptCredits");
    if (windows && !credits.IsEmpty()) windows->DoLuaString(windows->GetTopModal(), DoModalChunk(credits));
    return;
  }
  CGame* game = CGame::GetInstance();
  if (!game) {
    LogPrintf("Settings: there is no game to go to scene %d in", number);
    return;
  }
  mLeftScene = game->GetCurrentScene() ? game->GetCurrentSceneNumber() : -1;
  game->SetCurrentScene(number);
  if (fade) {
    TWindow* top = windows ? windows->GetTopModal() : nullptr;
    auto* screen = WindowCast<TFadeInOutInterface>(top ? top->FindChild("scene") : nullptr);
    float speed = GetConfig("transModifierFadeOut").ToFloat();
    // Only a positive speed ever covers the screen; without it the screen opens at once.
    if (screen && speed > 0) {
      screen->SetFadeModifier(speed);
      return;
    }
    LogPrintf("Settings: no screen named \"scene\" fades out (speed %g); scene %d opens at once", double(speed),
              number);
  }
  OpenCurrentScene();
}

void TSettings::GoToNextScene(bool fade) {
  CGame* game = CGame::GetInstance();
  CScene* scene = game ? game->GetCurrentScene() : nullptr;
  if (!scene) {
    LogPrintf("Settings: there is no current scene to go on from; back to the main menu");
    QuitToMainMenu();
    return;
  }
  GoToScene(scene->GetNextScene(), fade);
}

void TSettings::OpenCurrentScene() {
  TWindowManager* windows = GetWindowManager();
  TWindow* top = windows ? windows->GetTopModal() : nullptr;
  CGame* game = CGame::GetInstance();
  CScene* scene = game ? game->GetCurrentScene() : nullptr;
  if (!scene) {
    QuitToMainMenu();
    return;
  }
  if (!IsMainMenu() && mLeftScene != -1) {
    CScene* left = game->FindScene(mLeftScene);
    TScript* script = GetModelScript();
    if (left && script && !left->GetExitScript().IsEmpty()) script->RunScript(left->GetExitScript());
  }
  SetMainMenu(false);
  if (!windows) return;
  // The exit script may have changed the scene.
  scene = game->GetCurrentScene();
  if (!scene) {
    QuitToMainMenu();
    return;
  }
  TString name = top ? top->GetName() : TString();
  std::unique_ptr<TWindow> window = CreateSceneWindow(*scene);
  // The bottom modal is the main menu, which stays for the way back.
  if (top && top->GetParent()) windows->DoPopModal(name);
  windows->PushModal(std::move(window));
}

std::unique_ptr<TWindow> TSettings::CreateSceneWindow(const CScene& scene) {
  auto window = std::make_unique<TModalWindow>();
  TString script = GetSceneScript(scene);
  TWindowManager* windows = GetWindowManager();
  if (!script.IsEmpty() && windows && !windows->DoScriptFile(window.get(), script))
    LogPrintf("Settings: the screen of scene %d (%s) could not be built", scene.GetSeqId(), script.c_str());
  return window;
}

void TSettings::StartGame(bool fade) {
  LoadScoreAndDiary();
  CGame* game = CGame::GetInstance();
  if (!game) return;
  GoToScene(game->GetCurrentScene() ? game->GetCurrentSceneNumber() : game->GetStartScene(), fade);
}

void TSettings::EndGame() {
  SaveGame();
  mGameEnded = true;
}

void TSettings::QuitToMainMenu() {
  SetMainMenu(true);
  TWindowManager* windows = GetWindowManager();
  if (!windows) return;
  while (TWindow* top = windows->GetTopModal()) {
    if (!top->GetParent()) break;
    windows->DoPopModal(top->GetIdString());
    // Each pass takes one modal off, or the stack would not shrink.
    if (windows->GetTopModal() == top) break;
  }
}

void TSettings::SetMusic(const TString& name, bool flag) {
  if (name == mMusicName) return;
  mMusicName = name;
  if (mMusic) mMusic->StopAll();
  mMusic = TSound::Get(name, flag ? 1 : 0, 1001);
  if (mMusic) mMusic->Play(true);
}
