#include "graphics/sprites/anim_texture.h"

#include <algorithm>

#include "platform/file.h"

TAnimatedTexture::TAnimatedTexture(const TString& fileName) { mAnim.fileName = fileName; }

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::CastFromAsset(const std::shared_ptr<TAsset>& asset) {
  if (!asset || !asset->IsKindOf(TAnimatedTexture::ClassId())) return nullptr;
  return std::static_pointer_cast<TAnimatedTexture>(asset);
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::Get(const TString& fileName, const TString& image,
                                                        const TString& mask) {
  TString key = fileName + ":" + image + ":" + mask;
  TAssetManager* assets = GetAssetManager();
  if (assets)
    if (auto cached = CastFromAsset(assets->GetAsset(key))) return cached;
  auto texture = std::make_shared<TAnimatedTexture>(fileName);
  if (assets) assets->AddAsset(key, texture);
  if (!texture->LoadDescription()) return nullptr;
  if (!image.IsEmpty()) texture->mAnim.imageName = image;
  if (!mask.IsEmpty()) texture->mAnim.maskName = mask;
  if (!texture->LoadSheet()) return nullptr;
  return texture;
}

TString TAnimatedTexture::GetDirectory(const TString& path) {
  int slash = std::max(path.Find('/', FindBackward), path.Find('\\', FindBackward));
  return slash < 0 ? TString() : path.Substr(0, slash + 1);
}

TString TAnimatedTexture::MakeDefaultScript(int32_t frameCount) {
  TString script = "function DoAnim()\n    delay(60);\n";
  if (frameCount >= 1) {
    script += "    frames{1";
    for (int32_t i = 2; i <= frameCount; ++i) script += TString::Printf(",%d", i);
    script += "};\n";
  }
  return script + "end\n";
}

bool TAnimatedTexture::LoadDescription() {
  const TString& name = mAnim.fileName;
  TString resolved;
  for (const char* extension : {"", ".xml", ".anm"}) {
    if (FileExists(name + extension)) {
      resolved = name + extension;
      break;
    }
  }
  if (resolved.IsEmpty()) return false;
  bool loaded = false;
  if (resolved.Find(".xml", FindNoCase) >= 0)
    loaded = LoadXml(resolved);
  else if (resolved.Find(".anm", FindNoCase) >= 0)
    loaded = LoadAnm(resolved);
  if (!loaded) return false;
  mAnim.folder = GetDirectory(name);
  return true;
}

bool TAnimatedTexture::LoadSheet() {
  TTextureData* data = GetData();
  if (!data) return false;
  data->mFlags = uint8_t((data->mFlags | TextureAlpha) & ~TextureAlphaFromFile);
  const TAnimationData& a = mAnim;
  TString mask = a.maskName.IsEmpty() ? TString() : a.folder + a.maskName;
  if (LoadTextureImage(*data, a.folder + a.imageName, mask)) return true;
  return LoadTextureImage(*data, a.imageName, a.maskName);
}

const TAnimationFrame* TAnimatedTexture::CurrentFrame() const {
  int32_t n = mAnim.currentFrame;
  return n >= 0 && n < mAnim.FrameCount() ? &mAnim.frames[size_t(n)] : nullptr;
}

void TAnimatedTexture::SetCurrentFrame(int32_t frame) {
  if (frame >= -1 && frame < mAnim.FrameCount()) mAnim.currentFrame = frame;
}

uint32_t TAnimatedTexture::GetWidth() const {
  const TAnimationFrame* f = CurrentFrame();
  return f ? uint32_t(f->w) : 0;
}

uint32_t TAnimatedTexture::GetHeight() const {
  const TAnimationFrame* f = CurrentFrame();
  return f ? uint32_t(f->h) : 0;
}

TVec2 TAnimatedTexture::GetFrameRegistration(int32_t frame) const {
  if (frame < 0 || frame >= mAnim.FrameCount()) return TVec2(0, 0);
  const TAnimationFrame& f = mAnim.frames[size_t(frame)];
  return TVec2(float(f.regX), float(f.regY));
}

TRect TAnimatedTexture::GetFrameRect(int32_t frame) const {
  if (frame < 0 || frame >= mAnim.FrameCount()) return TRect();
  const TAnimationFrame& f = mAnim.frames[size_t(frame)];
  return TRect(f.x, f.y, f.x + f.w, f.y + f.h);
}

void TAnimatedTexture::DrawSprite(const TSpriteDrawParams& params) {
  const TAnimationFrame* f = CurrentFrame();
  if (!f) return;
  TSpriteDrawParams p = params;
  if (!(p.flags & SpriteAnchored)) {
    p.flags |= SpriteAnchored;
    p.anchor = TVec2(float(f->regX), float(f->regY));
    if (p.flags & SpriteMirrorX) p.anchor.x = float(GetWidth()) - p.anchor.x;
    if (p.flags & SpriteMirrorY) p.anchor.y = float(GetHeight()) - p.anchor.y;
  }
  if (f->HasTransform()) {
    const float* m = f->xform;
    p.matrix = TMat3(m[0], m[1], 0, m[2], m[3], 0, m[4], m[5], 1) * p.matrix;
  }
  if (f->w != 0) {
    TRect frame(f->x, f->y, f->x + f->w, f->y + f->h);
    if (!(p.flags & SpriteSourceRect)) {
      p.flags |= SpriteSourceRect;
      p.sourceRect = frame;
    } else {
      TRect& s = p.sourceRect;
      p.sourceRect = TRect(s.left + f->x, s.top + f->y, s.right + f->x, s.bottom + f->y).Intersect(frame);
    }
  } else if (!(p.flags & SpriteSourceRect)) {
    // A frame of the whole sheet: the sheet's own size, not the frame's (which is 0).
    p.flags |= SpriteSourceRect;
    p.sourceRect = TRect(0, 0, int32_t(TTexture::GetWidth()), int32_t(TTexture::GetHeight()));
  }
  p.alpha *= f->alpha;
  TTexture::DrawSprite(p);
}
