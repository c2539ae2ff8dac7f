#include "scenes/sprite_animation_glow.h"

#include <algorithm>
#include <map>

#include "graphics/sprites/anim_sprite.h"
#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/task_list.h"

namespace {

// The effect stands behind the sprite's picture.
constexpr int32_t EffectLayer = -1;

// Which silhouette each file holds, so that it is written once per image and colour.
struct TMaskRecord {
  std::weak_ptr<TTexture> source;
  uint32_t rgb = 0;
};
std::map<TString, TMaskRecord>& WrittenMasks() {
  static std::map<TString, TMaskRecord> masks;
  return masks;
}

uint32_t GlowColour() {
  auto channel = [](const char* key) { return uint32_t(std::clamp(GetConfig(key, "").ToInt(), 0, 255)); };
  return channel("anGlowColorRED") << 16 | channel("anGlowColorGREEN") << 8 | channel("anGlowColorBLUE");
}

}  // namespace

TSpriteAnimationGlow::TSpriteAnimationGlow(std::shared_ptr<TSprite> sprite, std::shared_ptr<TSprite> parent,
                                           TColor32 colour)
    : TSpriteAnimation(std::move(sprite), std::move(parent)), mColour(colour) {}

TSpriteAnimationGlow::~TSpriteAnimationGlow() {
  if (mEffect && mSprite) mSprite->RemoveChild(mEffect);
  TTaskList* list = GetSpriteTaskList();
  if (mTask && list) list->RemoveTask(mTask);
}

TString TSpriteAnimationGlow::MaskFileName(const TString& imageFileName) {
  int slash = imageFileName.Find('/', FindBackward);
  int dot = imageFileName.Find('.', FindBackward);
  TString base = dot > slash ? imageFileName.Substr(0, dot) : imageFileName;
  return "user:" + base + "_mask.png";
}

bool TSpriteAnimationGlow::WriteMask(const std::shared_ptr<TTexture>& texture, int32_t width, int32_t height) {
  uint32_t rgb = GlowColour();
  TMaskRecord& record = WrittenMasks()[mMaskName];
  if (record.source.lock() == texture && record.rgb == rgb && FileExists(mMaskName)) return true;

  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(uint32_t(width), uint32_t(height), true);
  if (!target) {
    LogPrintf("TSpriteAnimationGlow: no render target of %dx%d for %s", width, height, mMaskName.c_str());
    return false;
  }
  TRect source(0, 0, width, height);
  texture->Blit(0, 0, &source, target);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (target->Lock(pixels, pitch)) {
    for (int32_t y = 0; y < height; ++y) {
      uint32_t* row = pixels + size_t(y) * size_t(pitch);
      for (int32_t x = 0; x < width; ++x)
        if (row[x] & 0xFF000000u) row[x] = (row[x] & 0xFF000000u) | rgb;
    }
    target->Unlock();
  }
  if (!target->Save(mMaskName, 1.0f)) {
    LogPrintf("TSpriteAnimationGlow: cannot write %s", mMaskName.c_str());
    return false;
  }
  record.source = texture;
  record.rgb = rgb;
  return true;
}

bool TSpriteAnimationGlow::Setup(std::unique_ptr<TFxSpriteAnimTask> task) {
  std::shared_ptr<TTexture> texture = mSprite ? mSprite->GetTexture() : nullptr;
  TRect rect = SpriteRect();
  if (!texture || rect.IsEmpty()) {
    LogPrintf("TSpriteAnimationGlow: nothing to glow around");
    return false;
  }
  mMaskName = MaskFileName(texture->GetFullName());
  if (!WriteMask(texture, rect.Width(), rect.Height())) return false;

  TTaskList* list = GetSpriteTaskList();
  if (!list || !task) {
    LogPrintf("TSpriteAnimationGlow: no task to run the glow of %s", mMaskName.c_str());
    return false;
  }
  mTask = static_cast<TFxSpriteAnimTask*>(list->AddTask(std::move(task)));
  mTask->Schedule(0, true, true, false);

  mEffect = TFxSprite::Create(TString(), EffectLayer);
  mEffect->Load(GetConfig("scriptBlurFX", ""), mTask);
  mEffect->GetSystem().SetTexture(mMaskName);
  TVec2 centre = LocalImageCentre(*mSprite);
  mEffect->SetDrawParams(TSpriteDrawParams(centre, 1.0f, 1.0f, 0));
  mSprite->AddChild(mEffect);
  return true;
}
