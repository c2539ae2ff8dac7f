// TTextGraphic: drawing the laid-out lines through the vector rasteriser.

#include <algorithm>
#include <cmath>

#include "graphics/display/display_host.h"
#include "graphics/display/texture_base.h"
#include "graphics/text/font_cache.h"
#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/text_graphic.h"

namespace {

// Rectangles (underlines, the cursor) are paths in pixels x 128; longer ones are drawn in
// pieces that stay inside the 16-bit coordinate range.
constexpr float RectPieceWidth = 192.0f;
constexpr float RectScale = 4.0f / 128.0f;  // path units to quarter pixels
constexpr float MaxScale = 64.0f;
// Wider outlines only cost time: a text's outline width is not checked anywhere else.
constexpr float MaxOutline = 64.0f;

void PutPoint(uint8_t*& out, float x, float y) {
  for (float v : {x, y}) {
    int32_t value = int32_t(std::lround(v * 128.0f));
    value = std::max(-32768, std::min(32767, value));
    *out++ = uint8_t(value & 0xFF);
    *out++ = uint8_t((value >> 8) & 0xFF);
  }
}

// The closed path of a rectangle given relative to its top-left corner.
void MakeRectPath(uint8_t (&path)[28], float width, float height) {
  uint8_t* out = path;
  *out++ = 2;
  *out++ = 1;
  *out++ = 4;
  PutPoint(out, 0, 0);
  const float corners[4][2] = {{width, 0}, {width, height}, {0, height}, {0, 0}};
  for (const auto& corner : corners) {
    *out++ = 5;
    PutPoint(out, corner[0], corner[1]);
  }
  *out++ = 8;
}

struct TDrawContext {
  TJxMiniVecDraw* draw;
  float sx, sy;
  float alpha;
  float cosine, sine;
};

}  // namespace

void TTextGraphic::DrawAt(const TVec2& position, float availableHeight, const TTextDrawParams& params,
                          const std::shared_ptr<IVecDrawTarget>& target) const {
  TJxMiniVecDraw* draw = GetTextRasteriser();
  if (!draw || mLines.empty()) return;
  const float sx = params.scale, sy = params.scale * params.scaleY;
  // Beyond this a glyph would not fit the rasteriser's rows anyway.
  if (!(sx > 0) || !(sy > 0) || sx > MaxScale || sy > MaxScale) return;
  if (!std::isfinite(position.x) || !std::isfinite(position.y)) return;
  std::vector<TPlacedLine> placed = PlaceLines(availableHeight, sy, params.spacing);
  if (placed.empty()) return;

  draw->BeginDraw(position.x, position.y, target);
  draw->SetRotation(mRotCos, mRotSin);
  draw->SetBlend(false, false);
  auto toQuarters = [](float v) { return int(std::lround(std::max(-1e8f, std::min(1e8f, v * 4.0f)))); };

  // A filled rectangle from (left, top) in unrotated box pixels, already scaled.
  auto fillRect = [&](float left, float top, float width, float height, const TColor& colour) {
    draw->SetColour(1, colour, params.alpha);
    draw->SetStrokeWidths(0, 0);
    draw->SetItalic(false);
    draw->SetScale(RectScale, RectScale);
    uint8_t path[28];
    // Pieces meet at whole screen pixels, where neither covers the other's pixel partly.
    const float screenLeft = position.x + left;
    for (float done = 0; done < width;) {
      float end = std::min(width, std::floor(screenLeft + done) + RectPieceWidth - screenLeft);
      if (!(end > done)) break;  // far off screen, where floats lose their pixels
      MakeRectPath(path, end - done, height);
      TVec2 at = Rotate(TVec2(left + done, top), sx, sy);
      draw->DrawShapeUncached(path, toQuarters(at.x), toQuarters(at.y));
      done = end;
    }
  };

  for (const TPlacedLine& place : placed) {
    const TTextLine& line = *place.line;
    const float baseline = place.top + line.baseline * sy;
    for (const TTextRun& run : line.runs) {
      const float unit = float(run.size) / 512.0f;  // shape units to quarter pixels
      const bool bold = (run.style & TextBold) != 0;
      const float boldWidth = bold ? 0.0125f * float(run.size) * sx : 0.0f;
      const float outline = run.outlineWidth > 0 ? std::min(run.outlineWidth, MaxOutline) * sx : 0.0f;
      draw->SetColour(1, run.colour, params.alpha);
      if (outline > 0) {
        draw->SetColour(255, run.outlineColour, params.alpha);
        draw->SetColour(254, run.colour, params.alpha);
        draw->SetStrokeWidths(outline + boldWidth, boldWidth);
      } else {
        draw->SetColour(255, run.colour, params.alpha);
        draw->SetStrokeWidths(boldWidth, 0);
      }
      draw->SetItalic((run.style & TextItalic) != 0);
      for (const TTextGlyph& glyph : run.glyphs) {
        const float shrink = run.font->GetShrink(glyph.glyph);
        draw->SetScale(unit * sx * shrink, unit * sy * shrink);
        TVec2 at = Rotate(TVec2((line.x + float(glyph.x) / 4) * sx, baseline), sx, sy);
        draw->DrawShape(run.font->GetShape(glyph.glyph), toQuarters(at.x), toQuarters(at.y));
      }
      if ((run.style & TextUnderline) && run.width > 0) {
        const float left = (line.x + float(run.x) / 4) * sx;
        const float thickness = std::max(1.0f, float(run.size) * 0.06f * sy);
        fillRect(left, baseline + float(run.size) * 0.08f * sy, float(run.width) / 4 * sx, thickness, run.colour);
      }
    }
    if (line.cursor.x >= 0) {
      const float size = float(line.cursor.size);
      const float width = std::max(1.0f, size / 16.0f * sx);
      fillRect((line.x + float(line.cursor.x) / 4) * sx, baseline - size * 0.8f * sy, width, size * sy,
               line.cursor.colour);
    }
  }
  draw->SetRotation(1.0f, 0.0f);
  draw->SetItalic(false);
  draw->SetStrokeWidths(0, 0);
  draw->EndDraw();
}

void TTextGraphic::Draw(const TRect& rect, const TTextDrawParams& params,
                        const std::shared_ptr<TTextureBase>& target) const {
  TTextDrawParams scaled = params;
  std::shared_ptr<IVecDrawTarget> pixels;
  if (target) {
    pixels = std::make_shared<TTextureVecTarget>(target);
  } else {
    // The renderer's span sink moves spans by the viewport's corner itself.
    float factor = 1.0f;
    if (DisplayHost().GetViewportScale(factor)) scaled.scale *= factor;
  }
  DrawAt(TVec2(float(rect.left), float(rect.top)), float(rect.Height()), scaled, pixels);
}

bool TTextureVecTarget::Lock(uint32_t*& pixels, int& pitch, int& width, int& height) {
  if (!mTexture || !mTexture->Lock(pixels, pitch)) return false;
  width = int(mTexture->GetWidth());
  height = int(mTexture->GetHeight());
  return true;
}

void TTextureVecTarget::Unlock() {
  mTexture->Unlock();
  DisplayHost().InvalidateWindows();
}
