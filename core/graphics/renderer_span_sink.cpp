// The rasteriser's side of the renderer: coloured spans drawn as one-pixel line lists.

#include "graphics/display/texture_base.h"
#include "graphics/renderer.h"
#include "graphics/text/text_graphic.h"

void TRendererSpanSink::DrawSpans(const TColorSpan* spans, size_t count) {
  TRenderer* renderer = TRenderer::GetInstance();
  if (!count) return;
  // Spans are in the current viewport's coordinates; line vertices are the target's.
  TRect viewport;
  renderer->GetViewport(viewport);
  float dx = float(viewport.left), dy = float(viewport.top);
  mVertices.resize(count * 2);
  for (size_t i = 0; i < count; ++i) {
    const TColorSpan& s = spans[i];
    float y = float(s.y) + dy;
    mVertices[2 * i] = {float(s.x0) + dx, y, 0.0f, 1.0f, s.colour, 0xFF000000u, 0, 0};
    mVertices[2 * i + 1] = {float(s.x1) + dx, y, 0.0f, 1.0f, s.colour, 0xFF000000u, 0, 0};
  }
  renderer->SetTexture(nullptr);
  renderer->DrawVertices(D3DPT_LINELIST, TVertexList{3, mVertices.data(), uint32_t(mVertices.size())});
}

std::shared_ptr<IVecDrawTarget> TRendererSpanSink::CreateRenderTarget(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  std::shared_ptr<TTextureBase> texture = TRenderer::MakeRenderTarget(uint32_t(width), uint32_t(height));
  if (!texture) return nullptr;
  return std::make_shared<TTextureVecTarget>(std::move(texture));
}

bool TRendererSpanSink::BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>& target) {
  auto* texture = dynamic_cast<TTextureVecTarget*>(target.get());
  TRenderer* renderer = TRenderer::GetInstance();
  if (!texture || !renderer->BeginRenderTarget(texture->GetTexture(), 0)) return false;
  mOpened2d = renderer->Begin2d();
  // The block starts from black: an opaque fill, then ordinary blending for the spans.
  renderer->SetBlendMode(1);
  renderer->FillRect(TRect(0, 0, int32_t(texture->GetTexture()->GetWidth()), int32_t(texture->GetTexture()->GetHeight())),
                     TColor{0, 0, 0, 0});
  renderer->SetBlendMode(0);
  return true;
}

void TRendererSpanSink::EndRenderTarget() {
  TRenderer* renderer = TRenderer::GetInstance();
  if (mOpened2d) renderer->End2d();
  mOpened2d = false;
  renderer->EndRenderTarget();
}
