#include "platform/os/input_injection.h"

#include <SDL.h>

#include <atomic>
#include <cstring>

#include "platform/engine_string.h"
#include "platform/os/os_window.h"

namespace {

std::atomic<uint32_t> gWindowId{0};

bool Push(SDL_Event& event) {
  if (gWindowId.load() == 0 || !SDL_WasInit(SDL_INIT_EVENTS)) return false;
  return SDL_PushEvent(&event) == 1;
}

// Splits "Ctrl+Shift+Return" into modifiers and the key's own name.
uint16_t TakeModifiers(std::string& name) {
  static const struct {
    const char* prefix;
    uint16_t mod;
  } Prefixes[] = {{"Shift+", KMOD_LSHIFT}, {"Ctrl+", KMOD_LCTRL}, {"Alt+", KMOD_LALT}};
  uint16_t mod = 0;
  for (bool found = true; found;) {
    found = false;
    for (const auto& prefix : Prefixes) {
      size_t n = strlen(prefix.prefix);
      if (name.size() > n && name.compare(0, n, prefix.prefix) == 0) {
        mod |= prefix.mod;
        name.erase(0, n);
        found = true;
      }
    }
  }
  return mod;
}

}  // namespace

void SetInjectionWindow(TOsWindow* window) { gWindowId = window ? uint32_t(window->GetHandle()) : 0; }

bool InjectMouseMove(int32_t x, int32_t y) {
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = gWindowId;
  event.motion.x = x;
  event.motion.y = y;
  return Push(event);
}

bool InjectMouseButton(uint32_t button, bool down, int32_t x, int32_t y) {
  SDL_Event event;
  SDL_zero(event);
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = gWindowId;
  event.button.button = uint8_t(button);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return Push(event);
}

bool InjectMouseWheel(int32_t delta) {
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = gWindowId;
  event.wheel.y = delta;
  event.wheel.preciseY = float(delta);
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return Push(event);
}

bool InjectKey(const std::string& fullName, bool down, bool numLock) {
  std::string name = fullName;
  uint16_t mod = TakeModifiers(name);
  SDL_Keycode key = SDL_GetKeyFromName(name.c_str());
  if (key == SDLK_UNKNOWN) return false;
  SDL_Event event;
  SDL_zero(event);
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = gWindowId;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  event.key.keysym.mod = uint16_t(mod | (numLock ? KMOD_NUM : 0));
  return Push(event);
}

bool InjectText(const std::string& utf8) {
  size_t at = 0;
  while (at < utf8.size()) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_TEXTINPUT;
    event.text.windowID = gWindowId;
    // Whole characters only, as many as fit the event's buffer.
    size_t take = 0;
    while (at + take < utf8.size()) {
      int n = Utf8SequenceLength(utf8.c_str() + at + take);
      if (n <= 0 || take + size_t(n) >= sizeof(event.text.text)) break;
      take += size_t(n);
    }
    if (take == 0) return false;
    memcpy(event.text.text, utf8.data() + at, take);
    if (!Push(event)) return false;
    at += take;
  }
  return true;
}

bool InjectWindowEvent(TInjectedWindowEvent kind) {
  static const uint8_t Events[] = {
      SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_MAXIMIZED,
      SDL_WINDOWEVENT_RESTORED,     SDL_WINDOWEVENT_SHOWN,      SDL_WINDOWEVENT_HIDDEN,    SDL_WINDOWEVENT_CLOSE,
      SDL_WINDOWEVENT_EXPOSED,      SDL_WINDOWEVENT_ENTER,      SDL_WINDOWEVENT_LEAVE};
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = gWindowId;
  event.window.event = Events[size_t(kind)];
  return Push(event);
}

bool InjectQuitRequest() {
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_QUIT;
  return Push(event);
}
