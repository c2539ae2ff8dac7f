#include "graphics/display/display_rig.h"

#include <filesystem>

#include "graphics/device/pixel_format.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/file_map.h"
#include "platform/settings.h"
#include "platform/timer.h"

namespace {

uint32_t gNow = 100000;
uint32_t FakeNow() { return gNow; }

}  // namespace

void TDisplayRig::Advance(uint32_t milliseconds) { gNow += milliseconds; }

TDisplayRig::TDisplayRig(TSoftAdapterConfig config) : adapter(std::make_shared<TSoftAdapter>(config)) {
  mSavedAdapters = SoftAdapters();
  SoftAdapters() = {adapter};
  std::string common = log.Folder() + "/common";
  std::filesystem::create_directories(common);
  SetDataFolders(log.Folder().c_str(), common.c_str(), "");
  ClearConfig();
  SetAssetManager(&assets);
  SetDisplayHost(&host);
  gNow = 100000;
  SetTimerSource(FakeNow);
}

TDisplayRig::~TDisplayRig() {
  TRenderer::DestroyInstance();
  display.reset();
  SetDisplayHost(nullptr);
  SetAssetManager(nullptr);
  ClearConfig();
  SoftAdapters() = mSavedAdapters;
  SetTimerSource(nullptr);
}

TPlatformData& TDisplayRig::MakeDisplay() {
  display = NewPlatformData();
  return *display;
}

TPlatformData& TDisplayRig::Window(uint32_t width, uint32_t height) {
  MakeDisplay();
  display->SetDisplay(width, height, false, false, false, false);
  return *display;
}

uint32_t TDisplayRig::Shown(uint32_t x, uint32_t y) const {
  const auto& shown = host.presenter->Shown();
  size_t i = size_t(y) * host.presenter->ShownWidth() + x;
  return i < shown.size() ? shown[i] : 0xDEADBEEF;
}

uint32_t TDisplayRig::Back(uint32_t x, uint32_t y) const {
  const auto& back = display->GetBackBuffer();
  const uint8_t* p = back->Pixels() + int64_t(y) * back->Pitch() + x * BytesPerPixel(back->Format());
  return UnpackArgb(back->Format(), ReadPixel(p, BytesPerPixel(back->Format())));
}

std::vector<std::string> TDisplayRig::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& box : host.boxes) texts.push_back(box.text);
  return texts;
}

uint32_t TexturePixel(TTexture& texture, uint32_t x, uint32_t y) {
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture.Lock(pixels, pitch)) return 0xDEADBEEF;
  uint32_t p = pixels[size_t(y) * pitch + x];
  texture.Unlock();
  return p;
}

void FillBack(TPlatformData& display, uint32_t argb) {
  const auto& back = display.GetBackBuffer();
  TDevBltFx fx;
  fx.fillColor = PackArgb(back->Format(), argb);
  back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}
