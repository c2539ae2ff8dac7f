#include "engine/window_procedure.h"

#include "engine/platform.h"
#include "engine/platform_impl.h"
#include "host/game_state.h"
#include "platform/os/message_queue.h"
#include "platform/os/os_window.h"
#include "sound/sound_manager.h"

namespace {

void TellSound(bool active) {
  if (TSoundManager* sound = GetSoundManager()) sound->SetActive(active);
}

// The pointer left the window in relative mode: it goes back to the anchor.
void PullPointerBack(TPlatformImpl& p) {
  TOsMessageQueue& queue = *p.mQueue;
  if (queue.PointerX() == p.mAnchorWindow.x && queue.PointerY() == p.mAnchorWindow.y) return;
  p.mMainWindow->WarpPointer(int32_t(float(p.mAnchorWindow.x) * p.mViewportScale),
                             int32_t(float(p.mAnchorWindow.y) * p.mViewportScale));
}

}  // namespace

void SetActive(TPlatformImpl& p, bool active, bool force) {
  if (active == p.mActive) return;
  TellSound(active);
  if (p.mDisplayHandler && p.Display().IsFullscreen() && !force) return;
  p.mActivationPending = !p.mActivationPending;
  p.mActive = active;
}

void SetAppActivated(TPlatformImpl& p, bool activated) {
  if (activated == p.mAppActivated) return;
  SetActive(p, activated, true);
  p.mAppActivated = activated;
  p.mAppActivationPending = true;
  TellSound(activated);
  p.mMinimized = !activated;
}

intptr_t MainWindowProc(TOsWindow& window, const TNativeMessage& message) {
  auto* platform = static_cast<TPlatform*>(window.GetUserData());
  if (!platform) return DefaultWindowProc(window, message);
  TPlatformImpl& p = platform->Impl();
  IDisplayHandler* display = p.mDisplayHandler.get();
  switch (message.type) {
    case TNativeMessageType::Destroy:
      TOsMessageQueue::PostQuit(0);
      return 0;
    case TNativeMessageType::Size:
      SetActive(p, message.state != SizeMinimized, true);
      break;
    case TNativeMessageType::Paint:
      p.WindowManager().Invalidate();
      p.mRedrawPending = true;
      break;
    case TNativeMessageType::Close:
      // The window stays: the game answers the close event.
      p.mClosePending = true;
      return 0;
    case TNativeMessageType::ActivateApp:
      SetAppActivated(p, message.state == 1);
      break;
    case TNativeMessageType::SetCursor:
      if (display && display->SetWindowsCursor()) return 1;
      break;
    case TNativeMessageType::MouseActivate:
      if (!p.mEmbedded) {
        p.mFocusRegained = true;
        p.mFocusRegainTime = platform->GetTimer();
      }
      break;
    case TNativeMessageType::WindowPosChanged:
      if (!(message.state & WindowHidden) && message.width != 0 && message.height != 0) {
        p.mMinimized = false;
        if (p.mHidden) {
          SetAppActivated(p, true);
          p.mHidden = false;
        }
      } else {
        p.mMinimized = true;
        SetAppActivated(p, false);
        p.mHidden = true;
      }
      break;
    case TNativeMessageType::DisplayChange:
      if (!p.mActive && display) display->UpdateDesktopMode(int32_t(message.state), message.width, message.height);
      break;
    case TNativeMessageType::MouseMove:
      if (display) {
        display->OnWindowMoved();
        display->UpdateCursor(message.x, message.y);
      }
      break;
    case TNativeMessageType::MouseLeave:
      if (p.mMouseMode == MouseRelative) {
        PullPointerBack(p);
        p.mHoverArmed = p.mLeaveArmed = false;
      } else {
        if (display) display->RefreshCursor();
        p.mHoverArmed = false;
        p.mMouseLeftPending = true;
        p.mLeaveArmed = false;
      }
      return 0;
    case TNativeMessageType::Timer:
      return 0;
    case TNativeMessageType::Host:
      if (message.hostMessage == HostMessageUser) {
        GetGameState()->PostIntEvent("windowmessage", int(message.wParam));
        return 1;
      }
      // No host window exists to hand 0x402 on to; both are answered as handled.
      if (message.hostMessage == HostMessageToParent || message.hostMessage == HostMessageIgnored) return 1;
      break;
    default:
      break;
  }
  return DefaultWindowProc(window, message);
}
