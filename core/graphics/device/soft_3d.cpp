#include "graphics/device/soft_3d.h"

TDevResult TSoft3D::Create(std::shared_ptr<TSoftDraw> draw, std::shared_ptr<TSoft3D>& out) {
  out.reset();
  if (!draw) return DDERR_INVALIDPARAMS;
  out.reset(new TSoft3D(std::move(draw)));
  return D3D_OK;
}

TDevResult TSoft3D::EnumDevices(std::vector<TDevDeviceDesc>& out) const {
  out.assign(1, mDraw->Adapter().DeviceDesc());
  return D3D_OK;
}

TDevResult TSoft3D::EnumZBufferFormats(const TDevGuid& device, std::vector<TPixelFormat>& out) const {
  out.clear();
  if (!(device == mDraw->Adapter().DeviceDesc().deviceGuid)) return DDERR_INVALIDPARAMS;
  out = {PixelFormatZ(16), PixelFormatZ(32)};
  return D3D_OK;
}

TDevResult TSoft3D::EnumTextureFormats(std::vector<TPixelFormat>& out) const {
  out = {PixelFormatRgb565(), PixelFormatArgb4444()};
  if (mDraw->Adapter().Config().renderDepths & DDBD_32) {
    out.push_back(PixelFormatXrgb8888());
    out.push_back(PixelFormatArgb8888());
  }
  return D3D_OK;
}

TDevResult TSoft3D::CreateDevice(const TDevGuid& guid, std::shared_ptr<TSoftSurface> target,
                                 std::shared_ptr<TSoftDevice>& out) {
  out.reset();
  TSoftAdapter& adapter = mDraw->Adapter();
  TDevDeviceDesc desc = adapter.DeviceDesc();
  if (!(guid == desc.deviceGuid) || !target || !(target->Caps() & DDSCAPS_3DDEVICE)) return DDERR_INVALIDPARAMS;
  TDevResult fault = adapter.TakeFault(TDevCall::CreateDevice);
  if (fault != DD_OK) return fault;
  uint32_t bits = target->Format().bitCount;
  uint32_t depthBit = bits == 16 ? DDBD_16 : bits == 24 ? DDBD_24 : bits == 32 ? DDBD_32 : DDBD_8;
  if (!(desc.renderBitDepth & depthBit)) return DDERR_INVALIDPIXELFORMAT;
  if (DevFailed(target->IsLost())) return DDERR_SURFACELOST;
  out = std::make_shared<TSoftDevice>(mDraw->AdapterPtr(), std::move(target), desc);
  return D3D_OK;
}
