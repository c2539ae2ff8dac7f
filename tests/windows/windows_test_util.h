#pragma once
// Helpers of the window-system tests: a fake platform behind the window manager's host
// seam, a window manager with its UI script on a 640x480 screen, probe windows that record
// what reaches them, and shortcuts for running Lua in the UI script.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/asset.h"
#include "platform/task_list.h"
#include "platform/test_util.h"
#include "platform/timer.h"
#include "script/script_test_util.h"
#include "script/lua/lua.h"
#include "windows/window.h"
#include "windows/window_host.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

class TFakeWindowHost : public IWindowHost {
 public:
  // The engine timer, which the fixture's fake timer drives (FakeNow).
  uint32_t GetTimer() override { return ::GetTimer(); }
  bool HasFocus() override { return focus; }
  bool KeepsDrawingPace() override { return keepPace; }
  bool IsDisplayReady() override { return displayReady; }
  bool IsFrameDone() override { return true; }
  int32_t GetMouseMode() override { return mouseMode; }
  void PostQuit(int32_t code) override { quits.push_back(code); }
  TTaskList* GetFrameTasks() override { return &frameTasks; }
  bool SetClipboardString(const TString& text) override {
    clipboard = text.ToStd();
    return true;
  }
  void GetScreenSize(uint32_t& width, uint32_t& height) override { width = 640, height = 480; }
  // The pointer as windows that take it over leave it: shown or hidden, and where they moved it.
  void SetCursorVisible(bool visible) override { pointerShown = visible; }
  void SetMousePosition(TPoint point) override { pointerMoves.push_back(point); }

  bool focus = true, keepPace = false, displayReady = true;
  bool pointerShown = true;
  std::vector<TPoint> pointerMoves;
  int32_t mouseMode = 0;
  std::vector<int32_t> quits;
  std::string clipboard;
  TTaskList frameTasks;
};

// What the probes saw, in order: "name:Event" entries.
using TProbeLog = std::vector<std::string>;

// A window that records its events, messages and draws, and answers with the results set
// for them.
class TProbeWindow : public TWindow {
 public:
  TProbeWindow(TProbeLog* log, const char* name, TRect rect);
  ~TProbeWindow() override;

  bool OnMouseDown(TPoint point) override { return Record("down", point, handleDown); }
  bool OnMouseUp(TPoint point) override { return Record("up", point, handleUp); }
  bool OnMouseMove(TPoint point) override { return Record("move", point, handleMove); }
  bool OnMouseButton(TPoint point, int32_t code) override { return Record("button", point, false); }
  bool OnMouseLeave() override;
  bool OnKeyDown(int32_t key, uint32_t modifiers) override { return Record("key", TPoint(key, 0), handleKey); }
  bool OnChar(uint8_t c) override { return Record("char", TPoint(c, 0), handleKey); }
  bool OnMessage(TMessage& message) override;
  void OnSetFocus(TWindow* previous) override { mLog->push_back(GetName().ToStd() + ":focus"); }
  void OnModalPopped() override { mLog->push_back(GetName().ToStd() + ":popped"); }
  void Draw() override;
  void PostDraw() override { mLog->push_back(GetName().ToStd() + ":postdraw"); }

  void TakeFocusOnClick() { AddFlags(WindowTakesFocus); }

  bool handleDown = false, handleUp = false, handleMove = false, handleKey = false, handleMessage = false;
  bool leaveHover = true;  // OnMouseLeave takes the window out of the hover list
  bool* destroyed = nullptr;

 private:
  bool Record(const char* what, TPoint point, bool result);
  TProbeLog* mLog;
};

class TWindowsTest : public TScriptTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  TWindowManager& Manager() { return *mManager; }
  TWindowScript& Script() { return *mManager->GetScript(); }
  lua_State* L() { return mManager->GetScript()->GetState(); }
  TWindow* Screen() { return mManager->GetScreen(); }

  // A probe added as a child of parent (on top of its siblings).
  TProbeWindow* AddProbe(TWindow* parent, const char* name, TRect rect);
  // Sends one event through the window manager.
  void Send(uint32_t type, int32_t x = 0, int32_t y = 0, int32_t code = 0, uint32_t extra = 0);
  // Runs Lua text in the UI script; answers the error ("" when it ran).
  std::string Lua(const std::string& text) { return LuaError(L(), text.c_str()); }
  // A global of the UI script through tostring.
  std::string Global(const char* name) { return GlobalText(L(), name); }
  // Runs Lua text that returns a function: it becomes the script's coroutine.
  void StartCoroutine(const std::string& body);

  TFakeTimer mTimer;
  TFakeWindowHost* mHost = nullptr;  // owned by the window manager
  std::unique_ptr<TWindowManager> mManager;
  TProbeLog mLog;
};
