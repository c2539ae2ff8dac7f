#include "windows/modal_window.h"

#include "windows/message.h"
#include "windows/window_manager.h"

TModalWindow::TModalWindow() { AddFlags(WindowModal | WindowTakesFocus); }

TModalWindow::~TModalWindow() {
  mFocusChild = nullptr;
  mCoverSet.clear();
  // The tasks go before the windows they animate, which are still whole now.
  mTasks.Clear();
  if (TWindowManager* manager = GetWindowManager())
    manager->PostMessage(std::make_unique<TMessage>(MessageModalClosed, GetIdString()));
}

std::unique_ptr<TWindow> TModalWindow::Create() { return std::make_unique<TModalWindow>(); }

bool TModalWindow::OnActivate() {
  mClock.Start();
  return true;
}

void TModalWindow::PostCreate(TWindowStyle& style) {
  FitToChildren();
  TWindow::PostCreate(style);
}

bool TModalWindow::OnMessage(TMessage& message) {
  if (message.GetType() != MessageCloseWindow) return false;
  TWindowManager* manager = GetWindowManager();
  if (!message.GetName().IsEmpty() && manager) manager->DoPopModal(message.GetName());
  return true;
}

void TModalWindow::OnSetFocus(TWindow* previous) {
  TWindowManager* manager = GetWindowManager();
  if (!mFocusChild || !manager) return;
  manager->ReplaceFocus(mFocusChild);
  mFocusChild->OnSetFocus(previous);
}

TTask* TModalWindow::AddTask(std::unique_ptr<TTask> task) { return mTasks.AddTask(std::move(task)); }

void TModalWindow::SetFocusChild(TWindow* child) {
  mFocusChild = child;
  TWindowManager* manager = GetWindowManager();
  if (child && manager && manager->GetFocus() == this) manager->SetFocus(child);
}

void TModalWindow::UpdateCoverSet(TWindow* window, bool add) {
  if (add)
    mCoverSet.insert(window);
  else
    mCoverSet.erase(window);
  uint32_t flags = GetFlags();
  uint32_t wanted = mCoverSet.empty() ? (flags & ~uint32_t(WindowOpaqueCover)) : (flags | WindowOpaqueCover);
  if (wanted != flags) SetFlags(wanted);
}

void TModalWindow::ForgetWindowsIn(const TWindow* window) {
  if (mFocusChild && (mFocusChild == window || window->IsAncestorOf(mFocusChild))) mFocusChild = nullptr;
  bool changed = false;
  for (auto it = mCoverSet.begin(); it != mCoverSet.end();) {
    if (*it == window || window->IsAncestorOf(*it)) {
      it = mCoverSet.erase(it);
      changed = true;
    } else {
      ++it;
    }
  }
  if (changed) UpdateCoverSet(nullptr, false);
}
