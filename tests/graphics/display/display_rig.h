// A display handler on a software adapter that presents into memory, with a display host
// that records what the display code asks of the platform: message boxes, exits, quits,
// redraw requests. Each rig has its own log, data folders, settings and asset cache.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/presenter.h"
#include "graphics/display/display_host.h"
#include "graphics/display/platform_data.h"
#include "graphics/graphics_test_util.h"
#include "platform/asset.h"

class TTestDisplayHost : public IDisplayHost {
 public:
  struct TBox {
    std::string text, caption;
    TMessageBoxIcon icon;
    bool ownedByMain;
  };

  std::shared_ptr<TPresenter> GetPresenter() override { return presenter; }
  bool GetMousePosition(int32_t& x, int32_t& y) override {
    x = mouseX, y = mouseY;
    return true;
  }
  bool IsGameActive() override { return active; }
  bool IsSuspended() override { return suspended; }
  bool HasFocus() override { return focus; }
  bool IsEmbeddedControl() override { return embedded; }
  bool HasExternalParent() override { return externalParent; }
  bool IsExternalPlayerMode() override { return externalPlayer; }
  bool IsZylomPortal() override { return zylom; }
  float GetViewScale() override { return viewScale; }
  void SetViewScale(float scale) override { viewScale = scale; }
  bool GetViewportScale(float& factor) override {
    factor = viewportScale;
    return viewportScaleOn;
  }
  void InvalidateWindows() override { ++invalidations; }
  bool IsDrawSuspended() override { return drawSuspended; }
  bool IsCursorShown() override { return cursorShown; }
  void Sleep(uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
  void ShowMessageBox(const TString& text, const TString& caption, TMessageBoxIcon icon, bool ownedByMain) override {
    boxes.push_back({text.ToStd(), caption.ToStd(), icon, ownedByMain});
  }
  void ExitProcess(int code) override { exits.push_back(code); }
  void PostQuit() override { ++quits; }

  std::shared_ptr<TMemoryPresenter> presenter = std::make_shared<TMemoryPresenter>();
  int32_t mouseX = -1, mouseY = -1;
  bool active = true, suspended = false, focus = true, embedded = false, externalParent = false;
  bool externalPlayer = false, zylom = false, drawSuspended = false, cursorShown = true;
  float viewScale = 1.0f, viewportScale = 1.0f;
  bool viewportScaleOn = false;
  int invalidations = 0, quits = 0;
  std::vector<uint32_t> sleeps;
  std::vector<TBox> boxes;
  std::vector<int> exits;
};

class TDisplayRig {
 public:
  // A fresh default adapter with this configuration; no display handler yet.
  explicit TDisplayRig(TSoftAdapterConfig config = {});
  ~TDisplayRig();

  // Makes the display handler (reading "common:display.xml").
  TPlatformData& MakeDisplay();
  // Makes the display handler and sets up a window of this size.
  TPlatformData& Window(uint32_t width, uint32_t height);
  TPlatformData& Display() { return *display; }

  // The last presented frame (cursor included), 0xAARRGGBB.
  uint32_t Shown(uint32_t x, uint32_t y) const;
  // The back buffer's pixel as 0xAARRGGBB.
  uint32_t Back(uint32_t x, uint32_t y) const;
  // The message boxes' texts, in order.
  std::vector<std::string> BoxTexts() const;
  // The engine clock of the rig (starts at 100000 ms).
  static void Advance(uint32_t milliseconds);

  TGraphicsTestLog log;
  std::shared_ptr<TSoftAdapter> adapter;
  TTestDisplayHost host;
  TAssetManager assets;
  std::unique_ptr<TPlatformData> display;

 private:
  std::vector<std::shared_ptr<TSoftAdapter>> mSavedAdapters;
};

// Fills the back buffer with one colour (0xAARRGGBB) outside any frame.
void FillBack(TPlatformData& display, uint32_t argb);
// A pixel of a texture's image (0xDEADBEEF when it cannot be locked).
class TTexture;
uint32_t TexturePixel(TTexture& texture, uint32_t x, uint32_t y);
