#include "graphics/device/adapter.h"

#include <algorithm>
#include <cstring>

namespace {

const TDevGuid DeviceGuid{{0x7A57D3D7u, 0x5F7Au, 0x0001u, 0x0007u}};

void CopyText(char* dst, size_t size, const std::string& text) {
  std::memset(dst, 0, size);
  std::memcpy(dst, text.data(), std::min(size - 1, text.size()));
}

}  // namespace

TSoftAdapter::TSoftAdapter(TSoftAdapterConfig config)
    : mConfig(std::move(config)), mFreeVideoMemory(mConfig.totalVideoMemory) {}

std::vector<TDevDisplayMode> TSoftAdapter::DisplayModes() const {
  std::vector<TDevDisplayMode> modes = mConfig.modes;
  if (modes.empty()) {
    static const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (auto& s : sizes)
      for (uint32_t bpp : {16u, 32u}) modes.push_back({s[0], s[1], bpp, mConfig.monitorFrequency});
  }
  // An adapter that renders only at 16 bits offers no deeper modes.
  if (!(mConfig.renderDepths & DDBD_32))
    modes.erase(std::remove_if(modes.begin(), modes.end(), [](const TDevDisplayMode& m) { return m.bitsPerPixel > 16; }),
                modes.end());
  return modes;
}

bool TSoftAdapter::HasMode(uint32_t width, uint32_t height, uint32_t bpp) const {
  for (const auto& m : DisplayModes())
    if (m.width == width && m.height == height && m.bitsPerPixel == bpp) return true;
  return false;
}

bool TSoftAdapter::WindowFits(uint32_t clientWidth, uint32_t clientHeight) const {
  int64_t w = int64_t(clientWidth) + mConfig.frameWidth * 2;
  int64_t h = int64_t(clientHeight) + mConfig.frameHeight * 2 + mConfig.captionHeight;
  return w <= mConfig.desktop.width && h <= mConfig.desktop.height;
}

void TSoftAdapter::FillIdentifier(TDevIdentifier& out) const {
  out = TDevIdentifier{};
  CopyText(out.driver, sizeof out.driver, mConfig.driver);
  CopyText(out.description, sizeof out.description, mConfig.description);
  out.driverVersionHigh = mConfig.driverVersionHigh;
  out.driverVersionLow = mConfig.driverVersionLow;
  out.vendorId = mConfig.vendorId;
  out.deviceId = mConfig.deviceId;
  out.subSysId = mConfig.subSysId;
  out.revision = mConfig.revision;
  out.deviceIdentifier = mConfig.identifierGuid;
}

TDevDeviceDesc TSoftAdapter::DeviceDesc() const {
  TDevDeviceDesc d;
  if (mConfig.hardwareRasterization) d.devCaps |= D3DDEVCAPS_HWRASTERIZATION;
  if (mConfig.hardwareTransformLighting) d.devCaps |= D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  if (mConfig.separateTextureMemories) d.devCaps |= D3DDEVCAPS_SEPARATETEXTUREMEMORIES;
  uint32_t shade = (mConfig.gouraudRgb ? D3DPSHADECAPS_COLORGOURAUDRGB : 0u) |
                   (mConfig.specularGouraud ? D3DPSHADECAPS_SPECULARGOURAUDRGB : 0u);
  uint32_t texture = (mConfig.squareTexturesOnly ? D3DPTEXTURECAPS_SQUAREONLY : 0u) |
                     (mConfig.powerOfTwoTextures ? D3DPTEXTURECAPS_POW2 : 0u);
  uint32_t raster = mConfig.antialiasing ? D3DPRASTERCAPS_ANTIALIASSORTINDEPENDENT : 0u;
  d.triCaps = {shade, texture, raster};
  d.lineCaps = d.triCaps;
  d.renderBitDepth = mConfig.renderDepths;
  d.zBufferBitDepth = DDBD_16 | DDBD_32;
  d.maxTextureWidth = mConfig.maxTextureWidth;
  d.maxTextureHeight = mConfig.maxTextureHeight;
  d.maxTextureAspectRatio = mConfig.maxTextureAspectRatio;
  d.deviceGuid = DeviceGuid;
  CopyText(d.description, sizeof d.description, "Software rasterizer");
  CopyText(d.name, sizeof d.name, "Soft HAL");
  return d;
}

bool TSoftAdapter::ReserveVideoMemory(uint64_t bytes) {
  uint64_t free = mFreeVideoMemory.load();
  do {
    if (free < bytes) return false;
  } while (!mFreeVideoMemory.compare_exchange_weak(free, free - bytes));
  return true;
}

void TSoftAdapter::ReturnVideoMemory(uint64_t bytes) { mFreeVideoMemory += bytes; }

void TSoftAdapter::SetTotalVideoMemory(uint64_t bytes) {
  uint64_t used = mConfig.totalVideoMemory - std::min(mConfig.totalVideoMemory, mFreeVideoMemory.load());
  mConfig.totalVideoMemory = bytes;
  mFreeVideoMemory = bytes > used ? bytes - used : 0;
}

void TSoftAdapter::FailNext(TDevCall call, TDevResult result, int count) {
  std::lock_guard<std::mutex> lock(mFaultMutex);
  mFaults[call] = {result, count};
}

void TSoftAdapter::ClearFaults() {
  std::lock_guard<std::mutex> lock(mFaultMutex);
  mFaults.clear();
  mRefusedTargetDepth = 0;
  mStillDrawing = 0;
}

TDevResult TSoftAdapter::TakeFault(TDevCall call) {
  std::lock_guard<std::mutex> lock(mFaultMutex);
  auto it = mFaults.find(call);
  if (it == mFaults.end() || it->second.count == 0) return DD_OK;
  if (it->second.count > 0) --it->second.count;
  return it->second.result;
}

bool TSoftAdapter::TakeStillDrawing() {
  int n = mStillDrawing.load();
  while (n > 0)
    if (mStillDrawing.compare_exchange_weak(n, n - 1)) return true;
  return false;
}

TSoftAdapterConfig TSoftAdapter::SixteenBitOnly() {
  TSoftAdapterConfig c;
  c.renderDepths = DDBD_16;
  return c;
}

TSoftAdapterConfig TSoftAdapter::SmallTextures() {
  TSoftAdapterConfig c;
  c.maxTextureWidth = 512;
  c.maxTextureHeight = 512;
  return c;
}

std::vector<std::shared_ptr<TSoftAdapter>>& SoftAdapters() {
  static std::vector<std::shared_ptr<TSoftAdapter>> adapters{std::make_shared<TSoftAdapter>()};
  return adapters;
}

std::shared_ptr<TSoftAdapter> SoftAdapter(uint32_t index) {
  auto& list = SoftAdapters();
  return index < list.size() ? list[index] : nullptr;
}
