#pragma once
// IModalGroup: what the windows inside a modal window (TModalWindow) ask of it: to forget
// a window that leaves, to keep its opaque-cover set, the focus child that messages go to,
// and the clock and task list of their animations. A window finds it through
// TWindow::AsModalGroup of its nearest modal ancestor.

#include <memory>

class TClock;
class TModalWindow;
class TTask;
class TWindow;

class IModalGroup {
 public:
  virtual ~IModalGroup() = default;

  // The modal window behind the group.
  virtual TModalWindow* GetModalWindow() = 0;
  // Drops the focus child and cover entries that are the window or lie inside it.
  virtual void ForgetWindowsIn(const TWindow* window) = 0;
  // Inserts or removes a descendant of the opaque-cover set.
  virtual void UpdateCoverSet(TWindow* window, bool add) = 0;
  // The child that gets the focus (and the messages) when the modal does; may be null.
  virtual TWindow* GetFocusChild() const = 0;
  virtual TClock& GetClock() = 0;
  virtual TTask* AddTask(std::unique_ptr<TTask> task) = 0;
};
