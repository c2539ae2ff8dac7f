#pragma once
// TModalWindow: one level of the window manager's modal stack (a dialog, a screen, the
// root screen). It owns the animation tasks of the windows inside it and the clock they
// run on, remembers the child that takes the focus when it does, and keeps the set of its
// opaque full-size descendants that lets the redraw start at it. A close message naming it
// pops it; its destruction posts a "modal closed" message with its id string.
//
// Keys: hotkeys registered by name ("ctrl-s", "@q") press named buttons of the modal;
// Enter and Escape press its shown default and cancel buttons.

#include <map>
#include <memory>
#include <set>

#include "platform/clock.h"
#include "platform/task_list.h"
#include "windows/modal_group.h"
#include "windows/window.h"

class TModalWindow : public TWindow, public IModalGroup {
 public:
  TARVELON_CLASS_ID()
  TModalWindow();
  ~TModalWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TModalWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // Starts or resumes the clock.
  bool OnActivate() override;
  // Fits to the children, then the window's own second layout.
  void PostCreate(TWindowStyle& style) override;
  // A close message is consumed; a non-empty name pops the modals down to that one.
  bool OnMessage(TMessage& message) override;
  // Hands the focus on to the remembered focus child.
  void OnSetFocus(TWindow* previous) override;
  // A registered hotkey presses its button (and the character that follows is swallowed).
  bool OnKeyDown(int32_t key, uint32_t modifiers) override;
  IModalGroup* AsModalGroup() override { return this; }
  TModalWindow* GetModalWindow() override { return this; }
  // 13 and 27 press the default and cancel buttons, and send the default-action message.
  bool OnChar(uint8_t character) override;

  // Stores the button name under the normalised key; an empty name removes the entry.
  virtual void RegisterHotkey(const TString& key, const TString& buttonName);
  // Lower case, then the "shift-", "ctrl-", "alt-" the name holds (in that order; "@" alone
  // for a name starting with "@"), then its last character in upper case.
  static TString NormalizeHotkey(const TString& name);
  // Clicks the button of that name in the modal's subtree, or logs that it is missing.
  void PressHotkeyButton(const TString& name);
  const std::map<TString, TString>& GetHotkeys() const { return mHotkeys; }

  // The animation tasks of the windows inside; they run on the modal's clock.
  TTask* AddTask(std::unique_ptr<TTask> task) override;
  void RunTasks(int passKind) { mTasks.RunTasks(passKind); }
  void ClearTasks() { mTasks.Clear(); }
  TTaskList& GetTasks() { return mTasks; }
  TClock& GetClock() override { return mClock; }

  // The child that gets the focus when the modal does (non-owning; the window manager
  // forgets it when that window goes). When the modal has the focus now, it moves at once.
  void SetFocusChild(TWindow* child);
  TWindow* GetFocusChild() const override { return mFocusChild; }

  // Inserts or removes a descendant of the opaque-cover set; the modal's own 0x800 flag
  // follows whether the set is empty.
  void UpdateCoverSet(TWindow* window, bool add) override;
  const std::set<TWindow*>& GetCoverSet() const { return mCoverSet; }
  // Drops the focus child and cover entries that are the window or lie inside it.
  void ForgetWindowsIn(const TWindow* window) override;

 private:
  TTaskList mTasks;
  TWindow* mFocusChild = nullptr;
  std::set<TWindow*> mCoverSet;  // non-owning; each window leaves the set when it goes
  TClock mClock;
  std::map<TString, TString> mHotkeys;
};
