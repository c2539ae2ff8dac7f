// TPlatform::ProcessEvents: one step of the engine's event loop. The first rule that
// applies fills the event and ends the step.

#include "engine/engine_keys.h"
#include "engine/frame_probe.h"
#include "engine/platform.h"
#include "engine/platform_impl.h"
#include "engine/window_procedure.h"
#include "host/game_state.h"
#include "host/portal.h"
#include "platform/os/message_queue.h"
#include "platform/os/os_window.h"
#include "platform/os/virtual_keys.h"
#include "platform/timer.h"
#include "sound/sound_manager.h"

namespace {

// Process-wide and set once: the first step tells the host that the game has loaded.
bool gFirstStepDone = false;

constexpr uint32_t HoverTimeMs = 400;        // the system's default hover time
constexpr uint32_t FocusClickFilterMs = 400;  // clicks this soon after an activating click are dropped
constexpr uint32_t IdleWaitMs = 1;

TPoint EnginePoint(TPlatformImpl& p, int32_t x, int32_t y) {
  return p.mDisplayHandler ? p.Display().WindowToEngine(TPoint(x, y)) : TPoint(x, y);
}

uint32_t MouseModifiers(const TNativeMessage& m) { return m.modifiers & (ModifierShift | ModifierControl); }

// A full-screen display keeps its window in front while the game is active.
void KeepWindowInFront(TPlatformImpl& p, const TPlatform& platform) {
  if (p.mMainWindow->IsMinimized()) {
    platform.Sleep(50);
    return;
  }
  if (!p.mQueue->HasFocus()) p.mMainWindow->Raise();
}

// The host window is closed, or the hosting page closed its channel.
bool IsHostGone(TPlatformImpl& p) {
  if (p.mExternalParent != 0 && !TOsWindow::IsLiveWindow(p.mExternalParent)) return true;
  return p.mHostChannel && !p.mHostChannel->IsAlive();
}

// The host's messages join the queue as the host window messages they stand for.
void TakeHostMessages(TPlatformImpl& p) {
  if (!p.mHostChannel) return;
  uint32_t wParam = 0, lParam = 0;
  while (p.mHostChannel->Receive(wParam, lParam)) {
    TNativeMessage message;
    message.type = TNativeMessageType::Host;
    message.hostMessage = HostMessageUser;
    message.wParam = intptr_t(int32_t(wParam));
    message.lParam = intptr_t(int32_t(lParam));
    p.mQueue->Enqueue(message);
  }
}

void IdleBranch(TPlatformImpl& p, const TPlatform& platform) {
  platform.NotifyIdleStep();
  if (p.mDisplayHandler && p.Display().IsFullscreen() && p.mActive && !p.mActivationPending) KeepWindowInFront(p, platform);
  if (TSoundManager* sound = GetSoundManager()) sound->DispatchFinishedStreams();
  TFrameProbe* probe = TFrameProbe::Get();
  if (probe) probe->BeginWork();
  p.mFrameTasks.RunTasks(0);
  if (probe) probe->EndWork();
  p.mQueue->WaitForMessage(IdleWaitMs);
}

void ArmMouseTracking(TPlatformImpl& p) {
  if (!p.mHoverArmed) p.mHoverArmed = p.mQueue->TrackHover(HoverTimeMs);
  if (!p.mLeaveArmed) p.mLeaveArmed = p.mQueue->TrackLeave();
}

void ConvertMouseMove(TPlatformImpl& p, const TNativeMessage& m, TPlatformEvent& event) {
  if (p.mMouseMode == MouseRelative) {
    int32_t dx = m.x - p.mAnchorWindow.x, dy = m.y - p.mAnchorWindow.y;
    // The pointer back on its anchor (after our own warp) reports nothing.
    if (dx != 0 || dy != 0) {
      event = TPlatformEvent::Of(EventMouseMove, 0, dx, dy);
      p.mMainWindow->WarpPointer(int32_t(float(p.mAnchorWindow.x) * p.mViewportScale),
                                 int32_t(float(p.mAnchorWindow.y) * p.mViewportScale));
    }
  } else {
    TPoint at = EnginePoint(p, m.x, m.y);
    event = TPlatformEvent::Of(EventMouseMove, 0, at.x, at.y);
  }
  ArmMouseTracking(p);
}

// Mouse buttons and the wheel. Answers false when the message must not be dispatched.
bool ConvertButton(TPlatformImpl& p, const TPlatform& platform, const TNativeMessage& m, TPlatformEvent& event) {
  bool release = m.type == TNativeMessageType::ButtonUp;
  // The right button of an embedded game belongs to the host page.
  bool dispatch = !(p.mEmbedded && m.button == ButtonRight && m.type != TNativeMessageType::Wheel);
  if (p.mFocusRegained && !p.WindowManager().IsDrawSuspended()) {
    if (release) p.mFocusRegained = false;
    if (TimeDiff(platform.GetTimer(), p.mFocusRegainTime) < int32_t(FocusClickFilterMs)) {
      event.type = EventNothing;
      return dispatch;
    }
  }
  if (p.WindowManager().IsMovieInput()) {
    event.type = EventNothing;
    return dispatch;
  }
  if (m.type == TNativeMessageType::ButtonDown) p.mMainWindow->SetCapture(true);
  if (release) p.mMainWindow->SetCapture(false);

  TPoint at = EnginePoint(p, m.x, m.y);
  uint32_t mods = MouseModifiers(m);
  if (m.type == TNativeMessageType::Wheel) {
    event = TPlatformEvent::Of(EventButton, m.wheelDelta > 0 ? ButtonWheelAway : ButtonWheelToward, at.x, at.y, mods);
    return dispatch;
  }
  switch (m.button) {
    case ButtonLeft:
      event = release ? TPlatformEvent::Of(EventLeftButtonUp, 0, at.x, at.y)
                      : TPlatformEvent::Of(EventLeftButtonDown, 0, at.x, at.y, mods);
      break;
    case ButtonRight:
      event = TPlatformEvent::Of(EventButton, release ? ButtonRightUp : ButtonRightDown, at.x, at.y, release ? 0 : mods);
      break;
    case ButtonMiddle:
      event = TPlatformEvent::Of(EventButton, release ? ButtonMiddleUp : ButtonMiddleDown, at.x, at.y, release ? 0 : mods);
      break;
    case ButtonX1:
    case ButtonX2:
      if (release) event.type = EventNothing;
      else event = TPlatformEvent::Of(EventButton, m.button == ButtonX1 ? ButtonExtra1Down : ButtonExtra2Down, at.x, at.y);
      break;
    default:
      event.type = EventNothing;
      break;
  }
  return dispatch;
}

void ConvertKeyDown(const TNativeMessage& m, TPlatformEvent& event) {
  bool shift = (m.modifiers & NativeShift) != 0, control = (m.modifiers & NativeControl) != 0;
  // Insert alone is not a key of the game; with shift it pastes.
  if (m.virtualKey == VkInsert && !(shift && !control)) {
    event.type = EventNothing;
    return;
  }
  uint32_t mods = (shift ? uint32_t(ModifierShift) : 0u) | (control ? uint32_t(ModifierControl) : 0u);
  event = TPlatformEvent::Of(EventKeyDown, EngineKeyCode(m.virtualKey), 0, 0, mods);
}

void ConvertSystemKey(TPlatformImpl& p, TPlatform& platform, const TNativeMessage& m, TPlatformEvent& event) {
  if (!(m.keyFlags & KeyAltDown)) {
    ConvertKeyDown(m, event);
    return;
  }
  if (m.virtualKey == VkReturn) {
    if (p.mEmbedded && !IsExternalPlayerMode()) return;
    bool requested = !platform.IsFullScreen();
    platform.SetFullScreen(requested);
    event = TPlatformEvent::Of(EventFullScreenToggled, platform.IsFullScreen() ? 1 : 0, 0, 0, requested ? 1 : 0);
    return;
  }
  if (m.virtualKey == VkF1) {
    p.Renderer().ToggleStats();
    return;
  }
  uint32_t mods = ModifierAlt;
  if (m.modifiers & NativeShift) mods |= ModifierShift;
  if (m.modifiers & NativeControl) mods |= ModifierControl;
  if (m.keyFlags & KeyExtended) mods |= ModifierExtended;
  event = TPlatformEvent::Of(EventKeyDown, int32_t(m.virtualKey), 0, 0, mods);
}

void ConvertCharacter(TPlatformImpl& p, const TNativeMessage& m, TPlatformEvent& event) {
  if (!p.mMainWindow->IsWide()) {
    event = TPlatformEvent::Of(EventChar, int32_t(m.charCode & 0xFF));
    return;
  }
  uint32_t unit = m.charCode;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    p.mPendingHighSurrogate = unit;
    event.type = EventNothing;
    return;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (p.mPendingHighSurrogate == 0) {
      event.type = EventNothing;
      return;
    }
    uint32_t cp = 0x10000 + ((p.mPendingHighSurrogate - 0xD800) << 10) + (unit - 0xDC00);
    p.mPendingHighSurrogate = 0;
    event = TPlatformEvent::Of(EventUnicodeChar, int32_t(cp));
    return;
  }
  // A high surrogate that no low one followed is dropped, so it never joins a later one.
  p.mPendingHighSurrogate = 0;
  event = TPlatformEvent::Of(EventUnicodeChar, int32_t(unit));
}

// Converts one message; answers whether it is dispatched to the window procedure afterwards.
bool Convert(TPlatformImpl& p, TPlatform& platform, const TNativeMessage& m, TPlatformEvent& event) {
  switch (m.type) {
    case TNativeMessageType::MouseMove:
      ConvertMouseMove(p, m, event);
      return true;
    case TNativeMessageType::ButtonDown:
    case TNativeMessageType::ButtonUp:
    case TNativeMessageType::Wheel:
      return ConvertButton(p, platform, m, event);
    case TNativeMessageType::CaptureChanged:
      event.type = m.state == 1 ? EventNothing : EventMouseGone;
      return true;
    case TNativeMessageType::MouseHover: {
      p.mHoverArmed = p.mQueue->TrackHover(HoverTimeMs);
      TPoint at = EnginePoint(p, m.x, m.y);
      event = TPlatformEvent::Of(EventHover, 0, at.x, at.y);
      return true;
    }
    case TNativeMessageType::Paint:
      event.type = EventRedraw;
      p.mHoverArmed = false;
      return true;
    case TNativeMessageType::KeyDown:
      ConvertKeyDown(m, event);
      return true;
    case TNativeMessageType::SysKeyDown:
      ConvertSystemKey(p, platform, m, event);
      return true;
    case TNativeMessageType::KeyUp:
      event = TPlatformEvent::Of(EventKeyUp, EngineKeyCode(m.virtualKey));
      return true;
    case TNativeMessageType::Char:
      ConvertCharacter(p, m, event);
      return true;
    case TNativeMessageType::Quit:
      event.type = EventQuit;
      return false;
    default:
      event.type = EventNothing;
      return true;
  }
}

}  // namespace

void TPlatform::Step(TPlatformEvent& event) {
  TPlatformImpl& p = *mImpl;
  // Every path fills the event: one that reports nothing leaves an idle event, never the
  // caller's previous one.
  event = TPlatformEvent();
  if (!p.mMainWindow) {
    p.mQueue->WaitForMessage(IdleWaitMs);
    return;
  }

  if ((IsZylomPortal() || IsExternalPlayerMode()) && IsHostGone(p)) {
    event.type = EventQuit;
    return;
  }
  TakeHostMessages(p);
  if (!gFirstStepDone) {
    gFirstStepDone = true;
    GetGameState()->PostIntEvent("loadbroadcast", 0);
    uint64_t waitStart = FrameProbeNow();
    Sleep(500);
    if (TFrameProbe* probe = TFrameProbe::Get()) probe->StartupWait(FrameProbeNow() - waitStart);
    GetGameState()->PostIntEvent("sessionready", 0);
  }
  TNativeMessage message;
  while (QueryWaitForQuit()) {
    Sleep(1);
    TakeHostMessages(p);
    if (!p.mQueue->PeekMessage(message)) continue;
    if (message.type == TNativeMessageType::Quit) {
      event.type = EventQuit;
      return;
    }
    p.mMainWindow->Dispatch(message);
  }
  if (p.mActivationPending) {
    p.mActivationPending = false;
    if (!p.mActive) p.Display().ResetWorkingCount();
    event = TPlatformEvent::Of(EventActivation, p.mActive ? 1 : 0);
    return;
  }
  bool deviceReady = p.Display().IsDeviceReady();
  if (!deviceReady && p.mQueue->HasQuitMessage()) {
    event.type = EventQuit;
    return;
  }
  // A restore that leaves the device lost lets the next step take a message, so that a
  // device that cannot come back never stops the window from being closed or minimised.
  bool restoredLastStep = p.mRestoredLastStep;
  p.mRestoredLastStep = false;
  if (!p.mMinimized && p.mActive && !p.mActivationPending && !deviceReady && !restoredLastStep) {
    p.Display().Restore();
    p.mRestoredLastStep = !p.Display().IsDeviceReady();
    event.type = EventNothing;
    return;
  }
  if (p.mDisplayChangedPending) {
    p.mDisplayChangedPending = false;
    event.type = EventDisplayChanged;
    return;
  }
  if (p.mRedrawPending) {
    p.mRedrawPending = false;
    event.type = EventRedraw;
    if (!p.Display().IsDeviceReady() && !p.mMinimized) p.Display().Restore();
    return;
  }
  if (p.mAppActivationPending) {
    p.mAppActivationPending = false;
    event = TPlatformEvent::Of(EventActivation, p.mAppActivated ? 1 : 0);
    return;
  }
  if (p.mClosePending) {
    p.mClosePending = false;
    p.WindowManager().CloseMovie();
    event.type = EventClose;
    return;
  }
  if (p.mMouseLeftPending) {
    p.mMouseLeftPending = false;
    TPoint at = EnginePoint(p, p.mQueue->PointerX(), p.mQueue->PointerY());
    event = TPlatformEvent::Of(EventMouseGone, 0, at.x, at.y);
    return;
  }
  if (!p.mQueue->PeekMessage(message)) {
    IdleBranch(p, *this);
    return;
  }
  if (Convert(p, *this, message, event)) p.mMainWindow->Dispatch(message);
}
