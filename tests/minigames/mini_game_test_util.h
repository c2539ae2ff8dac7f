#pragma once
// Helpers of the mini-game tests: the scene rig with the mini-game window types registered,
// a mini-game model made the current scene, the buttons' pictures, and the sprites of a
// sprite window by name.

#include <memory>
#include <string>

#include "model/scene.h"
#include "scenes/general_sprite.h"
#include "../scenes/scene_window_test_util.h"

class TMiniGameWindow;
class TSpriteWindow;

class TMiniGameTest : public TSceneWindowTest {
 protected:
  void SetUp() override;

  // The model joins the game's level under seqId (its next scene 120002) and becomes the
  // current scene; answers it (owned by the game).
  template <class Model>
  Model& MakeCurrent(std::unique_ptr<Model> model, int32_t seqId = 190201) {
    Model& raw = *model;
    AddCurrentScene(std::move(model), seqId);
    return raw;
  }
  // Opens the mini-game window of that registered type and runs two frames; fails the test
  // when the window is not of the class.
  template <class Window>
  Window* OpenGame(const char* type) {
    auto* window = WindowCast<Window>(OpenScene(type));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  // The skip button (60 x 20 at 250, 210) and the menu button (60 x 20 at 10, 210) of the
  // game's model, with their pictures.
  void GiveButtons();
  // The shared "lose" and "win" sounds of the games whose models name none (the fixture
  // tone under both names).
  void GiveWinAndLoseSounds();
  // How many instances of the scene's sound of that name play.
  static size_t Playing(TScene& scene, const char* name);
  // Whether the record shows the image of that name.
  static bool Shows(const GeneralSprite& sprite, const char* image);
  // The record of that name in the window; fails the test when there is none.
  static GeneralSprite& Sprite(TSpriteWindow& window, const char* name);
  static bool HasSprite(TSpriteWindow& window, const char* name);
  // How often the window went on to the next scene ("next:" calls of the flow).
  int WentOn() const;

  static constexpr int32_t SkipX = 280, SkipY = 220, MenuX = 40, MenuY = 220;

 private:
  void AddCurrentScene(std::unique_ptr<CScene> model, int32_t seqId);
};
