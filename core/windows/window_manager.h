#pragma once
// TWindowManager: the one window manager of the application, owned by the platform object
// (made through TEngineStart::makeWindowManager). The main loop hands it every event. It
// keeps the modal stack (the top modal takes the input; the ones below stay visible; each
// pushed modal is a child of the one below it), the keyboard focus, the hover list through
// which widgets capture the mouse, the windows to delete at the next event, the message
// queue with its listeners, the overlay windows, and it drives the redraw. It owns the UI
// script (TWindowScript) in which the window scripts run.
//
// Main thread only, except IsDrawSuspended (the cursor thread reads it).

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "platform/platform_event.h"
#include "platform/point.h"
#include "windows/i_window_manager.h"
#include "windows/message.h"
#include "windows/window.h"
#include "windows/window_host.h"
#include "windows/window_service.h"

class TTask;
class TTexture;
class TWindowScript;

// The optional receiver of TWindow::OnMouseHover.
class IHoverHandler {
 public:
  virtual ~IHoverHandler() = default;
  virtual bool OnHover(TWindow* window, TPoint point) = 0;
};

class TWindowManager : public IWindowManager, public IWindowService {
 public:
  // host: the platform's answers; null answers as a display that is not there.
  explicit TWindowManager(std::unique_ptr<IWindowHost> host = nullptr);
  // Destroys the listeners, empties the hover list, pops every modal, destroys the queued
  // windows, the overlays and the queued messages, and only then the script.
  ~TWindowManager() override;
  TWindowManager(const TWindowManager&) = delete;
  TWindowManager& operator=(const TWindowManager&) = delete;

  // ---- The platform's seam ----
  // Makes the UI script and binds it (Init).
  void InitScript() override;
  bool SetScriptFlag(bool on) override;
  bool IsDrawSuspended() const override { return mDrawSuspended.load(); }
  bool IsMovieInput() const override { return mMovieInput; }
  void CloseMovie() override;
  void Invalidate() override { mDirty = true; }
  // Makes a TScreen of that size the screen when there is none.
  void EnsureScreen(uint32_t width, uint32_t height) override;
  void HandleEvent(const TPlatformEvent& event) override;

  // ---- The UI script ----
  // Takes the script over: registers "XSellWindow" when it exists, makes the top modal
  // its current window, binds `SetTopModalOnly' and adds it to the frame task list.
  void Init(std::unique_ptr<TWindowScript> script);
  TWindowScript* GetScript() const { return mScript.get(); }
  // Runs a script file or Lua text with the window as the script's current window.
  bool DoScriptFile(TWindow* window, const TString& fileName);
  bool DoLuaString(TWindow* window, const TString& chunk);
  // A message no window handled: the script's queue takes it, else it is destroyed.
  void PassMessageToScript(std::unique_ptr<TMessage> message) override;
  void RegisterWindowType(const TString& name, TWindowCreator creator);

  // ---- Modal stack, screen, focus ----
  TWindow* GetTopModal() const { return mModals.empty() ? nullptr : mModals.front(); }
  TWindow* GetScreen() const override { return mScreen; }
  const std::list<TWindow*>& GetModals() const { return mModals; }
  // The window becomes the top modal: a child of the previous one (or the manager's own
  // root when it is the first), the focus, the script's current window; it is activated.
  TWindow* PushModal(std::unique_ptr<TWindow> window);
  // The top modal leaves the stack and is deleted at the next event.
  void PopModal();
  // Pops modals down to and including the one with this name or id string, then resumes
  // the top modal's clock (also when none matched).
  void DoPopModal(const TString& name);
  TWindow* SetScreen(std::unique_ptr<TWindow> screen);
  TWindow* GetFocus() const { return mFocus; }
  // The window becomes the focus and hears of it (OnSetFocus with the previous focus).
  void SetFocus(TWindow* window) override;
  // The focus moves without telling anyone (the caller tells the window).
  void ReplaceFocus(TWindow* window) { mFocus = window; }
  void SetTopModalOnly(bool on) { mTopModalOnly = on; }

  // ---- Hover list and hover handler ----
  void AddToHoverList(TWindow* window);
  void RemoveFromHoverList(TWindow* window);
  const std::list<TWindow*>& GetHoverList() const { return mHoverList; }
  bool ForwardHover(TWindow* window, TPoint point) override;
  void SetHoverHandler(IHoverHandler* handler) { mHoverHandler = handler; }

  // ---- Deletion ----
  // Queues the window (already out of its parent) for deletion at the next event; queued
  // messages for it or its descendants become untargeted, its hover entries go, and any
  // modal of the stack that is the window or inside it is popped first.
  void DestroyWindowLater(std::unique_ptr<TWindow> window);
  bool IsQueuedForDeletion(const TWindow* window) const;
  // The TWindow destructor's notice: every reference to the window goes, and the script
  // functions bound to it raise a script error.
  void OnWindowDestroyed(TWindow* window) override;

  // ---- Messages ----
  // The queue takes the message over.
  void PostMessage(std::unique_ptr<TMessage> message) override;
  const std::list<std::unique_ptr<TMessage>>& GetMessageQueue() const { return mMessages; }
  void AddListener(std::unique_ptr<TMessageListener> listener);
  // Hands the first entry back; null when it is not registered.
  std::unique_ptr<TMessageListener> RemoveListener(TMessageListener* listener);
  void ProcessMessages();
  void DispatchMessage(std::unique_ptr<TMessage> message);

  // ---- Drawing (window_manager_render.cpp) ----
  void Render();
  void DrawAll(int mode);
  void AddOverlay(std::unique_ptr<TWindow> window);
  void SetHighlightHitWindow(bool on) { mHighlightHitWindow = on; }
  TWindow* GetLastHitWindow() const { return mLastHitWindow; }
  void SetCachedLayer(std::shared_ptr<TTexture> texture);
  const std::shared_ptr<TTexture>& GetCachedLayer() const { return mCachedLayer; }
  void SetDrawSuspended(bool on) { mDrawSuspended = on; }
  void SetMovieInput(bool on) { mMovieInput = on; }
  bool IsDirty() const { return mDirty; }
  bool HasTreeChanged() const { return mTreeChanged; }

  IWindowHost& Host() { return *mHost; }

 private:
  // window_manager_events.cpp
  void HandleMouse(const TPlatformEvent& event);
  void HandleMouseWithHoverList(const TPlatformEvent& event);
  void HandleMouseGone();
  bool OfferToOverlays(const TPlatformEvent& event);
  void DeleteQueuedWindows();
  // window_manager_render.cpp
  void DrawHighlight();
  void ClearCachedFlags();

  bool IsInStack(const TWindow* window) const;
  void PopModalsInside(const TWindow* window);
  void ResetScriptWindow(TWindow* window);

  std::unique_ptr<IWindowHost> mHost;
  std::shared_ptr<TTexture> mCachedLayer;
  TWindow* mScreen = nullptr;            // non-owning: a modal of the stack
  bool mTreeChanged = false;
  uint32_t mLastDrawTime = 0;
  std::unique_ptr<TWindow> mRoot;        // the bottom modal, which has no parent
  std::list<TWindow*> mModals;           // front = top; owned by the tree (and mRoot)
  std::vector<std::unique_ptr<TWindow>> mDeleteLater;
  std::list<std::unique_ptr<TWindow>> mOverlays;
  std::atomic<bool> mDrawSuspended{false};
  bool mMovieInput = false;
  bool mTopModalOnly = false;
  bool mDirty = true;
  bool mHighlightHitWindow = false;
  bool mHoverListChanged = false;
  TWindow* mLastHitWindow = nullptr;     // non-owning; cleared whenever windows may go
  std::list<TWindow*> mHoverList;        // non-owning; a window leaves it when it goes
  TWindow* mFocus = nullptr;             // non-owning; cleared when the window goes
  std::unique_ptr<TWindowScript> mScript;
  TTask* mScriptTask = nullptr;          // the script's entry in the frame task list
  std::list<std::unique_ptr<TMessage>> mMessages;
  std::vector<std::unique_ptr<TMessageListener>> mListeners;
  IHoverHandler* mHoverHandler = nullptr;  // non-owning; set by the application
  bool mDestroying = false;
};

// The window manager of the running application, or null.
TWindowManager* GetWindowManager();

// The maker for TEngineStart::makeWindowManager, with the platform's host
// (MakePlatformWindowHost).
std::unique_ptr<IWindowManager> MakeWindowManager(std::unique_ptr<IWindowHost> host);
