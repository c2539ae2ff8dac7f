#pragma once
// TTexture: the engine's image asset. A picture loaded from a PNG, JPEG or JPEG-2000 file
// (with an optional mask merged as alpha), or an empty render target; it keeps its
// pixels in texture data made by the display handler (TTextureBase) and draws as a
// transformed, tinted quad through the renderer. Always held by shared pointers; the
// asset cache knows each texture by its cache name (ending in ":tex").

#include <cstdint>
#include <memory>

#include "graphics/display/texture_base.h"
#include "graphics/math/rect.h"
#include "graphics/sprite_draw_params.h"

// Flags of TTexture::Get and GetWithMask.
constexpr uint32_t TextureGetMipMap = 1;
constexpr uint32_t TextureGetAlpha = 2;
constexpr uint32_t TextureGetNoAlpha = 4;

class TTexture : public TTextureBase {
 public:
  TARVELON_CLASS_ID()

  // An empty texture with texture data from the display handler (none without one).
  TTexture();

  const char* GetClassName() const override { return "TTexture"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TTextureBase::IsKindOf(id); }

  virtual void DrawSprite(const TSpriteDrawParams& params);
  virtual void Draw(float x, float y, float alpha, float scale, float rotation, uint32_t flags);
  // Copies pixels outside a frame to (x, y) of the target, or of the screen.
  virtual void Blit(int32_t x, int32_t y, const TRect* sourceRect, const std::shared_ptr<TTexture>& target);

  // The cached texture of a name, loaded on a miss; empty when loading fails.
  static std::shared_ptr<TTexture> Get(const TString& name, uint32_t flags = 0);
  // A simple surface (never drawn as a sprite): cursors and the system cursor image.
  static std::shared_ptr<TTexture> GetPlain(const TString& name);
  static std::shared_ptr<TTexture> GetWithMask(const TString& name, const TString& maskName, uint32_t flags = 0);
  static std::shared_ptr<TTexture> CreateRenderTarget(uint32_t width, uint32_t height, bool alpha);
  static std::shared_ptr<TTexture> CastFromAsset(const std::shared_ptr<TAsset>& asset);

 private:
  static std::shared_ptr<TTexture> Make(const TString& key, const TString& name, const TString& mask,
                                        uint8_t flags);
};
