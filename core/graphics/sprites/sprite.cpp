#include "graphics/sprites/sprite.h"

#include <algorithm>

#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

int32_t gLiveSprites = 0;

// The one 4x4 target of every pixel hit test, made on first use and released with the
// last sprite.
std::shared_ptr<TTexture>& HitTarget() {
  static std::shared_ptr<TTexture> target;
  return target;
}

void PublishCount() { SetConfig("current_sprite_count", TString::Printf("%d", gLiveSprites)); }

constexpr int32_t Inverted = 10000000;

}  // namespace

TSpriteDrawParams ComposeDrawParams(const TSpriteDrawParams& child, const TSpriteDrawParams& parent) {
  TSpriteDrawParams result = child;
  result.matrix = child.matrix * parent.matrix;
  result.alpha = child.alpha * parent.alpha;
  result.flags = child.flags ^ (parent.flags & (SpriteMirrorX | SpriteMirrorY));
  if (result.frame == -1) result.frame = parent.frame;
  return result;
}

TSprite::TSprite(int32_t layer) : mLayer(layer) {
  ++gLiveSprites;
  PublishCount();
}

TSprite::~TSprite() {
  RemoveAllChildren();
  if (--gLiveSprites == 0) HitTarget().reset();
  PublishCount();
}

std::shared_ptr<TSprite> TSprite::Create(int32_t layer, const std::shared_ptr<TTexture>& texture) {
  auto sprite = std::make_shared<TSprite>(layer);
  if (texture) sprite->SetTexture(texture);
  return sprite;
}

int32_t TSprite::GetLiveCount() { return gLiveSprites; }

void TSprite::SetTexture(const std::shared_ptr<TTexture>& texture) { mTexture = texture; }

void TSprite::SortChildren() {
  // std::list::sort is stable: equal layers keep the order in which they were added.
  mChildren.sort([](const std::shared_ptr<TSprite>& a, const std::shared_ptr<TSprite>& b) {
    return a->mLayer < b->mLayer;
  });
}

void TSprite::SetLayer(int32_t layer) {
  if (layer == mLayer) return;
  mLayer = layer;
  if (mParent) mParent->SortChildren();
}

void TSprite::AddChild(const std::shared_ptr<TSprite>& child) {
  if (!child || child->mParent == this) return;
  // A copy: the reference may be the old parent's list entry, which goes.
  std::shared_ptr<TSprite> sprite = child;
  if (sprite->mParent) sprite->mParent->RemoveChild(sprite);
  mChildren.push_back(sprite);
  SortChildren();
  sprite->mParent = this;
}

bool TSprite::RemoveChild(const std::shared_ptr<TSprite>& child) {
  auto it = std::find(mChildren.begin(), mChildren.end(), child);
  if (!child || it == mChildren.end()) return false;
  child->mParent = nullptr;
  mChildren.erase(it);
  return true;
}

void TSprite::RemoveAllChildren() {
  for (const auto& child : mChildren) child->mParent = nullptr;
  mChildren.clear();
}

void TSprite::Draw(const TSpriteDrawParams& parent, int depth) {
  if (!mVisible) return;
  TSpriteDrawParams p = ComposeDrawParams(mDrawParams, parent);
  // A child may take itself out of the list while it draws (a finished effect does): the
  // walk steps on first and holds the child meanwhile.
  auto it = mChildren.begin();
  auto drawNext = [&]() {
    std::shared_ptr<TSprite> child = *it++;
    child->Draw(p, depth - 1);
  };
  if (depth != 0) {
    while (it != mChildren.end() && (*it)->mLayer < 0) drawNext();
  }
  if (mTexture) mTexture->DrawSprite(p);
  if (depth != 0) {
    while (it != mChildren.end()) drawNext();
  }
}

void TSprite::GetRect(TRect& rect, const TSpriteDrawParams& parent, int depth) {
  TSpriteDrawParams p = ComposeDrawParams(mDrawParams, parent);
  rect = TRect(Inverted, Inverted, -Inverted, -Inverted);
  if (mTexture) {
    // The same quad that TTexture::DrawSprite draws.
    float w = float(mTexture->GetWidth()), h = float(mTexture->GetHeight());
    if (p.flags & SpriteSourceRect) {
      w = float(p.sourceRect.Width());
      h = float(p.sourceRect.Height());
    }
    TVec2 o = (mDrawParams.flags & SpriteAnchored) ? -mDrawParams.anchor : TVec2(-w / 2, -h / 2);
    TVec2 corners[4] = {o, o + TVec2(w, 0), o + TVec2(0, h), o + TVec2(w, h)};
    float left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < 4; ++i) {
      TVec2 c = TransformPoint(corners[i], p.matrix);
      left = i == 0 ? c.x : std::min(left, c.x);
      top = i == 0 ? c.y : std::min(top, c.y);
      right = i == 0 ? c.x : std::max(right, c.x);
      bottom = i == 0 ? c.y : std::max(bottom, c.y);
    }
    rect = TRect(int32_t(left), int32_t(top), int32_t(right), int32_t(bottom));
  }
  if (depth == 0) return;
  for (const auto& child : mChildren) {
    TRect r;
    child->GetRect(r, p, depth - 1);
    rect = TRect(std::min(rect.left, r.left), std::min(rect.top, r.top), std::max(rect.right, r.right),
                 std::max(rect.bottom, r.bottom));
  }
}

bool TSprite::HitTest(const TPoint& point, int threshold, const TSpriteDrawParams& parent, int depth) {
  if (!mTexture && !IsEnabled("hittestchildren")) return false;
  if (!mVisible) return false;
  TRect r;
  GetRect(r, parent, depth);
  if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom) return false;
  if (threshold < 0) return true;
  int alpha = ProbeAlpha(point, parent, depth);
  if (alpha < 0) return false;
  if (threshold > 240 && TRenderer::GetInstance()->GetOption("16bitmode").ToInt() != 0) threshold &= ~15;
  return alpha >= threshold;
}

bool TSprite::ProbePixel(const TPoint& point, const TSpriteDrawParams& parent, int depth, float grey,
                         uint32_t& pixel) {
  std::shared_ptr<TTexture>& target = HitTarget();
  if (!target) target = TTexture::CreateRenderTarget(4, 4, true);
  TRenderer* renderer = TRenderer::GetInstance();
  if (!target || !renderer->BeginRenderTarget(target, 0)) return false;
  renderer->FillRect(TRect(1, 1, 2, 2), TColor{grey, grey, grey, 1});
  bool entered = renderer->Begin2d();
  // The point lands on pixel (1, 1).
  TSpriteDrawParams moved = parent;
  moved.matrix.m[2].x += 1.0f - float(point.x);
  moved.matrix.m[2].y += 1.0f - float(point.y);
  Draw(moved, depth);
  if (entered) renderer->End2d();
  renderer->EndRenderTarget();
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!target->Lock(pixels, pitch)) return false;
  pixel = pixels[pitch + 1];
  target->Unlock();
  return true;
}

int TSprite::ProbeAlpha(const TPoint& point, const TSpriteDrawParams& parent, int depth) {
  // The back buffer that render targets are drawn in keeps no alpha, so the alpha is read
  // from the colours: drawn over black and over white, a pixel of alpha a differs by
  // (1 - a) x 255 in every channel.
  uint32_t overBlack = 0, overWhite = 0;
  if (!ProbePixel(point, parent, depth, 0.0f, overBlack) || !ProbePixel(point, parent, depth, 1.0f, overWhite))
    return -1;
  int difference = 255;
  for (int shift : {0, 8, 16}) {
    int d = int((overWhite >> shift) & 0xFF) - int((overBlack >> shift) & 0xFF);
    difference = std::min(difference, std::max(d, 0));
  }
  return 255 - difference;
}
