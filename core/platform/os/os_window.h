#pragma once
// TOsWindow: the engine's main window on SDL. It is made hidden; the display set-up shows
// it. Messages reach its window procedure only through Dispatch, on the main thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/native_message.h"

struct SDL_Window;
class TOsWindow;

using TWindowProcedure = intptr_t (*)(TOsWindow& window, const TNativeMessage& message);

// What the system does with a message that the window procedure leaves to it.
intptr_t DefaultWindowProc(TOsWindow& window, const TNativeMessage& message);

// Empty when a window can be opened here, else a sentence for the user saying why not
// (no display to open one on).
std::string CheckDisplayAvailable();

class TOsWindow {
 public:
  // Starts SDL's video for this window and makes it, hidden, with a client area of
  // width x height. A wide window receives its characters as UTF-16 units, an 8-bit one
  // as Windows-1252 bytes. Null, with the reason in error, when it cannot be made.
  static std::unique_ptr<TOsWindow> Create(const std::string& title, int32_t width, int32_t height, bool wide,
                                           std::string& error);
  ~TOsWindow();
  TOsWindow(const TOsWindow&) = delete;
  TOsWindow& operator=(const TOsWindow&) = delete;

  // The handle by which hosts and the event step name the window.
  uintptr_t GetHandle() const;
  // For the device's presenter, which draws into the window.
  SDL_Window* GetSdlWindow() const { return mWindow; }
  // Whether a handle names a live window of this process.
  static bool IsLiveWindow(uintptr_t handle);

  void SetProcedure(TWindowProcedure procedure) { mProcedure = procedure; }
  // Calls the window procedure (or the default one) with the message.
  intptr_t Dispatch(const TNativeMessage& message);
  // The window's one word of user data (the platform object); null when unset.
  void SetUserData(void* data) { mUserData = data; }
  void* GetUserData() const { return mUserData; }
  bool IsWide() const { return mWide; }

  void SetTitle(const std::string& utf8);
  void Show();
  void Hide();
  void Minimize();
  void Restore();
  void Raise();
  // Centres the window on the display it is on.
  void CenterOnScreen();
  bool SetFullScreen(bool fullScreen);
  bool IsFullScreen() const;
  void SetClientSize(int32_t width, int32_t height);
  void GetClientSize(int32_t& width, int32_t& height) const;
  // Screen position of the client area's top-left corner.
  void GetScreenOrigin(int32_t& x, int32_t& y) const;
  bool IsMinimized() const;
  bool IsShown() const;
  // Fills the client area with black (a window that nothing draws into yet).
  void ClearClientArea();

  // The system's own arrow pointer, shown (while the engine's cursor is hidden).
  static void ShowSystemArrow();
  // Moves the pointer to a point of the client area.
  void WarpPointer(int32_t x, int32_t y);
  // Keeps mouse input while a button is held; SDL may refuse (no pointer focus).
  void SetCapture(bool capture);
  bool HasCapture() const { return mCaptured; }
  // The capture ended without the engine asking (the window lost the focus).
  void DropCapture() { mCaptured = false; }

 private:
  TOsWindow() = default;

  SDL_Window* mWindow = nullptr;
  TWindowProcedure mProcedure = nullptr;
  void* mUserData = nullptr;
  bool mWide = false;
  bool mCaptured = false;
};
