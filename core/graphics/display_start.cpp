#include "graphics/display_start.h"

#include "graphics/display/platform_data.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr int CalibrationTrials = 10;
constexpr int CalibrationCell = 16;

// The calibration texture: white with two black columns in the middle, so that a
// sub-pixel error of the offset greys one of them.
std::shared_ptr<TTexture> MakeCalibrationTexture() {
  auto texture = TTexture::CreateRenderTarget(CalibrationCell, CalibrationCell, false);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture || !texture->Lock(pixels, pitch)) return nullptr;
  for (int y = 0; y < CalibrationCell; ++y)
    for (int x = 0; x < CalibrationCell; ++x) pixels[y * pitch + x] = (x == 7 || x == 8) ? 0xFF000000u : 0xFFFFFFFFu;
  texture->Unlock();
  return texture;
}

float TrialOffset(int i) { return float(i) * 0.1f - 0.5f; }

}  // namespace

void FinishDisplayStart(bool firstStart) {
  TPlatformData* display = GetPlatformData();
  TRenderer* renderer = TRenderer::GetInstance();
  if (firstStart && renderer->StartTextRasteriser() && display)
    renderer->FillRect(display->GetDisplayRect(), TColor{0, 0, 0, 0});
  if (!display) return;
  CalibratePixelOffset(*display);
  display->RestoreCursors();
}

void CalibratePixelOffset(TPlatformData& display) {
  TRenderer* renderer = TRenderer::GetInstance();
  std::shared_ptr<TTexture> test = MakeCalibrationTexture();
  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(1024, 512, false);
  if (!test || !target) return;
  renderer->FillRect(TRect(0, 0, 1024, 512), TColor{1, 1, 1, 1}, target);
  if (!renderer->BeginRenderTarget(target, 0)) return;
  if (renderer->Begin2d()) {
    for (int i = 0; i < CalibrationTrials; ++i) {
      display.SetTexelOffset(TrialOffset(i));
      TSpriteDrawParams params(TVec2(float(i * CalibrationCell), 0), 1.0f, 1.0f, SpriteAnchored);
      test->DrawSprite(params);
    }
    renderer->End2d();
  }
  renderer->EndRenderTarget();

  // Each offset set below also makes the 2D projection follow it at the next draw.
  uint32_t* pixels = nullptr;
  int pitch = 0;
  bool matched = false;
  if (target->Lock(pixels, pitch)) {
    for (int i = 0; i < CalibrationTrials && !matched; ++i) {
      display.SetTexelOffset(TrialOffset(i));
      int x = i * CalibrationCell;
      uint32_t a = pixels[size_t(CalibrationCell / 2) * pitch + x + 7] & 0xFFFFFF;
      uint32_t b = pixels[size_t(CalibrationCell / 2) * pitch + x + 8] & 0xFFFFFF;
      matched = a == 0 && b == 0;
    }
    target->Unlock();
  }
  if (!matched) {
    if (IsEnabled("verbosedebug")) LogPrintf("CalibratePixelOffset: no offset drew the test texture exactly");
    display.SetTexelOffset(-0.5f);
  }
}
