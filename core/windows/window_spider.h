#pragma once
// Visitors over a window's direct children (TWindow::VisitChildren), and the window's
// animation task.

#include <cstdint>

#include "platform/anim_task.h"

class TWindow;

class TWindowSpider {
 public:
  virtual ~TWindowSpider() = default;
  // False stops the walk.
  virtual bool Process(TWindow* window) = 0;
};

// Sets each window's flags to flags & mask (SetFlags rules), through the subtrees too
// when recursive.
class TWindowClearFlags : public TWindowSpider {
 public:
  TWindowClearFlags(uint32_t mask, bool recurse) : mMask(mask), mRecurse(recurse) {}
  bool Process(TWindow* window) override;

 private:
  uint32_t mMask;
  bool mRecurse;
};

// Tells every descendant that its modal was popped, deepest first.
class TModalPoppedSpider : public TWindowSpider {
 public:
  bool Process(TWindow* window) override;
};

// Takes each child out of its parent and queues it for deletion at the next event.
class ChildrenDelete : public TWindowSpider {
 public:
  explicit ChildrenDelete(TWindow* parent) : mParent(parent) {}
  bool Process(TWindow* window) override;

 private:
  TWindow* mParent;
};

// The largest right and bottom edges of the children.
class GetLargest : public TWindowSpider {
 public:
  bool Process(TWindow* window) override;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The window's animation task: each step asks the window's Animate. A window that goes
// first clears the link, and the task ends at its next step.
class TWindowAnim : public TAnimTask {
 public:
  TWindowAnim(TWindow* window, TClock* clock) : TAnimTask(clock), mWindow(window) {}
  ~TWindowAnim() override;
  bool Animate() override;
  TWindow* GetWindow() const { return mWindow; }
  void ClearWindow() { mWindow = nullptr; }

 private:
  TWindow* mWindow;  // non-owning; cleared by the window's destructor
};
