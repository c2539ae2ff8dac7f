#include "graphics/renderer.h"

#include <malloc.h>

#include <memory>

#include "graphics/display/dx_texture_data.h"
#include "graphics/display/platform_data.h"
#include "graphics/display/texture_base.h"
#include "graphics/text/font_cache.h"
#include "graphics/text/text_graphic.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/timer.h"

namespace {

std::unique_ptr<TRenderer>& Instance() {
  static std::unique_ptr<TRenderer> instance;
  return instance;
}

TPlatformData* Backend() { return GetPlatformData(); }

int64_t MemoryInUse() { return int64_t(mallinfo2().uordblks); }

}  // namespace

TRenderer::TRenderer() = default;

TRenderer::~TRenderer() {
  if (mVecDraw && GetTextRasteriser() == mVecDraw.get()) SetTextRasteriser(nullptr);
}

TRenderer* TRenderer::GetInstance() {
  std::unique_ptr<TRenderer>& instance = Instance();
  if (!instance) instance.reset(new TRenderer());
  return instance.get();
}

void TRenderer::DestroyInstance() { Instance().reset(); }

bool TRenderer::BeginDraw(bool copyFront) {
  mInDraw = Backend() && Backend()->BeginDraw(copyFront);
  return mInDraw;
}

bool TRenderer::BeginRenderTarget(const std::shared_ptr<TTextureBase>& texture, int mode) {
  if (!texture || texture->IsSimple() || mInDraw || mInRenderTarget || !Backend()) return false;
  TRect clip;
  GetClipRect(clip);
  mInRenderTarget = Backend()->BeginRenderTarget(texture, mode, clip);
  mInDraw = mInRenderTarget;
  return mInRenderTarget;
}

void TRenderer::EndRenderTarget() {
  if (Backend()) Backend()->EndRenderTarget();
  mInRenderTarget = false;
  mInDraw = false;
}

bool TRenderer::Begin2d() {
  if (mIn2d) {
    LogPrintf("Begin2d called when already in Begin2d state");
    return false;
  }
  if (mIn3d) {
    LogPrintf("Begin2d called when already in Begin3d state");
    return false;
  }
  if (!IsDrawing()) {
    LogPrintf("ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!");
    return false;
  }
  mIn2d = Backend() && Backend()->Begin2d();
  return mIn2d;
}

bool TRenderer::Begin3d() {
  if (mIn2d) {
    LogPrintf("Begin3d called when already in Begin2d state");
    return false;
  }
  if (mIn3d) {
    LogPrintf("Begin3d called when already in Begin3d state");
    return false;
  }
  if (!IsDrawing()) {
    LogPrintf("ERROR: Calling Begin3d outside of a BeginDraw or BeginRenderTarget block!");
    return false;
  }
  mIn3d = Backend() && Backend()->Begin3d();
  return mIn3d;
}

void TRenderer::End2d() {
  if (!mIn2d) {
    LogPrintf("End2d called when not in Begin2d state");
    return;
  }
  if (!IsDrawing()) LogPrintf("ERROR: Calling End2d after EndDraw or EndRenderTarget!");
  if (Backend()) {
    SetTexture(nullptr);
    Backend()->End2d();
  }
  mIn2d = false;
}

void TRenderer::End3d() {
  if (!mIn3d) {
    LogPrintf("End3d called when not in Begin3d state");
    return;
  }
  if (!IsDrawing()) LogPrintf("Calling End3d after EndDraw or EndRenderTarget!");
  if (Backend()) Backend()->End3d();
  mIn3d = false;
}

void TRenderer::EndDraw(bool present) {
  TPlatformData* backend = Backend();
  if (backend) backend->PrePresent(present);
  uint32_t now = GetTimer();
  mFrameTimes[mFrameIndex] = now;
  mFrameIndex = (mFrameIndex + 1) % 15;
  if (mFrameIndex == 0) {
    uint32_t span = now - mFrameTimes[0];
    if (span) mFps = 15000.0f / float(span);
  }
  if (mStatsOn) DrawStats();
  mInDraw = false;
  if (backend) backend->EndDraw(present);
}

TString TRenderer::FormatStats() const {
  int64_t memory = MemoryInUse();
  int sprites = GetConfig("current_sprite_count").ToInt();
  int textureMemory = GetConfig("texture_ram_allocated").ToInt();
  int maxTextureMemory = GetConfig("max_texture_ram_allocated").ToInt();
  return TString::Printf(
      "Larkspan Version %d.%d.%d.%d<br>%f FPS<tab pos='150'>Sprites: %d<br>Mem: %dkB<tab pos='150'>TexMem: "
      "%dkB<br>MaxMem: %dkB<tab pos='150'>MaxTexMem: %dkB<br>",
      4, 0, 23, 1, double(mFps), sprites, int(memory / 1024), textureMemory / 1024, int(mPeakMemory / 1024),
      maxTextureMemory / 1024);
}

void TRenderer::DrawStats() {
  mPeakMemory = std::max(mPeakMemory, MemoryInUse());
  TString text = FormatStats();
  if (!mStatsText) mStatsText = TTextGraphic::Create(TString(), 512, 512, 0, TString(), 16, TColor{1, 0, 0, 1});
  bool entered = Begin2d();
  FillRect(TRect(0, 0, 300, 64), TColor{0, 0, 0, 0});
  mStatsText->SetText(text);
  mStatsText->DrawAt(TVec2(0, 0), 512);
  if (entered) End2d();
}

void TRenderer::DrawVertices(uint32_t primitive, const TVertexList& list) {
  if (!mIn2d && !mIn3d) {
    LogPrintf("DrawVertices called when not in Begin2d or Begin3d state");
    return;
  }
  if (Backend()) Backend()->DrawVertices(primitive, list);
}

void TRenderer::DrawIndexedVertices(uint32_t primitive, const TVertexList& list, const uint16_t* indices,
                                    uint32_t indexCount) {
  if (!mIn2d && !mIn3d) {
    LogPrintf("DrawIndexedVertices called when not in Begin2d or Begin3d state");
    return;
  }
  if (Backend()) Backend()->DrawIndexedVertices(primitive, list, indices, indexCount);
}

void TRenderer::SetTexture(const std::shared_ptr<TTextureBase>& texture) {
  mTexture = texture && !texture->IsSimple() ? texture : nullptr;
  if (Backend()) Backend()->SetTexture(mTexture);
}

void TRenderer::SetBlendMode(int mode) {
  if (Backend()) Backend()->SetBlendMode(mode);
}

void TRenderer::SetCullMode(int mode) {
  if (Backend()) Backend()->SetCullMode(mode);
}

void TRenderer::FillRect(const TRect& rect, const TColor& colour, const std::shared_ptr<TTextureBase>& target) {
  if (!Backend()) return;
  TRect area = rect;
  if (!target) {
    TRect viewport;
    GetViewport(viewport);
    area = TRect(rect.left + viewport.left, rect.top + viewport.top, rect.right + viewport.left,
                 rect.bottom + viewport.top)
               .Intersect(viewport);
    if (IsDrawing()) {
      FillWithQuad(area, colour);
      return;
    }
  }
  TRect clip;
  GetClipRect(clip);
  Backend()->FillRect(area.left, area.top, area.right, area.bottom, colour, target, clip);
}

// Inside a frame the fill is a quad drawn in a 2D block, which is opened (and a 3D block
// left) for it when needed; the current texture is bound again afterwards.
void TRenderer::FillWithQuad(const TRect& rect, const TColor& colour) {
  bool left3d = Is3d(), opened2d = false;
  if (left3d) End3d();
  if (!Is2d()) opened2d = Begin2d();
  Backend()->DrawFillQuad(rect, colour);
  Backend()->SetTexture(mTexture);
  if (opened2d) End2d();
  if (left3d) Begin3d();
}

void TRenderer::GetViewport(TRect& rect) const {
  rect = TRect();
  if (Backend()) Backend()->GetViewport(rect.left, rect.top, rect.right, rect.bottom);
}

void TRenderer::PushViewport(const TRect& rect) {
  if (Backend()) Backend()->PushViewport(rect.left, rect.top, rect.right, rect.bottom);
}

void TRenderer::PopViewport() {
  if (Backend()) Backend()->PopViewport();
}

bool TRenderer::PushClipRect(const TRect& rect) {
  mClipStack.push_back(rect);
  return Backend() && Backend()->SetClipRect(rect);
}

void TRenderer::PopClipRect() {
  if (mClipStack.size() <= 1) return;
  mClipStack.pop_back();
  if (Backend()) Backend()->SetClipRect(mClipStack.back());
}

void TRenderer::GetClipRect(TRect& rect) const { rect = mClipStack.empty() ? TRect() : mClipStack.back(); }

void TRenderer::SetOption(const TString& name, const TString& value) {
  if (Backend()) Backend()->SetOption(name, value);
}

TString TRenderer::GetOption(const TString& name) const { return Backend() ? Backend()->GetOption(name) : TString(); }

bool TRenderer::CanUseAnyTextureSize() const { return !Backend() || Backend()->CanUseAnyTextureSize(); }

void TRenderer::SetTextureFilter(int mode) {
  if (Backend()) Backend()->SetFilter(mode);
}

void TRenderer::SetCaptureTexture(const std::shared_ptr<TTextureBase>& texture) {
  if (Backend()) Backend()->SetCaptureTexture(texture);
}

std::shared_ptr<TTextureBase> TRenderer::GetCaptureTexture() const {
  return Backend() ? Backend()->GetCaptureTexture() : nullptr;
}

std::shared_ptr<TTextureBase> TRenderer::MakeRenderTarget(uint32_t width, uint32_t height) {
  TPlatformData* backend = Backend();
  if (!backend) return nullptr;
  return TTextureBase::CreateRenderTarget(width, height, false, [backend] {
    return std::make_shared<TTextureBase>(backend->NewTextureData());
  });
}

bool TRenderer::CaptureFrame(const TString& fileName) {
  TPlatformData* backend = Backend();
  if (!backend || !backend->IsDisplayReady()) return false;
  const std::shared_ptr<TSoftSurface>& front = backend->GetContext().GetPrimarySurface();
  if (!front || DevFailed(front->IsLost())) return false;
  std::shared_ptr<TTextureBase> frame = MakeRenderTarget(front->Width(), front->Height());
  if (!frame) return false;
  auto* data = static_cast<TDxTextureData*>(frame->GetData());
  TDevRect all{0, 0, int32_t(front->Width()), int32_t(front->Height())};
  if (DevFailed(TSoftSurface::CopyClipped(*data->GetSurface(), 0, 0, *front, all))) return false;
  return frame->Save(fileName, 0.9f);
}

bool TRenderer::StartTextRasteriser() {
  if (mVecDraw) return false;
  mVecDraw = std::make_unique<TJxMiniVecDraw>();
  mVecDraw->SetSpanSink(&mSpanSink);
  SetTextRasteriser(mVecDraw.get());
  mVecDraw->RunSelfTest();
  return true;
}

bool TRenderer::ToggleStats() {
  bool was = mStatsOn;
  mStatsOn = !mStatsOn;
  return was;
}
