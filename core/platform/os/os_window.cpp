#include "platform/os/os_window.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/os/message_queue.h"
#include "platform/os/virtual_keys.h"

intptr_t DefaultWindowProc(TOsWindow& window, const TNativeMessage& message) {
  // Alt+F4 asks the window to close, as the desktop's own shortcut does.
  if (message.type == TNativeMessageType::SysKeyDown && message.virtualKey == VkF4) {
    TNativeMessage close;
    close.type = TNativeMessageType::Close;
    TOsMessageQueue::PostMessage(close);
  }
  return 0;
}

std::string CheckDisplayAvailable() {
  const char* driver = getenv("SDL_VIDEODRIVER");
  const char* x11 = getenv("DISPLAY");
  const char* wayland = getenv("WAYLAND_DISPLAY");
  auto set = [](const char* value) { return value && *value; };
  if (set(driver) || set(x11) || set(wayland)) return std::string();
  return "There is no display to open the game's window on (neither DISPLAY nor WAYLAND_DISPLAY is set). "
         "Start the game from a desktop session, or set SDL_VIDEODRIVER=dummy to run it without a window.";
}

std::unique_ptr<TOsWindow> TOsWindow::Create(const std::string& title, int32_t width, int32_t height, bool wide,
                                             std::string& error) {
  error = CheckDisplayAvailable();
  if (!error.empty()) return nullptr;
  // Closing the window is a request that the game answers; it never quits SDL by itself.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("The game's window cannot be opened: ") + SDL_GetError();
    return nullptr;
  }
  // At the screen's corner, as the display set-up expects a window it has not placed yet.
  SDL_Window* sdl = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
  if (!sdl) {
    error = std::string("The game's window cannot be opened: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  std::unique_ptr<TOsWindow> window(new TOsWindow);
  window->mWindow = sdl;
  window->mWide = wide;
  SDL_StartTextInput();
  return window;
}

TOsWindow::~TOsWindow() {
  SetCapture(false);
  SDL_StopTextInput();
  SDL_DestroyWindow(mWindow);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

uintptr_t TOsWindow::GetHandle() const { return SDL_GetWindowID(mWindow); }

bool TOsWindow::IsLiveWindow(uintptr_t handle) {
  return handle != 0 && handle <= 0xFFFFFFFFu && SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetWindowFromID(uint32_t(handle));
}

intptr_t TOsWindow::Dispatch(const TNativeMessage& message) {
  return mProcedure ? mProcedure(*this, message) : DefaultWindowProc(*this, message);
}

void TOsWindow::SetTitle(const std::string& utf8) { SDL_SetWindowTitle(mWindow, utf8.c_str()); }
void TOsWindow::Show() { SDL_ShowWindow(mWindow); }
void TOsWindow::Hide() { SDL_HideWindow(mWindow); }
void TOsWindow::Minimize() { SDL_MinimizeWindow(mWindow); }
void TOsWindow::Restore() { SDL_RestoreWindow(mWindow); }
void TOsWindow::Raise() { SDL_RaiseWindow(mWindow); }

void TOsWindow::CenterOnScreen() {
  int display = SDL_GetWindowDisplayIndex(mWindow);
  SDL_SetWindowPosition(mWindow, int(SDL_WINDOWPOS_CENTERED_DISPLAY(display < 0 ? 0 : display)),
                        int(SDL_WINDOWPOS_CENTERED_DISPLAY(display < 0 ? 0 : display)));
}

bool TOsWindow::SetFullScreen(bool fullScreen) {
  return SDL_SetWindowFullscreen(mWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

bool TOsWindow::IsFullScreen() const { return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0; }

void TOsWindow::SetClientSize(int32_t width, int32_t height) { SDL_SetWindowSize(mWindow, width, height); }

void TOsWindow::GetClientSize(int32_t& width, int32_t& height) const {
  int w = 0, h = 0;
  SDL_GetWindowSize(mWindow, &w, &h);
  width = w;
  height = h;
}

void TOsWindow::GetScreenOrigin(int32_t& x, int32_t& y) const {
  int px = 0, py = 0;
  SDL_GetWindowPosition(mWindow, &px, &py);
  x = px;
  y = py;
}

bool TOsWindow::IsMinimized() const { return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_MINIMIZED) != 0; }
bool TOsWindow::IsShown() const { return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_SHOWN) != 0; }

void TOsWindow::ClearClientArea() {
  SDL_Surface* surface = SDL_GetWindowSurface(mWindow);
  if (!surface) return;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  SDL_UpdateWindowSurface(mWindow);
}

void TOsWindow::WarpPointer(int32_t x, int32_t y) { SDL_WarpMouseInWindow(mWindow, x, y); }

void TOsWindow::ShowSystemArrow() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_SetCursor(SDL_GetDefaultCursor());
  SDL_ShowCursor(SDL_ENABLE);
}

void TOsWindow::SetCapture(bool capture) {
  if (capture == mCaptured) return;
  mCaptured = capture;
  SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}
