#include "mini_game_test_util.h"

#include <filesystem>

#include "graphics/texture.h"
#include "minigames/mini_game_window.h"
#include "model/game.h"
#include "model/level.h"
#include "platform/settings.h"
#include "platform/test_util.h"
#include "scenes/sprite_window.h"
#include "sound/sound.h"

void TMiniGameTest::SetUp() {
  TSceneWindowTest::SetUp();
  Manager().RegisterWindowType("MiniGameWindow", &TMiniGameWindow::Create);
  // Glows as the game makes them.
  WriteAsset("fx/glow.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/glow.lua"));
  SetConfig("scriptBlurFX", "fx/glow.lua");
}

void TMiniGameTest::AddCurrentScene(std::unique_ptr<CScene> model, int32_t seqId) {
  model->SetSeqId(seqId);
  model->SetNextScene(120002);
  CGame* game = CGame::GetInstance();
  auto level = std::make_unique<CLevel>();
  level->SetSeqId(9);
  level->AddScene(std::move(model));
  game->AddLevel(std::move(level));
  game->SetCurrentScene(seqId);
}

void TMiniGameTest::GiveButtons() {
  Solid("pics/skip.png", 60, 20, 0xFF305070);
  Solid("pics/menu.png", 60, 20, 0xFF703050);
  CGame::TButtonLayout& skip = CGame::GetInstance()->MiniGameSkipButton();
  skip.graphic = "pics/skip";
  skip.posX = 250, skip.posY = 210, skip.fontSize = 12, skip.fontColorR = 255;
  CGame::TButtonLayout& menu = CGame::GetInstance()->MiniGameMenuButton();
  menu.graphic = "pics/menu";
  menu.posX = 10, menu.posY = 210, menu.fontSize = 12, menu.fontColorB = 255;
  mStrings.Set("skip", "Weiter");
  mStrings.Set("menu", "Menü");
}

bool TMiniGameTest::HasSprite(TSpriteWindow& window, const char* name) {
  int32_t index = 0;
  return window.FindSprite(name, index);
}

GeneralSprite& TMiniGameTest::Sprite(TSpriteWindow& window, const char* name) {
  int32_t index = -1;
  EXPECT_TRUE(window.FindSprite(name, index)) << name;
  return window.GetSprite(index);
}

int TMiniGameTest::WentOn() const {
  int count = 0;
  for (const std::string& call : mFlow.calls) count += call.rfind("next:", 0) == 0;
  return count;
}

void TMiniGameTest::GiveWinAndLoseSounds() {
  std::filesystem::path folder = std::filesystem::path(mRoot.Path().c_str()) / "assets/standard/audio/sfx";
  std::filesystem::create_directories(folder);
  std::filesystem::path tone = std::string(TARVELON_FIXTURES) + "/sound/tone_b.ogg";
  for (const char* name : {"negative_sound.ogg", "positive_sound.ogg"})
    std::filesystem::copy_file(tone, folder / name, std::filesystem::copy_options::overwrite_existing);
  WriteAsset("standard/audio/sfx/readme.txt", "the fixture tone");
}

size_t TMiniGameTest::Playing(TScene& scene, const char* name) {
  std::shared_ptr<TSound> sound = scene.GetSound(name);
  return sound ? sound->GetInstanceCount() : 0;
}

bool TMiniGameTest::Shows(const GeneralSprite& sprite, const char* image) {
  std::shared_ptr<TTexture> texture = TTexture::Get(image, 0);
  return texture && sprite.GetTexture() == texture;
}
