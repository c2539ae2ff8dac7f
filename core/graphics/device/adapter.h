// The adapter of the software device: what it says about itself (identifier,
// capabilities, display modes, desktop), its video-memory budget, and the faults a
// test can make it report.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/device/device_types.h"

// Calls whose result a test can force.
enum class TDevCall {
  CreateDraw, SetCooperativeLevel, SetDisplayMode, CreateSurface, CreateDevice, Lock, Blt, BltFast, Flip,
  GetFlipStatus, GetBltStatus, BeginScene, EndScene, Clear, SetViewport, SetRenderTarget, DrawPrimitive,
  TestCooperativeLevel, RestoreAllSurfaces, RestoreSurface,
};

struct TSoftAdapterConfig {
  std::string driver = "tarvelon_soft.drv";
  std::string description = "Tarvelon Software Rasterizer";
  uint32_t driverVersionHigh = 0x00010000, driverVersionLow = 0x00000001;
  uint32_t vendorId = 0x7A57, deviceId = 0x0001, subSysId = 0, revision = 1;
  TDevGuid identifierGuid{{0x7A570001u, 0x0001u, 0x0002u, 0x0003u}};

  uint64_t totalVideoMemory = 256ull << 20;
  // Display modes the adapter offers; empty means the default list.
  std::vector<TDevDisplayMode> modes;
  TDevDisplayMode desktop{1280, 1024, 32, 60};
  int32_t desktopColors = -1;  // -1: more than 256 colours; else a palette display
  // Window frame added to a client area when testing whether a window fits the desktop.
  int32_t frameWidth = 4, frameHeight = 4, captionHeight = 20;

  uint32_t maxTextureWidth = 4096, maxTextureHeight = 4096;
  uint32_t maxTextureAspectRatio = 0;  // 0: any
  bool squareTexturesOnly = false;
  bool powerOfTwoTextures = false;  // texture sides must be powers of two
  bool hardwareRasterization = true;
  bool hardwareTransformLighting = true;
  bool gouraudRgb = true;
  bool specularGouraud = true;
  bool separateTextureMemories = false;
  bool sourceColorKeyBlt = true;
  bool antialiasing = false;
  uint32_t renderDepths = DDBD_16 | DDBD_32;  // 16-bit only: DDBD_16
  uint32_t monitorFrequency = 60;
};

// A forced failure: the next `count` calls of the kind return `result`.
struct TDevFault {
  TDevResult result = DD_OK;
  int count = 0;
};

class TSoftAdapter {
 public:
  explicit TSoftAdapter(TSoftAdapterConfig config = {});

  const TSoftAdapterConfig& Config() const { return mConfig; }
  TSoftAdapterConfig& MutableConfig() { return mConfig; }
  std::vector<TDevDisplayMode> DisplayModes() const;
  bool HasMode(uint32_t width, uint32_t height, uint32_t bpp) const;
  bool WindowFits(uint32_t clientWidth, uint32_t clientHeight) const;
  void FillIdentifier(TDevIdentifier& out) const;
  TDevDeviceDesc DeviceDesc() const;

  // Video memory: reserved by surfaces in video memory, returned on release.
  uint64_t FreeVideoMemory() const { return mFreeVideoMemory.load(); }
  bool ReserveVideoMemory(uint64_t bytes);
  void ReturnVideoMemory(uint64_t bytes);
  void SetTotalVideoMemory(uint64_t bytes);

  // Fault injection. FailNext makes the next `count` calls of a kind fail with `result`
  // (count < 0: every call until ClearFaults).
  void FailNext(TDevCall call, TDevResult result, int count = 1);
  void ClearFaults();
  // Returns the forced result of a call and counts it down; DD_OK when none is pending.
  TDevResult TakeFault(TDevCall call);
  // A render target of this bit depth is refused by SetRenderTarget (0: none).
  void RefuseRenderTargetDepth(uint32_t bits) { mRefusedTargetDepth = bits; }
  uint32_t RefusedRenderTargetDepth() const { return mRefusedTargetDepth; }
  // Flip and blit status answer DDERR_WASSTILLDRAWING this many more times.
  void SetStillDrawing(int count) { mStillDrawing = count; }
  bool TakeStillDrawing();

  // Presets for the adapters the display code must cope with.
  static TSoftAdapterConfig SixteenBitOnly();
  static TSoftAdapterConfig SmallTextures();  // 512-pixel texture limit

 private:
  TSoftAdapterConfig mConfig;
  std::atomic<uint64_t> mFreeVideoMemory;
  mutable std::mutex mFaultMutex;
  std::map<TDevCall, TDevFault> mFaults;
  uint32_t mRefusedTargetDepth = 0;
  std::atomic<int> mStillDrawing{0};
};

// The process-wide list of adapters: index 0 is the default device. The platform
// fills it from the display at start-up; tests install their own.
std::vector<std::shared_ptr<TSoftAdapter>>& SoftAdapters();
std::shared_ptr<TSoftAdapter> SoftAdapter(uint32_t index);
