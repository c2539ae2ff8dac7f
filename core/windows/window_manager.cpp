#include "windows/window_manager.h"

#include <algorithm>

#include "graphics/renderer.h"
#include "platform/task_list.h"
#include "script/lua_binding.h"
#include "windows/lua_message.h"
#include "windows/modal_window.h"
#include "windows/screen.h"
#include "windows/window_script.h"
#include "windows/window_spider.h"

namespace {

TWindowManager* gWindowManager = nullptr;

// The script's entry in the platform's frame task list: the list owns this proxy, the
// window manager owns the script.
class TScriptTaskProxy : public TTask {
 public:
  explicit TScriptTaskProxy(TWindowScript* script) : mScript(script) {}
  bool IsReady(int passKind) override { return mScript->IsReady(passKind); }
  bool Run() override { return mScript->Run(); }

 private:
  TWindowScript* mScript;
};

}  // namespace

TWindowManager* GetWindowManager() { return gWindowManager; }

std::unique_ptr<IWindowManager> MakeWindowManager(std::unique_ptr<IWindowHost> host) {
  return std::make_unique<TWindowManager>(std::move(host));
}

TWindowManager::TWindowManager(std::unique_ptr<IWindowHost> host)
    : mHost(host ? std::move(host) : MakeInertWindowHost()) {
  gWindowManager = this;
  SetWindowService(this);
}

TWindowManager::~TWindowManager() {
  // A movie host gives the manager its drawing back: it goes while the manager is whole.
  if (mScript) mScript->StopMovie();
  mDestroying = true;
  mListeners.clear();
  mHoverList.clear();
  while (!mModals.empty()) PopModal();
  DeleteQueuedWindows();
  mOverlays.clear();
  DeleteQueuedWindows();
  // Messages of scripts hold Lua values: they go before the script's state.
  mMessages.clear();
  if (mScriptTask) {
    if (TTaskList* tasks = mHost->GetFrameTasks()) tasks->RemoveTask(mScriptTask);
    mScriptTask = nullptr;
  }
  if (mScript && mScript->GetState()) UnbindLuaObject(mScript->GetState(), this);
  mScript.reset();
  if (GetWindowService() == this) SetWindowService(nullptr);
  if (gWindowManager == this) gWindowManager = nullptr;
}

// ---- The UI script ----

void TWindowManager::InitScript() {
  if (!mScript) Init(std::make_unique<TWindowScript>(this));
}

void TWindowManager::Init(std::unique_ptr<TWindowScript> script) {
  if (mScriptTask) {
    if (TTaskList* tasks = mHost->GetFrameTasks()) tasks->RemoveTask(mScriptTask);
    mScriptTask = nullptr;
  }
  mScript = std::move(script);
  if (!mScript) return;
  if (TWindow* top = GetTopModal()) mScript->ResetWindows(top);
  if (lua_State* L = mScript->GetState()) BindLuaMember(L, "SetTopModalOnly", this, &TWindowManager::SetTopModalOnly);
  if (TTaskList* tasks = mHost->GetFrameTasks()) mScriptTask = tasks->AddTask(std::make_unique<TScriptTaskProxy>(mScript.get()));
}

bool TWindowManager::SetScriptFlag(bool on) { return mScript ? mScript->SetFlag(on) : false; }

void TWindowManager::CloseMovie() {
  if (mScript) mScript->StopMovie();
}

bool TWindowManager::DoScriptFile(TWindow* window, const TString& fileName) {
  if (!mScript) return false;
  mScript->PushWindow(window);
  bool ok = mScript->RunScript(fileName);
  mScript->PopWindow();
  return ok;
}

bool TWindowManager::DoLuaString(TWindow* window, const TString& chunk) {
  if (!mScript) return false;
  mScript->PushWindow(window);
  bool ok = mScript->DoLuaString(chunk);
  mScript->PopWindow();
  return ok;
}

void TWindowManager::PassMessageToScript(std::unique_ptr<TMessage> message) {
  if (mScript) mScript->QueueMessage(std::move(message));
}

void TWindowManager::RegisterWindowType(const TString& name, TWindowCreator creator) {
  if (mScript) mScript->RegisterWindowType(name, creator);
}

void TWindowManager::ResetScriptWindow(TWindow* window) {
  if (mScript) mScript->ResetWindows(window);
}

// ---- Modal stack, screen, focus ----

TWindow* TWindowManager::PushModal(std::unique_ptr<TWindow> window) {
  if (!window) return nullptr;
  mLastHitWindow = nullptr;
  std::list<TWindow*> hover;
  hover.swap(mHoverList);
  for (TWindow* h : hover) h->OnMouseLeave();

  TWindow* raw = window.get();
  TWindow* previous = GetTopModal();
  mModals.push_front(raw);
  if (previous) {
    previous->AddChild(window, false);
    if (TModalWindow* modal = WindowCast<TModalWindow>(previous)) modal->GetClock().Pause();
  } else {
    // A root left from before (it has no parent to lose it) goes with the next event.
    if (mRoot) DestroyWindowLater(std::move(mRoot));
    mRoot = std::move(window);
  }
  SetFocus(raw);
  ResetScriptWindow(raw);
  raw->OnActivate();
  if (raw->GetWidth() == 0 && raw->GetParent())
    raw->SetSize(raw->GetParent()->GetWidth(), raw->GetParent()->GetHeight());
  Invalidate();
  return raw;
}

void TWindowManager::PopModal() {
  if (mModals.empty()) return;
  TWindow* top = mModals.front();
  mModals.pop_front();
  if (top == mScreen) mScreen = nullptr;
  std::unique_ptr<TWindow> owned;
  if (TWindow* parent = top->GetParent())
    owned = parent->RemoveChild(top);
  else if (mRoot.get() == top)
    owned = std::move(mRoot);
  if (TModalWindow* modal = WindowCast<TModalWindow>(top)) modal->ClearTasks();
  if (owned) DestroyWindowLater(std::move(owned));
  mLastHitWindow = nullptr;

  if (TWindow* newTop = GetTopModal()) {
    ResetScriptWindow(newTop);
    SetFocus(newTop);
  } else {
    ResetScriptWindow(nullptr);
  }
  TModalPoppedSpider spider;
  top->VisitChildren(spider);
  Invalidate();
  mTreeChanged = true;
}

void TWindowManager::DoPopModal(const TString& name) {
  auto matches = [&name](const TWindow* w) { return w->GetName() == name || w->GetIdString() == name; };
  bool found = std::any_of(mModals.begin(), mModals.end(), matches);
  while (found && !mModals.empty()) {
    bool popped = matches(mModals.front());
    PopModal();
    if (popped) break;
  }
  if (TModalWindow* top = WindowCast<TModalWindow>(GetTopModal())) top->GetClock().Start();
}

TWindow* TWindowManager::SetScreen(std::unique_ptr<TWindow> screen) {
  TWindow* raw = PushModal(std::move(screen));
  if (!raw) return nullptr;
  mScreen = raw;
  TRect viewport;
  TRenderer::GetInstance()->GetViewport(viewport);
  if (!viewport.IsEmpty()) raw->SetSize(viewport.Width(), viewport.Height());
  raw->OnActivate();
  return raw;
}

void TWindowManager::EnsureScreen(uint32_t width, uint32_t height) {
  if (mScreen) return;
  auto screen = std::make_unique<TScreen>();
  screen->SetSize(int32_t(width), int32_t(height));
  SetScreen(std::move(screen));
}

void TWindowManager::SetFocus(TWindow* window) {
  TWindow* previous = mFocus;
  mFocus = window;
  if (window) window->OnSetFocus(previous);
}

// ---- Hover list ----

void TWindowManager::AddToHoverList(TWindow* window) {
  if (window && std::find(mHoverList.begin(), mHoverList.end(), window) == mHoverList.end())
    mHoverList.push_back(window);
}

void TWindowManager::RemoveFromHoverList(TWindow* window) {
  auto it = std::find(mHoverList.begin(), mHoverList.end(), window);
  if (it == mHoverList.end()) return;
  mHoverList.erase(it);
  mHoverListChanged = true;
}

bool TWindowManager::ForwardHover(TWindow* window, TPoint point) {
  return mHoverHandler && mHoverHandler->OnHover(window, point);
}

// ---- Deletion ----

bool TWindowManager::IsInStack(const TWindow* window) const {
  return std::find(mModals.begin(), mModals.end(), window) != mModals.end();
}

void TWindowManager::PopModalsInside(const TWindow* window) {
  // The stack is a chain of children: the modals inside the window lie on top of it.
  while (TWindow* top = GetTopModal()) {
    if (top != window && !window->IsAncestorOf(top)) break;
    PopModal();
  }
}

bool TWindowManager::IsQueuedForDeletion(const TWindow* window) const {
  return window && std::any_of(mDeleteLater.begin(), mDeleteLater.end(), [window](const auto& queued) {
           return queued.get() == window || queued->IsAncestorOf(window);
         });
}

void TWindowManager::DestroyWindowLater(std::unique_ptr<TWindow> window) {
  if (!window) return;
  TWindow* raw = window.get();
  mLastHitWindow = nullptr;
  // A modal that goes takes its stack entries with it (and the modals above it, which
  // live inside it).
  bool inStack = std::any_of(mModals.begin(), mModals.end(),
                             [raw](const TWindow* modal) { return modal == raw || raw->IsAncestorOf(modal); });
  if (inStack) PopModalsInside(raw);
  for (auto& message : mMessages) {
    TWindow* target = message->GetTarget();
    if (target && (target == raw || raw->IsAncestorOf(target))) message->SetTarget(nullptr);
  }
  mHoverList.remove(raw);
  mHoverListChanged = true;
  mDeleteLater.push_back(std::move(window));
}

void TWindowManager::DeleteQueuedWindows() {
  if (mDeleteLater.empty()) return;
  // The hit window may be among them (a frame highlights it until then).
  mLastHitWindow = nullptr;
  while (!mDeleteLater.empty()) {
    std::vector<std::unique_ptr<TWindow>> batch;
    batch.swap(mDeleteLater);
    for (auto& window : batch) window.reset();
  }
}

void TWindowManager::OnWindowDestroyed(TWindow* window) {
  mLastHitWindow = nullptr;
  if (mFocus == window) mFocus = nullptr;
  RemoveFromHoverList(window);
  for (TWindow* modal : mModals) {
    if (TModalWindow* m = WindowCast<TModalWindow>(modal)) {
      if (m->GetFocusChild() == window) m->SetFocusChild(nullptr);
      if (m->GetCoverSet().count(window)) m->UpdateCoverSet(window, false);
    }
  }
  // A window deleted straight away (not through the queue) leaves nothing behind either.
  mModals.remove(window);
  if (mScreen == window) mScreen = nullptr;
  for (auto& message : mMessages) {
    if (message->GetTarget() == window) message->SetTarget(nullptr);
  }
  if (mScript) {
    mScript->ForgetWindow(window);
    // Script functions bound to the window's members do nothing (and log a line) from now
    // on: a UI coroutine that calls one after its window went goes on.
    UnbindLuaObject(mScript->GetState(), window, TStaleCall::LogAndSkip);
  }
}

// ---- Messages ----

void TWindowManager::PostMessage(std::unique_ptr<TMessage> message) {
  if (!message) return;
  // A window already on its way out is never a target: the message goes untargeted.
  if (IsQueuedForDeletion(message->GetTarget())) message->SetTarget(nullptr);
  mMessages.push_back(std::move(message));
}

void TWindowManager::AddListener(std::unique_ptr<TMessageListener> listener) {
  if (listener) mListeners.push_back(std::move(listener));
}

std::unique_ptr<TMessageListener> TWindowManager::RemoveListener(TMessageListener* listener) {
  auto it = std::find_if(mListeners.begin(), mListeners.end(),
                         [listener](const auto& entry) { return entry.get() == listener; });
  if (it == mListeners.end()) return nullptr;
  std::unique_ptr<TMessageListener> removed = std::move(*it);
  mListeners.erase(it);
  return removed;
}

void TWindowManager::ProcessMessages() {
  while (!mMessages.empty()) {
    std::unique_ptr<TMessage> message = std::move(mMessages.front());
    mMessages.pop_front();
    DispatchMessage(std::move(message));
  }
}

void TWindowManager::DispatchMessage(std::unique_ptr<TMessage> message) {
  if (!message) return;
  if (message->GetType() == MessageQuitNow) {
    message.reset();
    mHost->PostQuit(0);
    return;
  }
  if (TWindow* target = message->GetTarget()) {
    target->SendMessage(std::move(message));
    return;
  }
  // By index: a listener may add or remove listeners while it looks.
  for (size_t i = 0; i < mListeners.size(); i++) {
    if (mListeners[i]->OnMessage(message->ForReceivers())) return;
  }
  if (TWindow* receiver = mFocus ? mFocus : GetTopModal()) receiver->SendMessage(std::move(message));
}
