#include "soft_display.h"

#include "graphics/renderer.h"

bool TSoftDisplay::Open(uint32_t width, uint32_t height) {
  mSavedAdapters = SoftAdapters();
  SoftAdapters() = {std::make_shared<TSoftAdapter>(TSoftAdapterConfig{})};
  SetDisplayHost(this);
  mDisplay = NewPlatformData();
  mDisplay->SetDisplay(width, height, false, false, false, false);
  if (!mDisplay->IsDisplayReady()) return false;
  TRenderer* renderer = TRenderer::GetInstance();
  renderer->PopClipRect();
  renderer->PushClipRect(TRect(0, 0, int32_t(width), int32_t(height)));
  return true;
}

void TSoftDisplay::Close() {
  TRenderer::DestroyInstance();
  mDisplay.reset();
  SetDisplayHost(nullptr);
  SoftAdapters() = mSavedAdapters;
}
