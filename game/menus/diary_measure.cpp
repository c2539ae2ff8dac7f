#include "menus/diary_measure.h"

#include <cmath>

#include "graphics/text/text_graphic.h"
#include "graphics/texture.h"

int32_t TDiaryMeasure::GetTextHeight(const TString& text, const TString& fontFile, int32_t fontSize, int32_t width) {
  // The box height only places the lines vertically; top alignment ignores it.
  std::unique_ptr<TTextGraphic> graphic = TTextGraphic::Create(text, width, 0, 0, fontFile, fontSize, TColor{0, 0, 0, 1});
  return graphic ? int32_t(std::ceil(graphic->GetTextHeight())) : 0;
}

bool TDiaryMeasure::GetImageSize(const TString& name, int32_t& width, int32_t& height) {
  std::shared_ptr<TTexture> texture = TTexture::Get(name, 0);
  if (!texture) return false;
  width = int32_t(texture->GetWidth());
  height = int32_t(texture->GetHeight());
  return true;
}
