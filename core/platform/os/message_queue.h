#pragma once
// TOsMessageQueue: the main thread's message queue. It turns the SDL events of the main
// window into native messages (a key press may give a key message and a character, typed
// text one character message per UTF-16 unit or byte), adds the messages the window system
// would send by itself (mouse activation, hover and leave tracking, the capture lost with
// the focus) and carries messages posted from any thread.

#include <cstdint>
#include <deque>

#include "platform/os/native_message.h"

union SDL_Event;
class TOsWindow;

class TOsMessageQueue {
 public:
  // Brings up SDL's event system.
  TOsMessageQueue();
  ~TOsMessageQueue();
  TOsMessageQueue(const TOsMessageQueue&) = delete;
  TOsMessageQueue& operator=(const TOsMessageQueue&) = delete;

  // The window whose events become messages; null detaches it.
  void AttachWindow(TOsWindow* window);

  // Takes the next message; false when none is waiting.
  bool PeekMessage(TNativeMessage& message);
  // Whether a quit message is waiting; it stays in the queue.
  bool HasQuitMessage();
  // Waits up to ms for a message (less when a hover is due sooner).
  void WaitForMessage(uint32_t ms);

  // Main thread: adds a message behind those already taken from the system, as if the
  // system had queued it (tests feed messages that no SDL event can carry).
  void Enqueue(const TNativeMessage& message) { mPending.push_back(message); }

  // Posting works from any thread; false when the event system is down.
  static bool PostMessage(const TNativeMessage& message);
  static bool PostQuit(int32_t code);

  // Hover tracking: one MouseHover once the pointer has rested hoverMs inside the window.
  bool TrackHover(uint32_t hoverMs);
  // Leave tracking: one MouseLeave when the pointer leaves the window (at once when it is
  // outside already). Either message ends both trackings.
  bool TrackLeave();
  bool IsTrackingHover() const { return mHoverArmed; }
  bool IsTrackingLeave() const { return mLeaveArmed; }

  // The window activated itself (as a newly made window is): one ActivateApp(1).
  void Activate();
  bool HasFocus() const { return mFocused; }
  int32_t PointerX() const { return mPointerX; }
  int32_t PointerY() const { return mPointerY; }

  // Turns one SDL event into messages (the pump calls it; tests may too).
  void Translate(const SDL_Event& event);

  // A button press that comes this soon after the window gained the focus is the click
  // that activated it.
  static constexpr uint32_t ActivationClickMs = 200;
  // The hover rectangle: moving farther than this from where the rest began starts anew.
  static constexpr int32_t HoverSlop = 2;

 private:
  void Emit(TNativeMessage message);
  void TranslateWindowEvent(const SDL_Event& event);
  void TranslateKey(const SDL_Event& event);
  void TranslateText(const char* utf8);
  void TranslateButton(const SDL_Event& event);
  void TranslatePosted(const SDL_Event& event);
  void PointerMoved(int32_t x, int32_t y);
  void FocusChanged(bool focused);
  void CheckHover();
  void Pump();
  bool IsInsideClientArea(int32_t x, int32_t y) const;

  std::deque<TNativeMessage> mPending;
  TOsWindow* mWindow = nullptr;
  bool mEventsUp = false;
  bool mFocused = false;
  uint32_t mFocusTime = 0;
  bool mFocusFromClick = false;
  bool mInside = false;
  int32_t mPointerX = 0, mPointerY = 0;
  uint32_t mModifiers = 0;
  bool mHoverArmed = false;
  uint32_t mHoverMs = 0;
  uint32_t mHoverStart = 0;
  int32_t mHoverX = 0, mHoverY = 0;
  bool mLeaveArmed = false;
};
