#pragma once
// Helpers of the widget tests: the window-system test rig on a software display (so that
// textures load and frames can be read back), a clipboard the text edits can paste from,
// the text rasteriser, and small PNG images written into the test's asset folder.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/text/mini_vec_draw.h"
#include "soft_display.h"
#include "windows/message.h"
#include "windows_test_util.h"

// The fake host with a clipboard to paste from and the widget rig's screen size.
class TClipboardHost : public TFakeWindowHost {
 public:
  TString GetClipboardString() override { return TString(clipboard); }
  void GetScreenSize(uint32_t& width, uint32_t& height) override { width = 320, height = 240; }
};

class TWidgetTest : public TWindowsTest {
 protected:
  static constexpr uint32_t Width = 320, Height = 240;

  void SetUp() override;
  void TearDown() override;

  // A PNG of the given size below the asset folder; pixel (x, y) -> 0xAARRGGBB.
  void WriteImage(const char* name, uint32_t width, uint32_t height,
                  const std::function<uint32_t(uint32_t, uint32_t)>& pixel);
  void WriteSolidImage(const char* name, uint32_t width, uint32_t height, uint32_t argb) {
    WriteImage(name, width, height, [argb](uint32_t, uint32_t) { return argb; });
  }
  // Builds windows from Lua text under the current window; fails the test on an error.
  void Build(const std::string& lua);
  template <typename T>
  T* Find(const char* name) {
    return WindowCast<T>(Manager().GetTopModal()->FindChild(name));
  }
  // Mouse events in screen coordinates.
  void MouseDown(int32_t x, int32_t y) { Send(EventLeftButtonDown, x, y); }
  void MouseUp(int32_t x, int32_t y) { Send(EventLeftButtonUp, x, y); }
  void MouseMove(int32_t x, int32_t y) { Send(EventMouseMove, x, y); }
  // As a real mouse clicks: it moves there first.
  void Click(int32_t x, int32_t y) {
    MouseMove(x, y);
    MouseDown(x, y);
    MouseUp(x, y);
  }
  // A key as the platform sends it: the key down, then its character when it has one.
  void Key(int32_t key, uint32_t modifiers = 0, int32_t character = 0);
  void Type(const std::string& utf8);
  // Records the messages that reach the UI script's queue (type:name), keeping them off it.
  std::vector<std::string> ScriptMessages();
  // Draws one frame and answers the presented pixels.
  const std::vector<uint32_t>& Frame();
  uint32_t PixelAt(uint32_t x, uint32_t y) { return Frame()[size_t(y) * Width + x]; }

  TClipboardHost* mClipboard = nullptr;  // the manager's host
  TSoftDisplay mDisplay;
  TJxMiniVecDraw mDraw;
};
