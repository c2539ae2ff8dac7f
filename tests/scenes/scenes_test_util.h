#pragma once
// Helpers of the scene-play tests: the widget rig (window manager with its UI script on a
// 320x240 software display, an asset folder, frames read back) with a user folder, the
// sprite task list, the UI script as the model script, and small pictures painted in code.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "graphics/math/vector_math.h"
#include "windows/widget_test_util.h"

class TSprite;

class TSceneTest : public TWidgetTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A w x h picture below the asset folder, its folders made; pixel (x, y) -> 0xAARRGGBB.
  void Picture(const char* name, uint32_t width, uint32_t height,
               const std::function<uint32_t(uint32_t, uint32_t)>& pixel);
  // The same in one colour.
  void Solid(const char* name, uint32_t width, uint32_t height, uint32_t argb) {
    Picture(name, width, height, [argb](uint32_t, uint32_t) { return argb; });
  }
  // A disc of the colour filling a size x size picture, its rim blended into transparency.
  void Disc(const char* name, uint32_t size, uint32_t rgb);
  // The file below the user folder.
  TString UserFile(const char* name) const { return mRoot / ("user/" + std::string(name)).c_str(); }
  // Runs the frame tasks once (the glow effects' tasks among them).
  void RunFrameTasks() { mHost->frameTasks.RunTasks(0); }
  // The sprite's translation.
  static TVec2 Translation(const TSprite& sprite);
};
