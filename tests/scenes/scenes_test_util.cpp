#include "scenes_test_util.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/sprite.h"
#include "model/model_services.h"
#include "platform/file_map.h"
#include "scenes/sprite_animator.h"

void TSceneTest::SetUp() {
  TWidgetTest::SetUp();
  SetDataFolders(mRoot / "user", mRoot / "common", "");
  SetSpritePlatform({&mHost->frameTasks, nullptr});
  // The game's windows bind their Lua globals on the model script, which is the UI script.
  SetModelScript(&Script());
}

void TSceneTest::TearDown() {
  TSpriteAnimator::DestroyInstance();
  SetModelScript(nullptr);
  mManager.reset();
  SetSpritePlatform({});
  TWidgetTest::TearDown();
}

void TSceneTest::Picture(const char* name, uint32_t width, uint32_t height,
                         const std::function<uint32_t(uint32_t, uint32_t)>& pixel) {
  std::filesystem::create_directories((std::filesystem::path((mRoot / "assets").ToStd()) / name).parent_path());
  WriteImage(name, width, height, pixel);
}

void TSceneTest::Disc(const char* name, uint32_t size, uint32_t rgb) {
  float radius = float(size) / 2;
  Picture(name, size, size, [radius, rgb](uint32_t x, uint32_t y) {
    float dx = float(x) + 0.5f - radius, dy = float(y) + 0.5f - radius;
    float coverage = std::clamp(radius - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
    return uint32_t(coverage * 255) << 24 | rgb;
  });
}

TVec2 TSceneTest::Translation(const TSprite& sprite) {
  const TVec3& t = sprite.GetDrawParams().matrix.m[2];
  return TVec2(t.x, t.y);
}
