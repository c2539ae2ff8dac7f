#include "windows/modal_window.h"

#include <cctype>

#include "platform/log.h"
#include "windows/button.h"
#include "windows/message.h"
#include "windows/window_manager.h"
#include "windows/window_spider.h"

namespace {

// Walks a modal's whole subtree for its shown default and cancel buttons; a later find
// replaces an earlier one, and the walk ends once both are known.
class FindDefault : public TWindowSpider {
 public:
  bool Process(TWindow* window) override {
    if (TButton* button = WindowCast<TButton>(window)) {
      if (button->IsDefault() && button->IsButtonShown()) defaultButton = button;
      if (button->IsCancel() && button->IsButtonShown()) cancelButton = button;
    }
    if (defaultButton && cancelButton) return false;
    window->VisitChildren(*this);
    return !(defaultButton && cancelButton);
  }

  TButton* defaultButton = nullptr;
  TButton* cancelButton = nullptr;
};

}  // namespace

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

// ---- Keys ----

TString TModalWindow::NormalizeHotkey(const TString& name) {
  TString lower = name;
  lower.MakeLower();
  if (lower.IsEmpty()) return lower;
  TString result;
  if (lower.Length() > 1 && lower.CharAt(0) == '@') {
    result = "@";
  } else {
    if (lower.Find("shift-") >= 0) result += "shift-";
    if (lower.Find("ctrl-") >= 0 || lower.Find("control-") >= 0) result += "ctrl-";
    if (lower.Find("alt-") >= 0) result += "alt-";
  }
  result += char(std::toupper(uint8_t(lower.CharAt(lower.Length() - 1))));
  return result;
}

void TModalWindow::RegisterHotkey(const TString& key, const TString& buttonName) {
  TString normalised = NormalizeHotkey(key);
  if (buttonName.IsEmpty())
    mHotkeys.erase(normalised);
  else
    mHotkeys[normalised] = buttonName;
}

void TModalWindow::PressHotkeyButton(const TString& name) {
  if (TButton* button = WindowCast<TButton>(FindChild(name)))
    button->Click();
  else
    LogPrintf("ERROR: Hot key button not found. Button:'%s'", name.c_str());
}

bool TModalWindow::OnKeyDown(int32_t key, uint32_t modifiers) {
  TString name;
  if (modifiers & ModifierShift) name += "shift-";
  if (modifiers & ModifierControl) name += "ctrl-";
  if (modifiers & ModifierAlt) name += "alt-";
  name += char(key);
  auto hit = mHotkeys.find(NormalizeHotkey(name));
  // "@" with the key code itself (not normalised) matches whatever modifiers are held.
  if (hit == mHotkeys.end()) hit = mHotkeys.find(TString("@") + char(key));
  if (hit == mHotkeys.end()) return false;
  TString button = hit->second;
  PressHotkeyButton(button);
  SetSkipNextChar(true);
  return true;
}

bool TModalWindow::OnChar(uint8_t character) {
  if (character != 13 && character != 27) return false;
  FindDefault finder;
  VisitChildren(finder);
  TButton* button = character == 13 ? finder.defaultButton : finder.cancelButton;
  if (button && button->DoPress()) return true;
  TWindowManager* manager = GetWindowManager();
  TWindow* receiver = manager && manager->GetFocus() ? manager->GetFocus() : this;
  receiver->SendMessage(std::make_unique<TMessage>(MessageDefaultAction, TString()));
  return true;
}
