#include "platform/task_list.h"

#include <algorithm>

TTaskList::~TTaskList() { Clear(); }

std::list<TTaskList::Entry>::iterator TTaskList::FindLive(const TTask* task) {
  return std::find_if(mTasks.begin(), mTasks.end(),
                      [task](const Entry& e) { return e.task == task && !e.removed; });
}

TTask* TTaskList::AddTask(std::unique_ptr<TTask> task) {
  TTask* raw = task.release();
  if (raw) mTasks.push_back({raw, false});
  return raw;
}

bool TTaskList::Contains(const TTask* task) const {
  return std::any_of(mTasks.begin(), mTasks.end(),
                     [task](const Entry& e) { return e.task == task && !e.removed; });
}

std::unique_ptr<TTask> TTaskList::RemoveTask(TTask* task) {
  auto it = FindLive(task);
  if (!task || it == mTasks.end()) return nullptr;
  if (mRunning) {
    it->removed = true;
  } else {
    mTasks.erase(it);
  }
  return std::unique_ptr<TTask>(task);
}

void TTaskList::Clear() {
  if (mRunning) {
    for (Entry& e : mTasks) {
      if (e.removed) continue;
      e.removed = true;
      mPendingDeletion.emplace_back(e.task);
    }
    return;
  }
  std::list<Entry> tasks;
  tasks.swap(mTasks);
  for (Entry& e : tasks)
    if (!e.removed) delete e.task;
  mPendingDeletion.clear();
}

void TTaskList::RunTasks(int passKind) {
  if (mRunning) return;  // a nested pass over the same list would run tasks twice
  mRunning = true;
  // Entries stay in place during the pass, so iterators survive anything Run does; the
  // successor is taken first, so a task added by the last one waits for the next pass.
  for (auto it = mTasks.begin(), next = it; it != mTasks.end(); it = next) {
    next = std::next(it);
    if (it->removed || !it->task->IsReady(passKind)) continue;
    TTask* task = it->task;
    bool goOn = task->Run();
    // A task removed or cleared while it ran belongs to its new owner.
    if (!goOn && !it->removed) {
      it->removed = true;
      delete task;
    }
  }
  mRunning = false;
  mTasks.remove_if([](const Entry& e) { return e.removed; });
  mPendingDeletion.clear();
}
