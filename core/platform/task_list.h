#pragma once
// Tasks: units of per-frame work run by a task list. The platform runs its frame list once
// per idle step (pass kind 0) and its restore list after a display reset.

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

class TTask {
 public:
  virtual ~TTask() = default;
  // Whether the task wants to run in this pass.
  virtual bool IsReady(int passKind) { return true; }
  // False when the task has finished: the list then deletes it.
  virtual bool Run() = 0;
};

// The list owns its tasks: it deletes those that finish or are cleared. RemoveTask hands a
// task back to the caller. A task may remove or add tasks, itself included, while it runs.
class TTaskList {
 public:
  TTaskList() = default;
  TTaskList(const TTaskList&) = delete;
  TTaskList& operator=(const TTaskList&) = delete;
  ~TTaskList();

  // Appends; the returned pointer is a non-owning handle valid while the task is listed.
  TTask* AddTask(std::unique_ptr<TTask> task);
  // Hands the task back (null when it is not listed). During a pass the task is skipped for
  // the rest of the pass and unlinked after it; the caller may delete it at once.
  std::unique_ptr<TTask> RemoveTask(TTask* task);
  // Deletes every task (after the pass when called during one).
  void Clear();
  void RunTasks(int passKind);

  bool IsRunning() const { return mRunning; }
  bool Contains(const TTask* task) const;

 private:
  // A task removed during a pass keeps its entry, marked, until the pass ends, so that a
  // new task at a recycled address is never taken for it.
  struct Entry {
    TTask* task;
    bool removed;
  };
  std::list<Entry>::iterator FindLive(const TTask* task);

  bool mRunning = false;
  std::list<Entry> mTasks;                       // owned, unless marked removed
  std::vector<std::unique_ptr<TTask>> mPendingDeletion;  // cleared during a pass
};
