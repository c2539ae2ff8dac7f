#include "platform/os/message_queue.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/engine_string.h"
#include "platform/os/ansi_text.h"
#include "platform/os/os_clock.h"
#include "platform/os/os_window.h"
#include "platform/os/virtual_keys.h"

namespace {

// The SDL event type that carries posted messages.
uint32_t PostedEventType() {
  static uint32_t type = 0;
  static std::once_flag once;
  std::call_once(once, [] { type = SDL_RegisterEvents(1); });
  return type;
}

uint32_t ModifiersFromSdl(uint16_t mod) {
  uint32_t bits = 0;
  if (mod & KMOD_SHIFT) bits |= NativeShift;
  if (mod & KMOD_CTRL) bits |= NativeControl;
  if (mod & KMOD_ALT) bits |= NativeAlt;
  return bits;
}

// The characters a key press types by itself (the text event never carries them).
uint32_t ControlCharacter(const SDL_Keysym& key, uint32_t virtualKey) {
  bool control = (key.mod & KMOD_CTRL) != 0;
  switch (key.scancode) {
    case SDL_SCANCODE_BACKSPACE: return control ? 0x7F : 0x08;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return control ? 0x0A : 0x0D;
    case SDL_SCANCODE_ESCAPE: return 0x1B;
    default: break;
  }
  if (control && virtualKey >= 'A' && virtualKey <= 'Z') return virtualKey - 'A' + 1;
  return 0;
}

}  // namespace

TOsMessageQueue::TOsMessageQueue() {
  mEventsUp = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
  PostedEventType();
}

TOsMessageQueue::~TOsMessageQueue() {
  if (mEventsUp) SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

void TOsMessageQueue::AttachWindow(TOsWindow* window) {
  mWindow = window;
  if (!window) {
    mHoverArmed = mLeaveArmed = false;
    mInside = false;
  }
}

void TOsMessageQueue::Emit(TNativeMessage message) {
  message.time = OsMilliseconds();
  if (message.modifiers == 0) message.modifiers = mModifiers;
  mPending.push_back(message);
}

bool TOsMessageQueue::PostMessage(const TNativeMessage& message) {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
  SDL_Event event;
  SDL_zero(event);
  event.type = PostedEventType();
  event.user.code = int32_t(uint32_t(message.type) | message.hostMessage << 8);
  event.user.data1 = reinterpret_cast<void*>(message.type == TNativeMessageType::Quit ? intptr_t(message.state)
                                                                                      : message.wParam);
  event.user.data2 = reinterpret_cast<void*>(message.lParam);
  return SDL_PushEvent(&event) == 1;
}

bool TOsMessageQueue::PostQuit(int32_t code) {
  TNativeMessage quit;
  quit.type = TNativeMessageType::Quit;
  quit.state = uint32_t(code);
  return PostMessage(quit);
}

void TOsMessageQueue::TranslatePosted(const SDL_Event& event) {
  TNativeMessage message;
  message.type = TNativeMessageType(uint32_t(event.user.code) & 0xFF);
  message.hostMessage = uint32_t(event.user.code) >> 8;
  intptr_t first = reinterpret_cast<intptr_t>(event.user.data1);
  if (message.type == TNativeMessageType::Quit) message.state = uint32_t(first);
  else message.wParam = first;
  message.lParam = reinterpret_cast<intptr_t>(event.user.data2);
  Emit(message);
}

bool TOsMessageQueue::PeekMessage(TNativeMessage& message) {
  if (mPending.empty()) Pump();
  if (mPending.empty()) return false;
  message = mPending.front();
  mPending.pop_front();
  return true;
}

void TOsMessageQueue::Pump() {
  if (!mEventsUp) return;
  CheckHover();
  SDL_Event event;
  while (mPending.empty() && SDL_PollEvent(&event)) {
    if (event.type == SDL_POLLSENTINEL) break;
    Translate(event);
  }
}

bool TOsMessageQueue::HasQuitMessage() {
  for (const TNativeMessage& message : mPending) {
    if (message.type == TNativeMessageType::Quit) return true;
  }
  if (!mEventsUp) return false;
  SDL_PumpEvents();
  SDL_Event events[16];
  int count = SDL_PeepEvents(events, 16, SDL_PEEKEVENT, PostedEventType(), PostedEventType());
  for (int i = 0; i < count; ++i) {
    if ((uint32_t(events[i].user.code) & 0xFF) == uint32_t(TNativeMessageType::Quit)) return true;
  }
  return false;
}

void TOsMessageQueue::WaitForMessage(uint32_t ms) {
  if (!mPending.empty() || !mEventsUp) return;
  if (mHoverArmed && mInside) {
    uint32_t due = mHoverStart + mHoverMs - OsMilliseconds();
    if (int32_t(due) <= 0) return;
    if (due < ms) ms = due;
  }
  SDL_WaitEventTimeout(nullptr, int(ms));
}

bool TOsMessageQueue::TrackHover(uint32_t hoverMs) {
  if (!mWindow) return false;
  mHoverArmed = true;
  mHoverMs = hoverMs;
  mHoverStart = OsMilliseconds();
  mHoverX = mPointerX;
  mHoverY = mPointerY;
  return true;
}

bool TOsMessageQueue::TrackLeave() {
  if (!mWindow) return false;
  if (!mInside) {
    TNativeMessage leave;
    leave.type = TNativeMessageType::MouseLeave;
    Emit(leave);
    mHoverArmed = false;
    return true;
  }
  mLeaveArmed = true;
  return true;
}

void TOsMessageQueue::CheckHover() {
  if (!mHoverArmed || !mInside) return;
  if (int32_t(OsMilliseconds() - mHoverStart) < int32_t(mHoverMs)) return;
  mHoverArmed = false;
  TNativeMessage hover;
  hover.type = TNativeMessageType::MouseHover;
  hover.x = mPointerX;
  hover.y = mPointerY;
  Emit(hover);
}

void TOsMessageQueue::Activate() {
  if (mFocused) return;
  mFocused = true;
  mFocusFromClick = false;
  if (mWindow) mWindow->Raise();
  TNativeMessage activate;
  activate.type = TNativeMessageType::ActivateApp;
  activate.state = 1;
  Emit(activate);
}

bool TOsMessageQueue::IsInsideClientArea(int32_t x, int32_t y) const {
  if (!mWindow) return false;
  int32_t width = 0, height = 0;
  mWindow->GetClientSize(width, height);
  return x >= 0 && y >= 0 && x < width && y < height;
}

void TOsMessageQueue::PointerMoved(int32_t x, int32_t y) {
  mPointerX = x;
  mPointerY = y;
  if (IsInsideClientArea(x, y)) mInside = true;
  if (mHoverArmed && (std::abs(x - mHoverX) > HoverSlop || std::abs(y - mHoverY) > HoverSlop)) {
    mHoverStart = OsMilliseconds();
    mHoverX = x;
    mHoverY = y;
  }
}

void TOsMessageQueue::FocusChanged(bool focused) {
  if (focused == mFocused) return;
  mFocused = focused;
  TNativeMessage message;
  if (focused) {
    mFocusTime = OsMilliseconds();
    mFocusFromClick = true;
    mModifiers = ModifiersFromSdl(uint16_t(SDL_GetModState()));
  } else if (mWindow && mWindow->HasCapture()) {
    // The capture goes with the focus: tell the window, as the system would.
    mWindow->DropCapture();
    SDL_CaptureMouse(SDL_FALSE);
    message.type = TNativeMessageType::CaptureChanged;
    Emit(message);
  }
  message.type = TNativeMessageType::ActivateApp;
  message.state = focused ? 1 : 0;
  Emit(message);
}

void TOsMessageQueue::Translate(const SDL_Event& event) {
  if (event.type == PostedEventType()) {
    TranslatePosted(event);
    return;
  }
  TNativeMessage message;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event);
      break;
    case SDL_QUIT:  // a signal or the session ending: the game decides, as for the close button
      message.type = TNativeMessageType::Close;
      Emit(message);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text.text);
      break;
    case SDL_MOUSEMOTION:
      PointerMoved(event.motion.x, event.motion.y);
      message.type = TNativeMessageType::MouseMove;
      message.x = event.motion.x;
      message.y = event.motion.y;
      Emit(message);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      TranslateButton(event);
      break;
    case SDL_MOUSEWHEEL: {
      int32_t y = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      if (y == 0) break;
      message.type = TNativeMessageType::Wheel;
      message.wheelDelta = y * 120;
      message.x = mPointerX;
      message.y = mPointerY;
      Emit(message);
      break;
    }
    case SDL_DISPLAYEVENT: {
      SDL_DisplayMode mode;
      if (SDL_GetDesktopDisplayMode(0, &mode) != 0) break;
      message.type = TNativeMessageType::DisplayChange;
      message.state = SDL_BITSPERPIXEL(mode.format);
      message.width = mode.w;
      message.height = mode.h;
      Emit(message);
      break;
    }
    default:
      break;
  }
}

void TOsMessageQueue::TranslateWindowEvent(const SDL_Event& event) {
  TNativeMessage message;
  auto emitPosition = [&](bool hidden) {
    TNativeMessage position;
    position.type = TNativeMessageType::WindowPosChanged;
    if (mWindow) {
      mWindow->GetScreenOrigin(position.x, position.y);
      mWindow->GetClientSize(position.width, position.height);
    }
    position.state = hidden ? WindowHidden : 0;
    Emit(position);
  };
  auto emitSize = [&](uint32_t state) {
    message.type = TNativeMessageType::Size;
    message.state = state;
    Emit(message);
  };
  switch (event.window.event) {
    case SDL_WINDOWEVENT_SHOWN: emitPosition(false); break;
    case SDL_WINDOWEVENT_HIDDEN: emitPosition(true); break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: emitPosition(mWindow && mWindow->IsMinimized()); break;
    case SDL_WINDOWEVENT_MINIMIZED: emitSize(SizeMinimized); emitPosition(true); break;
    case SDL_WINDOWEVENT_MAXIMIZED: emitSize(SizeMaximized); emitPosition(false); break;
    case SDL_WINDOWEVENT_RESTORED: emitSize(SizeRestored); emitPosition(false); break;
    case SDL_WINDOWEVENT_EXPOSED:
      message.type = TNativeMessageType::Paint;
      Emit(message);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      message.type = TNativeMessageType::Close;
      Emit(message);
      break;
    case SDL_WINDOWEVENT_ENTER:
      mInside = true;
      message.type = TNativeMessageType::SetCursor;
      Emit(message);
      break;
    case SDL_WINDOWEVENT_LEAVE:
      mInside = false;
      if (mLeaveArmed) {
        mLeaveArmed = mHoverArmed = false;
        message.type = TNativeMessageType::MouseLeave;
        Emit(message);
      }
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: FocusChanged(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: FocusChanged(false); break;
    default: break;
  }
}

void TOsMessageQueue::TranslateKey(const SDL_Event& event) {
  const SDL_Keysym& key = event.key.keysym;
  mModifiers = ModifiersFromSdl(key.mod);
  TVirtualKeyCode code = VirtualKeyFromSdl(key.scancode, key.sym, (key.mod & KMOD_NUM) != 0);
  if (code.virtualKey == 0) return;
  bool alt = (key.mod & KMOD_ALT) != 0;
  bool down = event.type == SDL_KEYDOWN;
  TNativeMessage message;
  message.type = down ? (alt ? TNativeMessageType::SysKeyDown : TNativeMessageType::KeyDown)
                      : (alt ? TNativeMessageType::SysKeyUp : TNativeMessageType::KeyUp);
  message.virtualKey = code.virtualKey;
  message.keyFlags = (code.extended ? KeyExtended : 0) | (alt ? KeyAltDown : 0) | (event.key.repeat ? 1u << 30 : 0);
  message.modifiers = mModifiers;
  Emit(message);
  if (message.type != TNativeMessageType::KeyDown) return;
  uint32_t character = ControlCharacter(key, code.virtualKey);
  if (character == 0) return;
  TNativeMessage typed;
  typed.type = TNativeMessageType::Char;
  typed.charCode = character;
  typed.modifiers = mModifiers;
  Emit(typed);
}

void TOsMessageQueue::TranslateText(const char* utf8) {
  std::u16string units = Utf8ToWide(TString(utf8));
  bool wide = mWindow && mWindow->IsWide();
  for (size_t i = 0; i < units.size(); ++i) {
    TNativeMessage typed;
    typed.type = TNativeMessageType::Char;
    if (wide) {
      typed.charCode = units[i];
    } else {
      uint32_t cp = units[i];
      // An 8-bit window gets one byte per character, a pair of units being one character.
      if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
      }
      typed.charCode = CodePointToAnsi(cp);
    }
    Emit(typed);
  }
}

void TOsMessageQueue::TranslateButton(const SDL_Event& event) {
  const SDL_MouseButtonEvent& button = event.button;
  if (button.button < SDL_BUTTON_LEFT || button.button > SDL_BUTTON_X2) return;
  PointerMoved(button.x, button.y);
  TNativeMessage message;
  if (event.type == SDL_MOUSEBUTTONDOWN) {
    bool activating = !mFocused || (mFocusFromClick && OsMilliseconds() - mFocusTime < ActivationClickMs);
    mFocusFromClick = false;
    if (activating) {
      message.type = TNativeMessageType::MouseActivate;
      Emit(message);
      // A click on an inactive window activates it; the desktop's own focus event follows
      // later (or never, without a desktop) and is then no change.
      FocusChanged(true);
      mFocusFromClick = false;
    }
  }
  message.type = event.type == SDL_MOUSEBUTTONDOWN ? TNativeMessageType::ButtonDown : TNativeMessageType::ButtonUp;
  message.button = button.button;
  message.x = button.x;
  message.y = button.y;
  Emit(message);
}
