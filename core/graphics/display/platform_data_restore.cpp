// TPlatformData: noticing a lost device, restoring or re-creating it with every live
// asset, and the once-only switch to 16-bit full screen when video memory runs out.

#include "graphics/display/display_host.h"
#include "graphics/display/dx_trace.h"
#include "graphics/display/platform_data.h"
#include "platform/asset.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "platform/xml_node.h"

namespace {

constexpr const char* Unit = "dxdisplayhandler";
constexpr uint32_t BrokenThrottle = 250;
constexpr int CooperativePasses = 5;

}  // namespace

bool TPlatformData::IsDeviceReady() {
  if (!mBroken && mDirectDraw && mDirect3D && mDevice) return true;
  if (!mBroken) SetDirectXBroken();
  return false;
}

void TPlatformData::SetDirectXBrokenThrottled() {
  uint32_t now = GetTimer();
  if (TimeDiff(now, mBrokenTime) <= int32_t(BrokenThrottle)) return;
  SetConfig("dxbroken", "1");
  mBrokenTime = now;
}

void TPlatformData::RestoreAssets() {
  if (!IsDeviceReady()) {
    LogPrintf("RestoreAssets: DX broken");
    return;
  }
  if (GetAssetManager()) GetAssetManager()->RestoreAll();
  DisplayHost().RunRestoreTasks();
  DisplayHost().InvalidateWindows();
}

void TPlatformData::Recreate(bool quiet) {
  SetDisplay(uint32_t(mDisplayRect.Width()), uint32_t(mDisplayRect.Height()), mFullScreen, true, quiet, false);
}

void TPlatformData::Restore() {
  IDisplayHost& host = DisplayHost();
  if (mInRestore) {
    SetDirectXBroken();
    host.Sleep(50);
    return;
  }
  mInRestore = true;
  struct TClearOnExit {
    bool& flag;
    ~TClearOnExit() { flag = false; }
  } clear{mInRestore};

  if (host.IsSuspended()) {
    host.Sleep(100);
    return;
  }
  // Before the first set-up there is no mode to come back to.
  if (mDisplayRect.IsEmpty()) return;
  if (GetAssetManager()) GetAssetManager()->ReleaseAll();
  if (!mDirectDraw || mReconfigureNotice) {
    LogPrintf("TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()");
    Recreate(true);
    return;
  }
  TDevResult answer = mDirectDraw->TestCooperativeLevel();
  if (DevFailed(answer)) {
    for (int pass = 1; DevFailed(answer); ++pass) {
      if (pass > CooperativePasses) return;
      if (answer == DDERR_WRONGMODE) {
        Recreate(false);
        return;
      }
      if (!host.IsGameActive()) return;
      host.Sleep(100);
      if (answer == DDERR_EXCLUSIVEMODEALREADYSET) return;
      answer = answer == DDERR_NOEXCLUSIVEMODE ? mDirectDraw->SetCooperativeLevel(DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)
                                               : mDirectDraw->TestCooperativeLevel();
    }
    if (answer != DD_OK) TraceDxError(answer, Unit, __LINE__);
    LogPrintf("Restore: Test Cooperative level failed. Calling SetDisplay");
    Recreate(false);
    return;
  }
  // A device that keeps failing within its first frames is built anew, not restored
  // again and again.
  if (mWorkingCount < 3) {
    if (!host.IsGameActive()) {
      SetDirectXBroken();
      return;
    }
    LogPrintf("TPlatformData::Restore: Working count too small (%d). Calling SetDisplay()", int(mWorkingCount));
    Recreate(false);
    return;
  }
  mWorkingCount = 0;
  mBroken = false;
  SetConfig("dxbroken", "0");
  TDevResult r = mDirectDraw->RestoreAllSurfaces();
  if (r == DDERR_WRONGMODE) {
    LogPrintf("Restore: RestoreAllSurfaces resulted in DDERR_WRONGMODE. Calling SetDisplay.");
    Recreate(false);
    return;
  }
  if (DevFailed(r)) {
    LogPrintf("RestoreAllSurfaces failed!");
    TraceDxError(r, Unit, __LINE__);
    Recreate(false);
    return;
  }
  RestoreAssets();
  mCursorImages.RestoreCursors();
  host.InvalidateWindows();
}

void TPlatformData::OnOutOfVideoMemory() {
  if (mLowMemoryVideo || !mDirect3D) return;
  LogPrintf("OutOfVideoMemory triggered!");
  mLowMemoryVideo = true;
  SetDirectXBroken();
  mReconfigureNotice = true;
  TXmlNode settings("Settings");
  settings.SetAttribute("LowMemoryVideo", "1");
  TString text = settings.Write();
  if (TFilePtr file = FileOpen("common:display.xml", FileWriteText)) {
    file->Write(text.c_str(), text.Length());
    file->Close();
  }
}

void TPlatformData::AddTextureMemory(int64_t bytes) {
  mTextureMemory += bytes;
  if (mTextureMemory < 0) mTextureMemory = 0;
  mMaxTextureMemory = std::max(mMaxTextureMemory, mTextureMemory);
  SetConfig("texture_ram_allocated", TString::Printf("%lld", static_cast<long long>(mTextureMemory)));
  SetConfig("max_texture_ram_allocated", TString::Printf("%lld", static_cast<long long>(mMaxTextureMemory)));
}
