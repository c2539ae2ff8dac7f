#pragma once
// IWindowHost: what the window manager asks of the platform around it. The running engine
// answers from the platform object; tests put a fake behind it.

#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "platform/point.h"

class TTaskList;

class IWindowHost {
 public:
  virtual ~IWindowHost() = default;

  virtual uint32_t GetTimer() = 0;
  // The main window is the foreground window.
  virtual bool HasFocus() = 0;
  // Keeps the 12 ms pace in the background too ("-pq=", the keep-drawing flag).
  virtual bool KeepsDrawingPace() = 0;
  virtual bool IsDisplayReady() = 0;
  virtual bool IsFrameDone() = 0;
  // TMouseMode: 1 while mouse moves are deltas.
  virtual int32_t GetMouseMode() = 0;
  virtual void PostQuit(int32_t code) = 0;
  // The platform's frame task list (null without a platform).
  virtual TTaskList* GetFrameTasks() = 0;
  virtual bool SetClipboardString(const TString& text) = 0;
  // The clipboard's text (UTF-8); empty when there is none.
  virtual TString GetClipboardString() { return TString(); }
  // The display's size.
  virtual void GetScreenSize(uint32_t& width, uint32_t& height) = 0;
  // The pointer, for windows that take it over while a drag lasts: shown or hidden, and
  // moved to a point of the window (in the screen's coordinates). Nothing by default.
  virtual void SetCursorVisible(bool visible) {}
  virtual void SetMousePosition(TPoint point) {}
};

// A host that answers as a display that is not there (the window manager's when it is
// given none); the engine hands the window manager its own (engine/platform_window_host.h).
std::unique_ptr<IWindowHost> MakeInertWindowHost();
