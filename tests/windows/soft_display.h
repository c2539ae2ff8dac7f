#pragma once
// A display on a fresh software adapter presenting into memory, for window tests that draw
// real frames and read them back. Open sets it up (the renderer's clip is the whole window);
// Close tears it down and gives back the adapters it replaced.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/presenter.h"
#include "graphics/display/display_host.h"
#include "graphics/display/platform_data.h"

class TSoftDisplay : public IDisplayHost {
 public:
  std::shared_ptr<TPresenter> GetPresenter() override { return mPresenter; }

  // Whether the display came up.
  bool Open(uint32_t width, uint32_t height);
  void Close();
  // The last presented frame, 0xAARRGGBB.
  const std::vector<uint32_t>& Shown() const { return mPresenter->Shown(); }

 private:
  std::shared_ptr<TMemoryPresenter> mPresenter = std::make_shared<TMemoryPresenter>();
  std::vector<std::shared_ptr<TSoftAdapter>> mSavedAdapters;
  std::unique_ptr<TPlatformData> mDisplay;
};
