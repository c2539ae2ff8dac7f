#pragma once
// TWindowScript: the UI script. A TScript that owns the main Lua state, carries the window
// API, the registry of window types by name, the stack of current windows (the window a
// running script builds into) and the message queues through which windows talk to waiting
// scripts. A script describes a window as a table with a "typename" and style keys;
// GenericCreate turns it into a window of the registered type under the current window.
// The window manager owns the script and hands it every message no window handled.
//
// The window-script library ("gScreenInit", written in Lua and compiled into the engine)
// runs at construction and defines the dialog language on top of the bound API.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "script/lua_object_wrapper.h"
#include "script/lua_table_reader.h"
#include "script/script.h"
#include "windows/i_movie_host.h"
#include "windows/message.h"
#include "windows/window.h"

class TWindowManager;
class TWindowStyle;

// Told of every window made from a table, after its Init.
class IWindowCreationObserver {
 public:
  virtual ~IWindowCreationObserver() = default;
  virtual void OnWindowCreated(TWindow* window, TWindowStyle& style) = 0;
};

class TWindowScript : public TScript {
 public:
  // How deep scripts may nest windows.
  static constexpr size_t MaxNesting = 1000;

  // Wait states of the coroutine (HandleGetMessage sets MessageWait).
  enum TWaitState : int { NotWaiting = 0, MessageWait = 3 };

  // manager: the window manager it serves (non-owning; it owns the script).
  explicit TWindowScript(TWindowManager* manager);
  ~TWindowScript() override;

  // Stores the creator under the name and defines the Lua constructor Name{ ... }.
  void RegisterWindowType(const TString& name, TWindowCreator creator);
  TWindowCreator FindWindowType(const TString& name) const;

  // ---- Current windows ----
  void PushWindow(TWindow* window) { mWindows.push_back(window); }
  // Pops unless one entry is left.
  void PopWindow();
  // Empties the stack and makes the window (or none) the only entry.
  void ResetWindows(TWindow* window);
  TWindow* GetCurrentWindow() const { return mWindows.empty() ? nullptr : mWindows.back(); }
  size_t GetWindowCount() const { return mWindows.size(); }
  // A window that goes leaves the stack (its entries become null).
  void ForgetWindow(const TWindow* window);

  // Attaches the window under the current window with activation, initialises it from the
  // table on top of the stack (popped) and makes it the current window. False when it was
  // refused; the window is then gone.
  bool InitWindow(std::unique_ptr<TWindow> window);
  // The window named so in the top modal, else up the top modal's parent chain.
  TWindow* FindNamedWindow(const TString& name) const;
  // The window named so under the top modal.
  TWindow* FindInTopModal(const TString& name) const;

  // ---- Messages ----
  // Hands a message no window handled (and optionally a command to run) to the script:
  // into "gMessageQueue" and "gCommandQueue", straight into the coroutine when it waits
  // for a message, or (the command) run at once while the coroutine is suspended
  // elsewhere. The script takes the message over; the message may be null.
  void QueueMessage(std::unique_ptr<TMessage> message, TLuaFunction* command = nullptr);
  int GetWaitState() const { return mWaitState; }
  // Resumes the coroutine with `args' values from the stack; the wait state ends.
  int ResumeScript(int args);
  bool ResumeWithValue() override;
  bool Animate() override;

  bool SetFlag(bool on);
  void SetCreationObserver(IWindowCreationObserver* observer) { mCreationObserver = observer; }
  TWindowManager* GetManager() const { return mManager; }

  // ---- The bound window API (window_script_api.cpp, window_script_messages.cpp) ----
  int GenericCreate(lua_State* L);
  void PostCreate(TLuaTable* style);
  void SetWindowName(TString name);
  void FillRect(TLuaTable* rect, TLuaTable* colour);
  bool EnableWindow(TString name, bool show);
  void LuaPopWindow() { PopWindow(); }
  void RealSetFocus(TString name);
  void StringToClipboard(TString text);
  void UpdateWindow();
  TString LuaPushModal(TString name);
  void ClearModalChildren();
  int32_t GetWindowDepth();
  void LuaDoPopModal(TString name);
  void DestroyWindow(TString name);
  void DoFitToChildren();
  void SetPosition(TString name, int32_t x, int32_t y);
  int GetString(lua_State* L);
  // At most one movie host: a new movie closes the one before it. An empty name, no
  // installed movie host or a movie that does not open answer false.
  bool StartMovie(TString name, bool textMode, bool interactive);
  bool IsMoviePlaying();
  void StopMovie();
  int HandleGetMessage(lua_State* L);
  int CreateNamedMessage(lua_State* L);
  int CreateCloseMessage(lua_State* L);
  int LuaPostMessage(lua_State* L);
  int PostMessageToParent(lua_State* L);

  // ---- The widgets' part of the API (window_script_widgets.cpp) ----
  TString GetLabel(TString name);
  void SetLabel(TString name, TString text);
  int TagHotKey(lua_State* L);
  int StripKeyFromLabel(lua_State* L);
  void RegisterHotkey(TString key, TString buttonName);
  void SetBitmap(TString name, TString image, float scale);
  int SetCommand(lua_State* L);
  void DoSelectLayer(uint32_t layer);
  bool GetButtonToggleState(TString name);
  void SetButtonToggleState(TString name, bool on);
  bool ImageLoaded(TString name);

 private:
  void BindApi();
  void BindWidgetApi();
  void RegisterWidgetTypes();
  void LoadLibrary();
  bool AppendToQueue(const char* queue);
  int PostFromLua(lua_State* L, bool toParent);

  TWindowManager* mManager;
  std::unique_ptr<IMovieHost> mMovie;
  std::vector<TWindow*> mWindows;  // non-owning; entries go null when their window goes
  std::map<TString, TWindowCreator> mRegistry;
  IWindowCreationObserver* mCreationObserver = nullptr;  // non-owning
  bool mFlag = false;
  int mWaitState = NotWaiting;
};

// The compiled window-script library and its size.
const unsigned char* GetUiLibraryChunk();
size_t GetUiLibraryChunkSize();
