#include "scenes/sprite_window.h"

#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "platform/log.h"

namespace {

// Hit tests look at a record's own picture, not at effects hung below it (a glow).
constexpr int HitDepth = 0;
constexpr int PickAlpha = 5;
constexpr int OpaqueAlpha = 255;
constexpr int ClickableNameAlpha = 1;

// A record whose sprite is not in the tree (taken off with DetachSpritesOfKind) is not drawn,
// so it is not hit either.
bool IsHittable(const std::shared_ptr<TSprite>& sprite, const TSprite& root) {
  return sprite && sprite->GetParent() == &root;
}

constexpr float DegreesToRadians = 1.0f / 360.0f * 2.0f * 3.1415927f;

}  // namespace

TSpriteWindow::TSpriteWindow() : mRoot(TSprite::Create(0)) {
  mBinding.Bind("GetCurrentTextureMask", this, &TSpriteWindow::CurrentTextureMaskForScript);
}

TSpriteWindow::~TSpriteWindow() {
  mSprites.clear();
  mRoot->RemoveAllChildren();
}

std::unique_ptr<TWindow> TSpriteWindow::Create() { return std::make_unique<TSpriteWindow>(); }

void TSpriteWindow::Draw() {
  TScoped2d block;
  mRoot->Draw(TSpriteDrawParams(TVec2(0, 0), 1.0f, 1.0f, 0), -1);
}

template <typename Fn>
void TSpriteWindow::ForEachNamed(const TString& name, Fn fn) {
  for (GeneralSprite& sprite : mSprites)
    if (sprite.GetName() == name) fn(sprite);
}

void TSpriteWindow::AddSprite(GeneralSprite sprite) {
  mRoot->AddChild(sprite.GetCurrentSprite());
  mSprites.push_back(std::move(sprite));
}

void TSpriteWindow::AttachSprite(GeneralSprite sprite) { mRoot->AddChild(sprite.GetCurrentSprite()); }

void TSpriteWindow::RemoveSprite(const TString& name) {
  for (auto it = mSprites.begin(); it != mSprites.end(); ++it) {
    if (it->GetName() != name) continue;
    mRoot->RemoveChild(it->GetCurrentSprite());
    mSprites.erase(it);
    return;
  }
}

void TSpriteWindow::DetachSpritesOfKind(int32_t kind) {
  for (const GeneralSprite& sprite : mSprites)
    if (sprite.GetKind() == kind) mRoot->RemoveChild(sprite.GetCurrentSprite());
}

GeneralSprite& TSpriteWindow::GetSprite(int32_t index) {
  if (index >= 0 && index < GetSpriteCount()) return mSprites[size_t(index)];
  LogPrintf("TSpriteWindow %s: no sprite at index %d of %d", GetName().c_str(), index, GetSpriteCount());
  mNoSprite = GeneralSprite();
  return mNoSprite;
}

bool TSpriteWindow::FindSprite(const TString& name, int32_t& index) const {
  for (int32_t i = GetSpriteCount() - 1; i >= 0; --i) {
    if (mSprites[size_t(i)].GetName() == name) {
      index = i;
      return true;
    }
  }
  return false;
}

TPoint TSpriteWindow::GetSpritePosition(const TString& name) const {
  int32_t index = -1;
  std::shared_ptr<TSprite> sprite = FindSprite(name, index) ? mSprites[size_t(index)].GetCurrentSprite() : nullptr;
  return sprite ? GetSpriteTranslation(*sprite) : TPoint(-1, -1);
}

void TSpriteWindow::SetSpritePosition(const TString& name, float x, float y) {
  ForEachNamed(name, [x, y](GeneralSprite& record) {
    if (std::shared_ptr<TSprite> sprite = record.GetCurrentSprite()) {
      TVec3& translation = sprite->GetDrawParams().matrix.m[2];
      translation.x = x;
      translation.y = y;
    }
  });
}

void TSpriteWindow::SetSpriteRotation(const TString& name, float degrees) {
  ForEachNamed(name, [degrees](GeneralSprite& record) {
    if (std::shared_ptr<TSprite> sprite = record.GetCurrentSprite()) {
      TMat3& matrix = sprite->GetDrawParams().matrix;
      matrix.Rotate(-record.GetAngle() * DegreesToRadians);
      matrix.Rotate(degrees * DegreesToRadians);
    }
    record.SetAngle(degrees);
  });
}

void TSpriteWindow::SetSpriteVisible(const TString& name, bool visible) {
  ForEachNamed(name, [visible](GeneralSprite& record) {
    if (std::shared_ptr<TSprite> sprite = record.GetCurrentSprite()) sprite->SetVisible(visible);
  });
}

void TSpriteWindow::SetSpriteTexture(const TString& name, const TString& textureName) {
  ForEachNamed(name, [&textureName](GeneralSprite& record) {
    if (std::shared_ptr<TSprite> sprite = record.GetCurrentSprite()) sprite->SetTexture(TTexture::Get(textureName, 0));
  });
}

const TSpriteDrawParams& TSpriteWindow::GetRootTransform() const { return mRoot->GetDrawParams(); }

bool TSpriteWindow::GetSpriteAtPoint(TPoint point, int32_t& index) {
  const TSpriteDrawParams& parent = GetRootTransform();
  bool found = false;
  int32_t candidate = -1;
  for (int32_t i = 0; i < GetSpriteCount(); ++i) {
    const GeneralSprite& record = mSprites[size_t(i)];
    std::shared_ptr<TSprite> sprite = record.GetCurrentSprite();
    if (!IsHittable(sprite, *mRoot) || !sprite->HitTest(point, PickAlpha, parent, HitDepth)) continue;
    if (record.IsClickable() || record.GetKind() == SpriteKindClickable) {
      found = true;
      candidate = i;
    } else if (sprite->HitTest(point, OpaqueAlpha, parent, HitDepth)) {
      found = false;
    }
  }
  if (found) index = candidate;
  return found;
}

TString TSpriteWindow::GetClickableNameAtPoint(TPoint point) {
  const TSpriteDrawParams& parent = GetRootTransform();
  for (const GeneralSprite& record : mSprites) {
    std::shared_ptr<TSprite> sprite = record.GetCurrentSprite();
    if (record.IsClickable() && IsHittable(sprite, *mRoot) && sprite->HitTest(point, ClickableNameAlpha, parent, HitDepth))
      return record.GetName();
  }
  return TString();
}
